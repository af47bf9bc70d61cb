// A program outside the library's own build: it loads a small table file
// held in memory and reports what it read. The consumer tests build it
// against the installed package and against the source tree.
#include <cstdio>

#include <kavotbl/kavotbl.h>

namespace {

// Three data rows of two values each under one spanner.
const char kTableFile[] = R"(
[Style]
Label=Bold
HorJust=Center

[Format]
Label=Percent
Decimals=1

[Table]
Size=3, 2
Name=Households

[Title]
Text=Households by size

[ColumnGroup]
Text=Residence

[Column]
Text=Urban

[Column]
Text=Rural
CellFormat=Percent
[EndGroup]

[RowGroup]
Text=All households

[Row]
Text=One person
CellStyle=0, Bold
Data=1200, 800

[Row]
Text=Two persons
Data=950, 600

[Row]
Text=Three or more
Data=700, 450
[EndGroup]
)";

}  // namespace

int main() {
    int nMessages = 0;
    kavo::SetMessageBoxHandler([&nMessages](const kavo::CKAVOString& strText, unsigned) {
        std::fprintf(stderr, "message: %s\n", strText.c_str());
        ++nMessages;
        return kavo::IDOK;
    });

    kavo::CSpecFile file;
    file.OpenText(kTableFile);
    kavo::CStyleRegistry registry;
    registry.Build(file);
    kavo::CTable table;
    table.SetStyleRegistry(&registry);
    if (!table.Build(file) || !table.IsLoaded()) {
        std::fprintf(stderr, "the table did not load\n");
        return 1;
    }
    if (nMessages != 0) {
        std::fprintf(stderr, "the table loaded with %d messages\n", nMessages);
        return 1;
    }
    std::printf("name: %s\n", table.GetName().c_str());
    std::printf("data rows: %d\n", table.GetNumDataRows());
    std::printf("data columns: %d\n", table.GetNumDataColumns());
    std::printf("data cells: %d\n", table.GetNumDataCells());
    return 0;
}
