#include "project/recentprojects.h"

#include "project/editorsettings.h"

#include <QDir>
#include <QFileInfo>

namespace mb {

namespace {

QString key(int i)
{
    return QStringLiteral("Recent %1").arg(i);
}

QString normalised(const QString &path)
{
    const QFileInfo info(path);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : canonical;
}

} // namespace

QStringList RecentProjects::stored() const
{
    QStringList out;
    for (int i = 1; i <= kMax; ++i) {
        const QString v = m_settings.readsetting(key(i));
        if (v != QLatin1String("-1") && !v.isEmpty())
            out << v;
    }
    return out;
}

void RecentProjects::store(const QStringList &paths)
{
    for (int i = 1; i <= kMax; ++i)
        m_settings.writesetting(key(i), paths.value(i - 1));
}

QStringList RecentProjects::list()
{
    const QStringList all = stored();
    QStringList present;
    for (const QString &p : all)
        if (QFileInfo(p).isFile())
            present << p;
    if (present.size() != all.size())
        store(present);
    return present;
}

void RecentProjects::add(const QString &projectPath)
{
    const QString path = normalised(projectPath);
    QStringList paths = stored();
    paths.erase(std::remove_if(paths.begin(), paths.end(), [&](const QString &p) { return normalised(p) == path; }),
                paths.end());
    paths.prepend(path);
    store(paths.mid(0, kMax));
}

void RecentProjects::clear()
{
    store({});
}

} // namespace mb
