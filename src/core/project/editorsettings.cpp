#include "project/editorsettings.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStringList>

namespace mb {

namespace {

// The file is written as UTF-8 with LF; lines written elsewhere with CR LF read the same.
QStringList readLines(const QString &path, bool *exists)
{
    QFile file(path);
    *exists = file.open(QIODevice::ReadOnly);
    QStringList lines;
    if (!*exists)
        return lines;
    for (QByteArray line : file.readAll().split('\n')) {
        if (line.endsWith('\r'))
            line.chop(1);
        lines << QString::fromUtf8(line);
    }
    if (!lines.isEmpty() && lines.back().isEmpty())
        lines.removeLast();
    return lines;
}

} // namespace

EditorSettings::EditorSettings(QString editorFolder) : m_folder(std::move(editorFolder)) {}

QString EditorSettings::filePath() const { return QDir(m_folder).filePath(QStringLiteral("config.ini")); }

QString EditorSettings::readsetting(const QString &key) const
{
    bool exists = false;
    const QStringList lines = readLines(filePath(), &exists);
    const QString prefix = key + QStringLiteral(" =");
    QString value = QStringLiteral("-1");
    for (const QString &line : lines)
        if (line.startsWith(prefix))
            value = line.mid(key.size() + 3);
    return value;
}

bool EditorSettings::writesetting(const QString &key, const QString &value)
{
    // A line break would end the line early and start another setting (a folder name may hold
    // one on Linux).
    if (value.contains(u'\n') || value.contains(u'\r') || key.contains(u'\n') || key.contains(u'\r')) {
        m_error = QStringLiteral("%1: a setting cannot hold a line break").arg(key);
        return false;
    }
    bool exists = false;
    QStringList lines = readLines(filePath(), &exists);
    const QString prefix = key + QStringLiteral(" =");
    const QString entry = key + QStringLiteral(" = ") + value;
    bool matched = false;
    for (QString &line : lines) {
        if (line.startsWith(prefix)) {
            line = entry;
            matched = true;
        }
    }
    if (!matched)
        lines << entry;

    QSaveFile file(filePath());
    if (!file.open(QIODevice::WriteOnly)) {
        m_error = file.errorString();
        return false;
    }
    file.write((lines.join(u'\n') + u'\n').toUtf8());
    if (!file.commit()) {
        m_error = file.errorString();
        return false;
    }
    m_error.clear();
    return true;
}

QString EditorSettings::startLanguage()
{
    const QString lang = readsetting(QStringLiteral("Lang"));
    if (lang == QLatin1String("-1")) {
        writesetting(QStringLiteral("Lang"), QStringLiteral("EN"));
        return QStringLiteral("EN");
    }
    return lang;
}

} // namespace mb
