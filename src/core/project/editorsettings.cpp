#include "project/editorsettings.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStringList>

namespace mb {

namespace {

// The file is written as UTF-8 with LF; lines written elsewhere with CR LF read the same. Every
// CR at a line's end goes: a value never ends in one (it cannot be written), so a line with
// stray CRs reads the same before and after it is written back.
QStringList splitLines(const QByteArray &ini)
{
    QStringList lines;
    for (QByteArray line : ini.split('\n')) {
        while (line.endsWith('\r'))
            line.chop(1);
        lines << QString::fromUtf8(line);
    }
    if (!lines.isEmpty() && lines.back().isEmpty())
        lines.removeLast();
    return lines;
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool holdsLineBreak(const QString &text)
{
    return text.contains(u'\n') || text.contains(u'\r');
}

} // namespace

EditorSettings::EditorSettings(QString editorFolder) : m_folder(std::move(editorFolder)) {}

QString EditorSettings::filePath() const { return QDir(m_folder).filePath(QStringLiteral("config.ini")); }

QString EditorSettings::settingIn(const QByteArray &ini, const QString &key)
{
    const QString prefix = key + QStringLiteral(" =");
    QString value = QStringLiteral("-1");
    for (const QString &line : splitLines(ini))
        if (line.startsWith(prefix))
            value = line.mid(key.size() + 3);
    return value;
}

std::optional<QByteArray> EditorSettings::withSetting(const QByteArray &ini, const QString &key, const QString &value)
{
    // A line break would end the line early and start another setting (a folder name may hold
    // one on Linux).
    if (holdsLineBreak(key) || holdsLineBreak(value))
        return std::nullopt;
    QStringList lines = splitLines(ini);
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
    return (lines.join(u'\n') + u'\n').toUtf8();
}

QString EditorSettings::readsetting(const QString &key) const
{
    return settingIn(readFile(filePath()), key);
}

bool EditorSettings::writesetting(const QString &key, const QString &value)
{
    const std::optional<QByteArray> text = withSetting(readFile(filePath()), key, value);
    if (!text) {
        m_error = QStringLiteral("%1: a setting cannot hold a line break").arg(key);
        return false;
    }
    QSaveFile file(filePath());
    if (!file.open(QIODevice::WriteOnly)) {
        m_error = file.errorString();
        return false;
    }
    file.write(*text);
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
