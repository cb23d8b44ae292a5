#include "project/missingfiles.h"

#include "project/projectmodel.h"
#include "project/texthelpers.h"

#include <QDir>
#include <QFileInfo>

namespace mb {

namespace {

// The kinds in the order the check lists them.
constexpr int kOrder[4] = {Images, Sounds, Music, Movies};

QString fileNameOf(const QString &path)
{
    if (!path.contains(u'/') && !path.contains(u'\\'))
        return path;
    return text::filepart(path);
}

bool fileExists(const QString &path)
{
    const QFileInfo info(path);
    return info.isAbsolute() && info.isFile();
}

} // namespace

QChar MissingEntry::letter() const
{
    switch (kind) {
    case Images: return u'I';
    case Sounds: return u'S';
    case Music: return u'M';
    case Movies: return u'V';
    }
    return u'?';
}

int MissingFiles::collect()
{
    m_missing.clear();
    m_added.clear();
    m_repaired = 0;
    for (int kind : kOrder) {
        const MediaTable &table = m_model.media[kind];
        for (int slot = 1; slot <= table.size(); ++slot)
            if (!table.name(slot).isEmpty() && !fileExists(table.path(slot)))
                m_missing.push_back({kind, table.name(slot), table.path(slot)});
    }
    return count();
}

int MissingFiles::check()
{
    collect();
    m_model.busy = false;
    if (!m_missing.empty() && !m_model.projectFolder.isEmpty())
        searchTree(m_model.projectFolder);
    m_model.busy = !m_missing.empty();
    return count();
}

int MissingFiles::searchTree(const QString &folder)
{
    int repaired = searchFolder(folder);
    if (m_missing.empty())
        return repaired;
    const QDir dir(folder);
    for (const QString &sub : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks, QDir::Name)) {
        repaired += searchTree(dir.filePath(sub));
        if (m_missing.empty())
            break;
    }
    return repaired;
}

int MissingFiles::searchFolder(const QString &folder)
{
    const QDir dir(folder);
    if (m_missing.empty() || !dir.exists())
        return 0;
    int repaired = 0;
    for (auto it = m_missing.begin(); it != m_missing.end();) {
        const QString file = fileNameOf(it->path);
        if (file.isEmpty() || file == QLatin1String(".") || file == QLatin1String("..") ||
            !QFileInfo(dir.filePath(file)).isFile()) {
            ++it;
            continue;
        }
        MediaTable &table = m_model.media[it->kind];
        if (const int slot = table.find(it->name))
            table.setPath(slot, QDir::toNativeSeparators(dir.absoluteFilePath(file)));
        m_model.modified = true;
        ++repaired;
        it = m_missing.erase(it);
    }
    m_repaired += repaired;
    return repaired;
}

bool MissingFiles::addFolder(const QString &folder)
{
    const QString clean = QDir::cleanPath(QDir(folder).absolutePath());
    if (m_added.contains(clean))
        return false;
    m_added << clean;
    searchFolder(clean);
    return true;
}

void MissingFiles::finish() { m_model.busy = false; }

QStringList MissingFiles::names() const
{
    QStringList out;
    for (const MissingEntry &e : m_missing)
        out << e.name;
    return out;
}

QStringList MissingFiles::extraLines() const
{
    QStringList out;
    for (const MissingEntry &e : m_missing)
        out << QString(e.letter()) + e.path;
    return out;
}

QString MissingFiles::countText() const { return QStringLiteral("(%1)").arg(count()); }

} // namespace mb
