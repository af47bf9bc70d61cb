// Area-code record of a row.
#pragma once

#include <cstdint>

namespace kavo {

/// Eight signed 32-bit area codes, one per area level, all 0 after construction.
class CAreaStruct {
public:
    enum { NUM_CODES = 8 };
    CAreaStruct() = default;
    /// Code of level i; the caller keeps i within 0 to 7.
    std::int32_t GetCode(int i) const { return m_codes[i]; }
    void SetCode(int i, std::int32_t v) { m_codes[i] = v; }
    bool operator==(const CAreaStruct& o) const {
        for (int i = 0; i < NUM_CODES; ++i)
            if (m_codes[i] != o.m_codes[i]) return false;
        return true;
    }
    bool operator!=(const CAreaStruct& o) const { return !(*this == o); }

private:
    std::int32_t m_codes[NUM_CODES] = {0, 0, 0, 0, 0, 0, 0, 0};
};

}  // namespace kavo
