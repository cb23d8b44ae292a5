#include "script/recentscripts.h"

#include <algorithm>

namespace mb {

int RecentScripts::opened(const QString &key, const QString &title)
{
    const auto it = std::find_if(m_entries.begin(), m_entries.end(),
                                 [&](const Entry &e) { return !e.isEmpty() && e.key == key; });
    if (it == m_entries.begin())
        return it->topLine;
    Entry moved = it == m_entries.end() ? Entry{key, title, 0} : Entry{key, title, it->topLine};
    // Everything above the old place (or everything, for a new key) moves down one place.
    std::move_backward(m_entries.begin(), it == m_entries.end() ? m_entries.end() - 1 : it,
                       it == m_entries.end() ? m_entries.end() : it + 1);
    m_entries.front() = std::move(moved);
    return m_entries.front().topLine;
}

void RecentScripts::setTopLine(int line)
{
    if (!m_entries.front().isEmpty())
        m_entries.front().topLine = line;
}

void RecentScripts::renamed(const QString &key, const QString &newKey, const QString &title)
{
    if (key == newKey || std::none_of(m_entries.begin(), m_entries.end(), [&](const Entry &e) { return e.key == key; }))
        return;
    prune([&](const QString &k) { return k != newKey; });
    for (Entry &e : m_entries)
        if (!e.isEmpty() && e.key == key) {
            e.key = newKey;
            e.title = title;
        }
}

void RecentScripts::prune(const std::function<bool(const QString &)> &exists)
{
    const auto end = std::remove_if(m_entries.begin(), m_entries.end(),
                                    [&](const Entry &e) { return !e.isEmpty() && !exists(e.key); });
    std::fill(end, m_entries.end(), Entry{});
    // Empty entries never stood between used ones, so the order of the rest is kept.
}

} // namespace mb
