// kavotbl_summary: loads a table file the way a host does (the registry from
// the head of the file, then one CTable per [Table]) and prints what was
// loaded: the file's styles and formats, and for each table its name, title,
// data size and the styles and formats its elements and cells use.
//
//   kavotbl_summary FILE.tbl
//
// Exit status: 0 when every table loaded, 1 when the file cannot be opened,
// holds no table or a table fails to load, 2 on bad usage.
#include <cstdio>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include <kavotbl/kavotbl.h>

namespace {

// Marks which registry entries a table refers to, so that they can be listed
// in registry order.
class UsedLabels {
public:
    explicit UsedLabels(const kavo::CStyleRegistry& registry)
        : m_styleUsed(static_cast<std::size_t>(registry.GetNumStyles()), false),
          m_formatUsed(static_cast<std::size_t>(registry.GetNumFormats()), false) {
        for (int i = 0; i < registry.GetNumStyles(); ++i) m_styleIndex[registry.GetStyle(i)] = i;
        for (int i = 0; i < registry.GetNumFormats(); ++i) m_formatIndex[registry.GetFormat(i)] = i;
    }

    void Mark(const kavo::CStyle* pStyle) { Mark(m_styleIndex, m_styleUsed, pStyle); }
    void Mark(const kavo::CFormat* pFormat) { Mark(m_formatIndex, m_formatUsed, pFormat); }
    const std::vector<bool>& Styles() const { return m_styleUsed; }
    const std::vector<bool>& Formats() const { return m_formatUsed; }

private:
    template <typename T>
    static void Mark(const std::unordered_map<const T*, int>& index, std::vector<bool>& used, const T* p) {
        auto it = p ? index.find(p) : index.end();
        if (it != index.end()) used[static_cast<std::size_t>(it->second)] = true;
    }

    std::unordered_map<const kavo::CStyle*, int> m_styleIndex;
    std::unordered_map<const kavo::CFormat*, int> m_formatIndex;
    std::vector<bool> m_styleUsed;
    std::vector<bool> m_formatUsed;
};

void MarkTree(const kavo::CRowColOb* pNode, UsedLabels& used) {
    used.Mark(pNode->GetStyle());
    used.Mark(pNode->GetCellStyle());
    used.Mark(pNode->GetCellFormat());
    for (int i = 0; i < pNode->GetNumChildren(); ++i) MarkTree(pNode->GetChildAt(i), used);
}

// Labels of the marked entries, ", "-separated; "(none)" when nothing is marked.
template <typename Entry>
std::string JoinLabels(const std::vector<bool>& marked, Entry* (kavo::CStyleRegistry::*get)(int) const,
                       const kavo::CStyleRegistry& registry) {
    std::string out;
    for (std::size_t i = 0; i < marked.size(); ++i) {
        if (!marked[i]) continue;
        if (!out.empty()) out += ", ";
        const std::string& label = (registry.*get)(static_cast<int>(i))->GetLabel().str();
        out += label.empty() ? "(no label)" : label;
    }
    return out.empty() ? "(none)" : out;
}

void PrintLabels(const kavo::CStyleRegistry& registry, const std::vector<bool>& styles,
                 const std::vector<bool>& formats) {
    std::printf("  %-13s%s\n",
                "styles:", JoinLabels(styles, &kavo::CStyleRegistry::GetStyle, registry).c_str());
    std::printf("  %-13s%s\n",
                "formats:", JoinLabels(formats, &kavo::CStyleRegistry::GetFormat, registry).c_str());
}

int Levels(const kavo::CRowColOb* pRoot) { return pRoot && !pRoot->HasData() ? pRoot->GetDepth(0) : 0; }

void PrintPiece(const char* pszName, const kavo::CTblOb* pPiece) {
    if (!pPiece->GetText().IsEmpty()) std::printf("  %-13s%s\n", pszName, pPiece->GetText().c_str());
}

void PrintTable(int nTable, const kavo::CTable& table, const kavo::CStyleRegistry& registry) {
    std::printf("\ntable %d: %s\n", nTable,
                table.GetName().IsEmpty() ? "(no name)" : table.GetName().c_str());
    PrintPiece("title:", table.GetTitle());
    PrintPiece("stub head:", table.GetStubHead());
    PrintPiece("heading:", table.GetHeader());
    PrintPiece("footing:", table.GetFooter());
    const int nRows = table.GetNumDataRows();
    const int nCols = table.GetNumDataColumns();
    std::printf("  %-13s%d row%s x %d column%s\n", "data:", nRows, nRows == 1 ? "" : "s", nCols,
                nCols == 1 ? "" : "s");
    std::printf("  %-13s%d column, %d row\n", "levels:", Levels(table.GetColumnRoot()),
                Levels(table.GetRowRoot()));
    if (table.GetNumAreaLevels() != 0) std::printf("  %-13s%u\n", "area levels:", table.GetNumAreaLevels());

    UsedLabels used(registry);
    used.Mark(table.GetStyle());
    for (const kavo::CTblOb* pPiece :
         {table.GetTitle(), table.GetStubHead(), table.GetHeader(), table.GetFooter()})
        used.Mark(pPiece->GetStyle());
    // The roots only hold the trees; their children are what the table shows.
    for (const kavo::CRowColOb* pRoot : {static_cast<const kavo::CRowColOb*>(table.GetColumnRoot()),
                                         static_cast<const kavo::CRowColOb*>(table.GetRowRoot())}) {
        for (int i = 0; pRoot && i < pRoot->GetNumChildren(); ++i) MarkTree(pRoot->GetChildAt(i), used);
    }
    for (int r = 0; r < nRows; ++r) {
        const kavo::CTblRow* pRow = table.GetRow(r);
        // After loading every data row holds one cell per data column; the
        // bound is kept anyway so that a short row cannot be read past.
        const int nCells = pRow->GetNumCells() < nCols ? pRow->GetNumCells() : nCols;
        for (int c = 0; c < nCells; ++c) {
            const kavo::CTblCell* pCell = pRow->GetCell(c);
            if (!pCell) continue;
            used.Mark(pCell->GetStyle());
            used.Mark(pCell->GetFormat());
        }
    }
    PrintLabels(registry, used.Styles(), used.Formats());
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: kavotbl_summary FILE.tbl\n");
        return 2;
    }
    const std::string path = argv[1];

    // The reader reports problems through message boxes; here they go to
    // standard error, one line each, with the file name in front. A stop
    // icon marks the messages after which a table fails to load.
    int nStopMessages = 0;
    kavo::SetMessageBoxHandler([&](const kavo::CKAVOString& strText, unsigned nType) {
        std::string text = strText.str();
        for (char& ch : text)
            if (ch == '\n' || ch == '\r') ch = ' ';
        std::fprintf(stderr, "%s: %s\n", path.c_str(), text.c_str());
        if (nType & kavo::MB_ICONSTOP) ++nStopMessages;
        return kavo::IDOK;
    });

    kavo::CSpecFile file;
    if (!file.Open(path.c_str(), kavo::CSpecFile::modeRead)) {
        std::fprintf(stderr, "%s: cannot open the file\n", path.c_str());
        return 1;
    }
    kavo::CStyleRegistry registry;
    registry.Build(file);

    // Tables refer to the registry's styles and formats, so they go before it.
    std::vector<std::unique_ptr<kavo::CTable>> tables;
    int nFailed = 0;
    for (;;) {
        auto table = std::make_unique<kavo::CTable>();
        table->SetStyleRegistry(&registry);
        const int nStopsBefore = nStopMessages;
        if (table->Build(file)) {
            tables.push_back(std::move(table));
            continue;
        }
        // Build also answers 0 when no further table follows; only a failed
        // read leaves lines behind or shows a stop message.
        if (nStopMessages == nStopsBefore && file.IsEOF()) break;
        std::fprintf(stderr, "%s: table %zu failed to load near line %d\n", path.c_str(), tables.size() + 1,
                     file.GetLineNumber());
        ++nFailed;
        break;
    }
    file.Close();

    std::printf("%s: %zu table%s\n", path.c_str(), tables.size(), tables.size() == 1 ? "" : "s");
    PrintLabels(registry, std::vector<bool>(static_cast<std::size_t>(registry.GetNumStyles()), true),
                std::vector<bool>(static_cast<std::size_t>(registry.GetNumFormats()), true));
    for (std::size_t i = 0; i < tables.size(); ++i) PrintTable(static_cast<int>(i) + 1, *tables[i], registry);

    if (nFailed) return 1;
    if (tables.empty()) {
        std::fprintf(stderr, "%s: no table in the file\n", path.c_str());
        return 1;
    }
    return 0;
}
