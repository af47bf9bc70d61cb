// Run-time class records and the growable array of the application framework.
#pragma once

#include <cstddef>
#include <utility>
#include <vector>

namespace kavo {

/// Class name and base class of a run-time typed class; no creation by name.
struct CRuntimeClass {
    const char* m_lpszClassName;
    const CRuntimeClass* m_pBaseClass;

    /// True when this class is pBase or derives from it.
    bool IsDerivedFrom(const CRuntimeClass* pBase) const {
        for (const CRuntimeClass* p = this; p != nullptr; p = p->m_pBaseClass)
            if (p == pBase) return true;
        return false;
    }
};

/// Base of every run-time typed class.
class CObject {
public:
    static const CRuntimeClass classCObject;
    virtual ~CObject() = default;
    virtual const CRuntimeClass* GetRuntimeClass() const { return &classCObject; }
    bool IsKindOf(const CRuntimeClass* pClass) const {
        return GetRuntimeClass()->IsDerivedFrom(pClass);
    }

protected:
    CObject() = default;
    CObject(const CObject&) = default;
    CObject& operator=(const CObject&) = default;
};

inline const CRuntimeClass CObject::classCObject = {"CObject", nullptr};

#define KAVO_RUNTIME_CLASS(cls) (&cls::class##cls)

#define KAVO_DECLARE_DYNAMIC(cls)                                           \
public:                                                                     \
    static const ::kavo::CRuntimeClass class##cls;                          \
    const ::kavo::CRuntimeClass* GetRuntimeClass() const override {         \
        return &class##cls;                                                 \
    }

#define KAVO_IMPLEMENT_DYNAMIC(cls, base) \
    const ::kavo::CRuntimeClass cls::class##cls = {#cls, &base::class##base};

/// Growable array on std::vector with the framework's names. ARG_TYPE is the
/// argument type of the adding operations (kept for the familiar spelling).
template <class TYPE, class ARG_TYPE = const TYPE&>
class CArray {
public:
    CArray() = default;

    int GetSize() const { return static_cast<int>(m_data.size()); }
    int GetCount() const { return GetSize(); }
    bool IsEmpty() const { return m_data.empty(); }
    int GetUpperBound() const { return GetSize() - 1; }

    /// Sets the number of elements; new ones are value-initialised. A growth
    /// step is accepted for compatibility; the vector's own growth is used.
    void SetSize(int nNewSize, int nGrowBy = -1) {
        (void)nGrowBy;
        m_data.resize(nNewSize < 0 ? 0 : static_cast<std::size_t>(nNewSize));
    }
    void RemoveAll() { m_data.clear(); m_data.shrink_to_fit(); }
    void Reserve(int n) { if (n > 0) m_data.reserve(static_cast<std::size_t>(n)); }

    const TYPE& GetAt(int i) const { return m_data[static_cast<std::size_t>(i)]; }
    TYPE& ElementAt(int i) { return m_data[static_cast<std::size_t>(i)]; }
    void SetAt(int i, ARG_TYPE v) { m_data[static_cast<std::size_t>(i)] = v; }
    TYPE& operator[](int i) { return m_data[static_cast<std::size_t>(i)]; }
    const TYPE& operator[](int i) const { return m_data[static_cast<std::size_t>(i)]; }
    TYPE* GetData() { return m_data.data(); }
    const TYPE* GetData() const { return m_data.data(); }

    /// Appends an element and returns its index.
    int Add(ARG_TYPE v) {
        m_data.push_back(v);
        return GetSize() - 1;
    }
    void InsertAt(int i, ARG_TYPE v, int nCount = 1) {
        m_data.insert(m_data.begin() + i, static_cast<std::size_t>(nCount), v);
    }
    void RemoveAt(int i, int nCount = 1) {
        m_data.erase(m_data.begin() + i, m_data.begin() + i + nCount);
    }

    typename std::vector<TYPE>::iterator begin() { return m_data.begin(); }
    typename std::vector<TYPE>::iterator end() { return m_data.end(); }
    typename std::vector<TYPE>::const_iterator begin() const { return m_data.begin(); }
    typename std::vector<TYPE>::const_iterator end() const { return m_data.end(); }

private:
    std::vector<TYPE> m_data;
};

}  // namespace kavo
