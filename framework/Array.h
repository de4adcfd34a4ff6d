// CArray: the framework's dynamic array. Header-only; indexes are INT_PTR as on the platform.
// Out-of-range reads are the caller's mistake; GetAt checks them and throws std::out_of_range.
#pragma once

#include <cstdint>
#include <vector>

template <typename TYPE, typename ARG_TYPE = const TYPE&>
class CArray {
public:
    typedef intptr_t Index;

    Index GetSize() const { return static_cast<Index>(m_items.size()); }
    Index GetCount() const { return GetSize(); }
    bool IsEmpty() const { return m_items.empty(); }
    Index GetUpperBound() const { return GetSize() - 1; }
    void SetSize(Index nNewSize) {
        m_items.resize(nNewSize > 0 ? static_cast<size_t>(nNewSize) : 0);
    }

    const TYPE& GetAt(Index i) const { return m_items.at(static_cast<size_t>(i)); }
    TYPE& ElementAt(Index i) { return m_items.at(static_cast<size_t>(i)); }
    void SetAt(Index i, ARG_TYPE v) { m_items.at(static_cast<size_t>(i)) = v; }
    const TYPE& operator[](Index i) const { return GetAt(i); }
    TYPE& operator[](Index i) { return ElementAt(i); }
    const TYPE* GetData() const { return m_items.data(); }
    TYPE* GetData() { return m_items.data(); }

    Index Add(ARG_TYPE v) {
        m_items.push_back(v);
        return GetSize() - 1;
    }
    void InsertAt(Index i, ARG_TYPE v) {
        if (i < 0) i = 0;
        if (i > GetSize()) i = GetSize();
        m_items.insert(m_items.begin() + i, v);
    }
    void RemoveAt(Index i, Index nCount = 1) {
        if (i < 0 || nCount <= 0 || i >= GetSize()) return;
        Index end = i + nCount > GetSize() ? GetSize() : i + nCount;
        m_items.erase(m_items.begin() + i, m_items.begin() + end);
    }
    void RemoveAll() { m_items.clear(); }

private:
    std::vector<TYPE> m_items;
};
