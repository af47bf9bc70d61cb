// Uses the optional export module from an installed tree: a table written
// as RTF to a stream must be a document holding the table's texts.
#include <cstdio>
#include <sstream>

#include <kavotbl/export/export.h>
#include <kavotbl/kavotbl.h>

int main() {
    kavo::CTableDocument doc;
    if (!doc.LoadText("[Table]\nSize=1, 1\n[Title]\nText=Persons\n[Column]\nText=Total\n[Row]\nText=All\nData=42\n")) {
        std::fprintf(stderr, "the table did not load\n");
        return 1;
    }
    kavo::CExportOptions options;
    kavo::CExportReport report;
    std::ostringstream out;
    if (!kavo::ExportDocument(doc, out, options, &report)) {
        std::fprintf(stderr, "export failed: %s\n", report.strError.c_str());
        return 1;
    }
    const std::string rtf = out.str();
    if (rtf.compare(0, 6, "{\\rtf1") != 0 || rtf.find("Persons") == std::string::npos ||
        rtf.find(" 42\\cell") == std::string::npos) {
        std::fprintf(stderr, "not the table's RTF document:\n%s\n", rtf.c_str());
        return 1;
    }
    std::printf("export component: table written\n");
    return 0;
}
