#pragma once

#include "project/projectfile.h"

#include <QDateTime>
#include <QString>

namespace mb {

class MessageCatalog;
class ProjectSession;

// Unsaved work kept while the editor runs: a copy of the modified project in the project file
// format, written to recovery/ in the editor folder and never over the project itself. A clean
// end, a save, New and Open remove it, so a copy found at start-up means the last run did not end
// properly. Only one editor runs per user, so one copy is enough.
class Recovery
{
public:
    explicit Recovery(QString editorFolder) : m_folder(std::move(editorFolder)) {}

    // The copy (recovery/recovery.adv) and its note of which project it belongs to.
    QString filePath() const;
    QString notePath() const;

    // Writes the copy of the session's project as it is now; the session is not changed (its
    // name, folder and modified state stay) and no backup is made. False (with errorString()) on
    // failure.
    bool write(const ProjectSession &session, const QDateTime &now = QDateTime::currentDateTime());
    QString errorString() const { return m_error; }

    struct Found
    {
        bool exists = false;
        QString projectName; // the name of the project the copy was taken from
        QString projectPath; // its .adv file; empty for a project never saved
        QDateTime time;      // when the copy was written
    };
    Found find() const;

    // Opens the copy in the session (a reset): the project gets back its own name and folder and
    // counts as modified, so that a save writes it where it belongs. On failure the session is
    // unchanged. The copy stays until remove().
    ProjectFileResult restore(ProjectSession &session) const;
    void remove() const;

private:
    QString m_folder;
    QString m_error;
};

} // namespace mb
