#pragma once

#include <QString>

#include <algorithm>
#include <vector>

namespace mb {

// A fixed number of slots numbered from 1. A slot is free when its key (the name, or the
// instance name for placements) is empty; there is no count and no used flag. Records must
// provide `const QString &slotKey() const` and ==.
//
// The table remembers the highest slot handed out for writing since the last clear(): every
// slot above it still holds the blank record (the one the last clear() wrote, a default record
// at first). Lookups stop there, and clear() resets only the slots below it, so emptying a big
// table that held a few records costs a few records. Write access is operator[] on a non-const
// table and non-const iteration (which counts as writing every slot).
template <typename T>
class SlotTable
{
public:
    explicit SlotTable(int slotCount) : m_slots(slotCount) {}

    int size() const { return int(m_slots.size()); }
    T &operator[](int slot)
    {
        m_written = std::max(m_written, slot);
        return m_slots[slot - 1];
    }
    const T &operator[](int slot) const { return m_slots[slot - 1]; }
    bool used(int slot) const { return !m_slots[slot - 1].slotKey().isEmpty(); }

    // Lowest slot with an empty key, or 0 when the table is full.
    int firstFree() const
    {
        const int end = writtenEnd();
        for (int i = 0; i < end; ++i)
            if (m_slots[i].slotKey().isEmpty())
                return i + 1;
        return end < size() ? end + 1 : 0;
    }
    // First slot whose key equals the name exactly, or 0.
    int find(const QString &name) const
    {
        if (name.isEmpty())
            return 0;
        const int end = writtenEnd();
        for (int i = 0; i < end; ++i)
            if (m_slots[i].slotKey() == name)
                return i + 1;
        return 0;
    }
    int usedCount() const
    {
        const int end = writtenEnd();
        int n = 0;
        for (int i = 0; i < end; ++i)
            n += m_slots[i].slotKey().isEmpty() ? 0 : 1;
        return n;
    }
    // Every slot back to a default record.
    void clear()
    {
        // Without a blank of its own the table needs no new default record to compare with
        // (for rooms that is two hundred placements built and compared per clear).
        if (m_ownBlank) {
            m_blank = T();
            m_ownBlank = false;
            m_written = size();
        }
        fillBlank();
    }
    // Every slot back to a copy of `blank`, whose key must be empty (a table whose empty slots
    // carry defaults of their own, such as the names of the extra character states).
    void clear(const T &blank)
    {
        if (!(blank == m_blank)) {
            m_blank = blank;
            m_ownBlank = true;
            m_written = size();
        }
        fillBlank();
    }

    auto begin()
    {
        m_written = size();
        return m_slots.begin();
    }
    auto end() { return m_slots.end(); }
    auto begin() const { return m_slots.begin(); }
    auto end() const { return m_slots.end(); }

private:
    int writtenEnd() const { return std::min(m_written, size()); }
    void fillBlank()
    {
        const int end = writtenEnd();
        for (int i = 0; i < end; ++i)
            m_slots[i] = m_blank;
        m_written = 0;
    }

    std::vector<T> m_slots;
    T m_blank{};
    bool m_ownBlank = false; // m_blank came from clear(blank) and may differ from T()
    int m_written = 0; // slots above this one hold m_blank
};

} // namespace mb
