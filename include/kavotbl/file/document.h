// A whole table file: the style registry and every table in it.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "kavotbl/model/table.h"
#include "kavotbl/resources/strings.h"
#include "kavotbl/style/registry.h"

namespace kavo {

class CSpecFile;
class CProgressDlg;

/// A document: one style registry and the tables that use it, loaded from a
/// table file and saved back in the same form. The tables are destroyed
/// before the registry, which owns the styles they point at.
class CTableDocument {
public:
    CTableDocument();
    ~CTableDocument();
    CTableDocument(const CTableDocument&) = delete;
    CTableDocument& operator=(const CTableDocument&) = delete;

    /// Replaces the document's contents: reads the registry, then every
    /// table (CTable::Build once per table). A table whose read fails is
    /// dropped and reading goes on with the next table; a cancel in the
    /// progress dialog stops. Returns 1 when every table read was loaded, 0
    /// after a failure or a cancel (the tables loaded so far stay). A file
    /// without a [Table] section loads as an empty document, with a message. Never throws: running out of
    /// memory is reported and ends the load with what was loaded.
    int Load(CSpecFile& file, CProgressDlg* pProgress = nullptr);
    /// Load from a file; 0 also when it cannot be opened (with a message
    /// that says why).
    int LoadFile(const char* pszPath, CProgressDlg* pProgress = nullptr);
    /// Load from text in memory.
    int LoadText(std::string text, CProgressDlg* pProgress = nullptr);

    /// Writes the registry, then each table; with bBlockedOnly only the
    /// blocked part of each table.
    void Save(CSpecFile& file, int bBlockedOnly = 0) const;
    /// Saves into a file; 1 when everything reached it.
    int SaveFile(const char* pszPath, int bBlockedOnly = 0) const;
    /// The text that Save writes.
    std::string SaveText(int bBlockedOnly = 0) const;

    /// The messages of the last load, in the order shown (each also went
    /// through the message-box handler): id, line and text. Empty when the
    /// file was loaded without a word.
    const std::vector<CLoadMessage>& GetMessages() const { return m_messages; }

    /// Destroys the tables, then empties the registry.
    void Clear();

    CStyleRegistry& GetRegistry() { return *m_pRegistry; }
    const CStyleRegistry& GetRegistry() const { return *m_pRegistry; }
    int GetNumTables() const { return static_cast<int>(m_tables.size()); }
    CTable* GetTable(int i) { return m_tables[static_cast<std::size_t>(i)].get(); }
    const CTable* GetTable(int i) const { return m_tables[static_cast<std::size_t>(i)].get(); }

private:
    std::unique_ptr<CStyleRegistry> m_pRegistry;  // declared first: outlives the tables
    std::vector<std::unique_ptr<CTable>> m_tables;
    std::vector<CLoadMessage> m_messages;
};

}  // namespace kavo
