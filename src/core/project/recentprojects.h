#pragma once

#include <QStringList>

namespace mb {

class EditorSettings;

// The last projects opened or saved, newest first, kept in config.ini under "Recent 1" to
// "Recent 10" (absolute paths).
class RecentProjects
{
public:
    static constexpr int kMax = 10;

    explicit RecentProjects(EditorSettings &settings) : m_settings(settings) {}

    // The list without projects whose file is gone; when some were dropped, config.ini is
    // written without them.
    QStringList list();
    // Puts the project first (once, however its path was spelled) and keeps ten.
    void add(const QString &projectPath);
    void clear();

private:
    QStringList stored() const;
    void store(const QStringList &paths);

    EditorSettings &m_settings;
};

} // namespace mb
