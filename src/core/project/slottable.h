#pragma once

#include <QString>

#include <vector>

namespace mb {

// A fixed number of slots numbered from 1. A slot is free when its key (the name, or the
// instance name for placements) is empty; there is no count and no used flag. Records must
// provide `const QString &slotKey() const`.
template <typename T>
class SlotTable
{
public:
    explicit SlotTable(int slotCount) : m_slots(slotCount) {}

    int size() const { return int(m_slots.size()); }
    T &operator[](int slot) { return m_slots[slot - 1]; }
    const T &operator[](int slot) const { return m_slots[slot - 1]; }
    bool used(int slot) const { return !m_slots[slot - 1].slotKey().isEmpty(); }

    // Lowest slot with an empty key, or 0 when the table is full.
    int firstFree() const
    {
        for (int i = 0; i < size(); ++i)
            if (m_slots[i].slotKey().isEmpty())
                return i + 1;
        return 0;
    }
    // First slot whose key equals the name exactly, or 0.
    int find(const QString &name) const
    {
        if (name.isEmpty())
            return 0;
        for (int i = 0; i < size(); ++i)
            if (m_slots[i].slotKey() == name)
                return i + 1;
        return 0;
    }
    int usedCount() const
    {
        int n = 0;
        for (const T &r : m_slots)
            n += r.slotKey().isEmpty() ? 0 : 1;
        return n;
    }
    // Every slot back to a default record.
    void clear()
    {
        for (T &r : m_slots)
            r = T();
    }

    auto begin() { return m_slots.begin(); }
    auto end() { return m_slots.end(); }
    auto begin() const { return m_slots.begin(); }
    auto end() const { return m_slots.end(); }

private:
    std::vector<T> m_slots;
};

} // namespace mb
