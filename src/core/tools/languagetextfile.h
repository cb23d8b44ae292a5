#pragma once

#include <QString>
#include <QStringList>

namespace mb {

// Outcome of a tool that writes files into a folder.
struct ToolFilesResult
{
    bool ok = true;
    QString error;     // on failure: the file and the system's reason
    QStringList files; // the files written, in the order they were first used
};

// The plain text files the language and sound tools write: Windows-1252, every line ended by
// CR LF, as the editor's other text files.
class ProjectSession;

namespace langfile {

// Replaces the file with the lines (written through a temporary file, so a failure leaves the
// old file). On failure returns false with *error naming the file and the system's reason.
bool writeLines(const QString &path, const QStringList &lines, QString *error);

// Removes the file when it exists. Returns false with *error set when it exists and cannot be
// removed.
bool removeIfExists(const QString &path, QString *error);

// Creates the folder (and its parents) when missing; false with *error set when that fails.
bool makeFolder(const QString &folder, QString *error);

// The default folder of a tool's output: `name` in the project folder, or in the editor folder
// while the project was never saved.
QString defaultFolder(const ProjectSession &session, const QString &name);

} // namespace langfile
} // namespace mb
