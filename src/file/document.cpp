// Loading and saving a whole table file.
#include "kavotbl/file/document.h"

#include <utility>

#include "kavotbl/host/progress.h"
#include "kavotbl/host/spec_file.h"

namespace kavo {

CTableDocument::CTableDocument() : m_pRegistry(std::make_unique<CStyleRegistry>()) {}

CTableDocument::~CTableDocument() { m_tables.clear(); }

void CTableDocument::Clear() {
    m_tables.clear();
    m_pRegistry = std::make_unique<CStyleRegistry>();
}

int CTableDocument::Load(CSpecFile& file, CProgressDlg* pProgress) {
    Clear();
    m_pRegistry->Build(file);
    int nResult = 1;
    for (;;) {
        auto pTable = std::make_unique<CTable>();
        pTable->SetStyleRegistry(m_pRegistry.get());
        if (pTable->Build(file, pProgress)) {
            m_tables.push_back(std::move(pTable));
            continue;
        }
        // A table that failed is fit only for destruction. At end of file
        // there is nothing more; otherwise the failure was a cancel, or a
        // bad section, after which the next table may still be read.
        if (file.IsEOF()) return nResult;
        nResult = 0;
        if (pProgress != nullptr && pProgress->CheckCancelButton()) return 0;
    }
}

int CTableDocument::LoadFile(const char* pszPath, CProgressDlg* pProgress) {
    CSpecFile file;
    if (!file.Open(pszPath, CSpecFile::modeRead)) return 0;
    return Load(file, pProgress);
}

int CTableDocument::LoadText(std::string text, CProgressDlg* pProgress) {
    CSpecFile file;
    file.OpenText(std::move(text));
    return Load(file, pProgress);
}

void CTableDocument::Save(CSpecFile& file, int bBlockedOnly) const {
    m_pRegistry->Save(file);
    for (const auto& pTable : m_tables) pTable->Save(file, bBlockedOnly);
}

int CTableDocument::SaveFile(const char* pszPath, int bBlockedOnly) const {
    CSpecFile file;
    if (!file.Open(pszPath, CSpecFile::modeWrite)) return 0;
    Save(file, bBlockedOnly);
    return file.Close() && !file.HasWriteError() ? 1 : 0;
}

std::string CTableDocument::SaveText(int bBlockedOnly) const {
    CSpecFile file;
    file.OpenTextWrite();
    Save(file, bBlockedOnly);
    return file.GetText();
}

}  // namespace kavo
