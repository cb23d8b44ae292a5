#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace mb {

// config.ini in the editor folder: one "key = value" line per setting, no sections. Keys are
// case-sensitive and may contain blanks.
class EditorSettings
{
public:
    explicit EditorSettings(QString editorFolder);

    QString filePath() const;
    QString editorFolder() const { return m_folder; }

    // The value of the last line that starts with key + " ="; "-1" when the file or key is missing.
    QString readsetting(const QString &key) const;
    // Replaces every line of the key (or appends one) and writes the file through a temporary
    // file that is renamed over the old one, so a failure never loses config.ini. Returns false
    // with errorString() set when the file cannot be written or the key or value holds a line
    // break.
    bool writesetting(const QString &key, const QString &value);
    QString errorString() const { return m_error; }

    // The language code stored under "Lang"; writes "EN" when the key is missing.
    QString startLanguage();

    // The same rules over the text of a config.ini in memory (no file is read or written):
    // the value of the key, "-1" when it is missing;
    static QString settingIn(const QByteArray &ini, const QString &key);
    // the text with every line of the key replaced (or one appended), written as UTF-8 with LF;
    // nothing when the key or the value holds a line break.
    static std::optional<QByteArray> withSetting(const QByteArray &ini, const QString &key, const QString &value);

private:
    QString m_folder;
    QString m_error;
};

} // namespace mb
