#pragma once

#include <QString>

#include <array>
#include <functional>

namespace mb {

// The five scripts the script editor showed last, the latest first, each with the title the recent
// menu shows and the first visible line to scroll back to. Empty entries (empty key and title, top
// line 0) are always at the end.
class RecentScripts
{
public:
    static constexpr int Size = 5;

    struct Entry
    {
        QString key;   // the script's open request text
        QString title; // what the menu shows
        int topLine = 0;
        bool isEmpty() const { return key.isEmpty(); }
        bool operator==(const Entry &) const = default;
    };

    // A script was opened. A new key becomes entry 1 with top line 0 and pushes the others down
    // (the fifth is dropped); a key further down moves to the top with its top line and its title
    // renewed; entry 1 stays as it is. Returns the top line to scroll to.
    int opened(const QString &key, const QString &title);
    // The open script (entry 1) is now scrolled to `line`. Nothing when the list is empty.
    void setTopLine(int line);
    // The script of `key` is now called `newKey` (its element was renamed): the entry keeps its
    // place and top line, with the new key and title; an older entry of the new key goes.
    void renamed(const QString &key, const QString &newKey, const QString &title);
    // Drops every entry for which exists(key) is false; the entries below move up.
    void prune(const std::function<bool(const QString &key)> &exists);

    const Entry &entry(int i) const { return m_entries[size_t(i)]; } // 0 = the latest
    const std::array<Entry, Size> &entries() const { return m_entries; }

private:
    std::array<Entry, Size> m_entries;
};

} // namespace mb
