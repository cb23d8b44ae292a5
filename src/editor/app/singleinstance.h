#pragma once

#include <QLockFile>
#include <QObject>

#include <memory>

class QLocalServer;

namespace mb {

// One running editor per user. The first editor holds a lock file and listens on a local socket
// beside it (the user's runtime folder, else the temporary folder with the user's name in the
// file names). A later start hands its project path to that editor over the socket and ends; the
// running editor gets projectRequested().
//
// After a crash both the lock file and the socket file are left behind: the lock names a process
// that is gone, so it is taken over, and the owner of the lock removes the dead socket before it
// listens.
class SingleInstance : public QObject
{
    Q_OBJECT
public:
    // `folder`: where the lock and the socket live (empty: the user's runtime folder).
    explicit SingleInstance(const QString &folder = QString(), const QString &name = QStringLiteral("mossbramble"),
                            QObject *parent = nullptr);
    ~SingleInstance() override;

    // True when this process is the running editor (it holds the lock and listens).
    bool acquired() const { return m_acquired; }
    QString lockPath() const { return m_lockPath; }
    QString socketPath() const { return m_socketPath; }

    // For a later start: sends `projectPath` (may be empty: just come to the front) to the running
    // editor. Waits up to `timeoutMs` for an editor that holds the lock but does not listen yet.
    // False when no editor took the message.
    bool handOver(const QString &projectPath, int timeoutMs = 5000) const;

signals:
    // Another start asked for this project (empty: no project, show the window).
    void projectRequested(const QString &projectPath);

private:
    void acceptConnections();

    QString m_lockPath;
    QString m_socketPath;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer *m_server = nullptr;
    bool m_acquired = false;
};

// The path a later start hands over: paths with a folder are made absolute against the current
// folder of the starting process (the running editor has another one); a bare file name stays
// bare, since the editor looks for it in its editor folder.
QString handOverPath(const QString &projectPath);

} // namespace mb
