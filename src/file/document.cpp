// Loading and saving a whole table file.
#include "kavotbl/file/document.h"

#include <cerrno>
#include <cstring>
#include <new>
#include <utility>

#include "kavotbl/host/platform.h"
#include "kavotbl/host/progress.h"
#include "kavotbl/host/spec_file.h"

namespace kavo {

CTableDocument::CTableDocument() : m_pRegistry(std::make_unique<CStyleRegistry>()) {}

CTableDocument::~CTableDocument() { m_tables.clear(); }

void CTableDocument::Clear() {
    m_tables.clear();
    m_pRegistry = std::make_unique<CStyleRegistry>();
}

namespace {

// Reads up to the next "[Table]" heading and gives it back; false at end of
// file. Lines before it are dropped, as the table reader drops them.
bool FindNextTable(CSpecFile& file) {
    CKAVOString strKey, strValue;
    while (file.GetLine(strKey, strValue) == 0) {
        if (strKey.CompareNoCase("[Table]") == 0) {
            file.UngetLine();
            return true;
        }
    }
    return false;
}

}  // namespace

int CTableDocument::Load(CSpecFile& file, CProgressDlg* pProgress) {
    Clear();
    m_messages.clear();
    CLoadMessageLog log;
    int nResult = 1;
    try {
        m_pRegistry->Build(file);
        int nTables = 0;
        // A table that fails is fit only for destruction; reading goes on
        // with the next one, and the load as a whole reports the failure.
        while (FindNextTable(file)) {
            ++nTables;
            auto pTable = std::make_unique<CTable>();
            pTable->SetStyleRegistry(m_pRegistry.get());
            if (pTable->Build(file, pProgress)) {
                m_tables.push_back(std::move(pTable));
                continue;
            }
            nResult = 0;
            if (pProgress != nullptr && pProgress->CheckCancelButton()) break;
        }
        // Nothing failed, so the result stays 1; the message says why the
        // document is empty.
        if (nTables == 0) ReportLine(IDS_NO_TABLE, 0, {});
    } catch (const std::bad_alloc&) {
        // CTable::Build reports its own; this is the registry or the list.
        ReportLine(IDS_OUT_OF_MEMORY, file.GetLineNumber(), {}, MB_OK | MB_ICONSTOP);
        nResult = 0;
    }
    m_messages = log.TakeMessages();
    return nResult;
}

int CTableDocument::LoadFile(const char* pszPath, CProgressDlg* pProgress) {
    CSpecFile file;
    errno = 0;
    if (pszPath == nullptr || !file.Open(pszPath, CSpecFile::modeRead)) {
        Clear();
        CLoadMessageLog log;
        ReportLine(IDS_CANNOT_OPEN, 0,
                   {pszPath ? pszPath : "", errno != 0 ? std::strerror(errno) : "it cannot be read"},
                   MB_OK | MB_ICONSTOP);
        m_messages = log.TakeMessages();
        return 0;
    }
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
