// CSV (RFC 4180) in UTF-8: a heading record, then one record per caption
// and data row with the stub label first. Numbers are plain decimals unless
// the texts the table shows are asked for.
#include <ostream>

#include "kavotbl/style/format.h"
#include "shape.h"
#include "writers.h"

namespace kavo {
namespace export_detail {

namespace {

// Appends a field, quoted when it holds a comma, a quote or a line break.
void Field(std::string& out, const std::string& text, bool bFirst) {
    if (!bFirst) out += ',';
    if (text.find_first_of(",\"\r\n") == std::string::npos) {
        out += text;
        return;
    }
    out += '"';
    for (char c : text) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
}

std::string Utf8(const CKAVOString& text) {
    std::string s;
    AppendUtf8(s, text);
    return s;
}

}  // namespace

int WriteCsv(const Tables& tables, std::ostream& out, const CExportOptions& options, CExportReport& report) {
    std::string buf;
    if (options.bBom) buf += "\xEF\xBB\xBF";
    TableShape shape;
    std::string field;
    for (std::size_t t = 0; t < tables.size(); ++t) {
        CTable& table = *tables[t];
        MakeShape(table, options.bBlockedOnly, shape);
        const std::size_t n = shape.columns.size();
        if (t > 0) buf += "\r\n";  // an empty record between tables

        // Heading.
        const std::string stubHead = Utf8(table.GetStubHead()->GetText());
        if (options.bHeadingLevels) {
            std::vector<std::string> fields(n * static_cast<std::size_t>(shape.nLevels));
            for (const HeadCell& c : shape.head) {
                const int nRow = c.nRows > 1 ? shape.nLevels - 1 : c.nLevel;  // data columns at the foot
                fields[static_cast<std::size_t>(nRow) * n + static_cast<std::size_t>(c.nCol)] = Utf8(c.pColumn->GetText());
            }
            for (int l = 0; l < shape.nLevels; ++l) {
                Field(buf, l + 1 == shape.nLevels ? stubHead : std::string(), true);
                for (std::size_t j = 0; j < n; ++j) Field(buf, fields[static_cast<std::size_t>(l) * n + j], false);
                buf += "\r\n";
            }
        } else if (n > 0) {
            // Each data column's caption after those of its spanners: "Sex: Male".
            std::vector<std::string> fields(n);
            for (const HeadCell& c : shape.head) {
                const std::string text = Utf8(c.pColumn->GetText());
                if (text.empty()) continue;
                for (int k = 0; k < c.nSpan; ++k) {
                    std::string& f = fields[static_cast<std::size_t>(c.nCol + k)];
                    f += (f.empty() ? "" : ": ") + text;
                }
            }
            Field(buf, stubHead, true);
            for (const std::string& f : fields) Field(buf, f, false);
            buf += "\r\n";
        }

        // Body.
        for (const BodyLine& line : shape.body) {
            if (!line.bData && !options.bCaptionRecords) continue;
            Field(buf, Utf8(line.pRow->GetText()), true);
            for (std::size_t j = 0; j < n; ++j) {
                buf += ',';
                const int c = shape.columns[j];
                const CTblCell* pCell = line.bData && c < line.pRow->GetNumCells() ? line.pRow->GetCell(c) : nullptr;
                if (!pCell) continue;
                const CFormat* f = pCell->GetFormat();
                if (options.bShownText || !f) {
                    field.clear();
                    AppendUtf8(field, pCell->GetText());
                    buf.pop_back();
                    Field(buf, field, false);
                } else if (!f->m_bHidden || pCell->GetData() == 0) {
                    AppendPlainDecimal(buf, pCell->GetData(), f->m_nDecimals);
                }
            }
            buf += "\r\n";
            if (buf.size() > (1u << 16)) {
                out.write(buf.data(), static_cast<std::streamsize>(buf.size()));
                buf.clear();
            }
        }
    }
    out.write(buf.data(), static_cast<std::streamsize>(buf.size()));
    if (!out) {
        report.strError = "the stream failed";
        return 0;
    }
    return 1;
}

}  // namespace export_detail
}  // namespace kavo
