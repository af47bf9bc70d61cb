// Storage of a table's cells: fixed-size chunks, so that cells keep their
// addresses while the block grows or shrinks at its end, and a million cells
// take a thousand allocations rather than one each.
#pragma once

#include <cstddef>
#include <memory>
#include <new>
#include <vector>

#include "kavotbl/model/tbl_cell.h"

namespace kavo {

class CCellBlock {
public:
    // A chunk stays just under the size from which the C library maps each
    // block on its own pages: a mapped block takes a whole page more than it
    // asks for, which on a million cells is megabytes.
    enum : std::size_t { kChunkBytes = 128 * 1024 - 64, kChunkCells = kChunkBytes / sizeof(CTblCell) };

    CCellBlock() = default;
    CCellBlock(const CCellBlock&) = delete;
    CCellBlock& operator=(const CCellBlock&) = delete;
    ~CCellBlock() { Clear(); }

    std::size_t size() const { return m_nSize; }
    CTblCell& operator[](std::size_t i) { return Slot(i); }
    const CTblCell& operator[](std::size_t i) const { return const_cast<CCellBlock*>(this)->Slot(i); }

    /// Constructs new cells (value 0, dirty) or destroys cells at the end.
    void Resize(std::size_t n) {
        while (m_nSize > n) Slot(--m_nSize).~CTblCell();
        while (m_nSize < n) EmplaceBack();
    }
    CTblCell& EmplaceBack() {
        if (m_nSize == m_chunks.size() * kChunkCells) m_chunks.emplace_back(new Chunk);
        CTblCell* p = ::new (static_cast<void*>(&Slot(m_nSize))) CTblCell();
        ++m_nSize;
        return *p;
    }
    /// Destroys every cell and frees the storage.
    void Clear() {
        Resize(0);
        m_chunks.clear();
        m_chunks.shrink_to_fit();
    }

private:
    struct Chunk {
        alignas(CTblCell) unsigned char bytes[kChunkCells * sizeof(CTblCell)];
    };
    CTblCell& Slot(std::size_t i) {
        return *std::launder(reinterpret_cast<CTblCell*>(m_chunks[i / kChunkCells]->bytes) + i % kChunkCells);
    }

    std::vector<std::unique_ptr<Chunk>> m_chunks;
    std::size_t m_nSize = 0;
};

}  // namespace kavo
