#pragma once
// Lets a test see file permissions as an author does when the suite runs as root (as CI does):
// root writes into read-only folders, so a test of "the folder is not writable" would prove
// nothing there.
//
//     QTemporaryDir dir;
//     testing::WithoutRoot user({dir.path()});
//     if (!user.ok())
//         QSKIP(qPrintable(user.reason()));
//     ... the part of the test that must meet the permissions ...
//
// Run as root, the constructor hands the given folders (recursively) to the user "nobody" and
// takes that user's effective user and group ids; the destructor takes root's back, so the
// temporary folders can be removed as usual. Run as anyone else, it changes nothing. The ids
// are the whole process's (every thread of it) while the object lives.

#include <QByteArray>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QString>
#include <QStringList>

#include <cerrno>
#include <cstring>
#include <grp.h>
#include <pwd.h>
#include <sys/types.h>
#include <unistd.h>

#include <algorithm>
#include <vector>

namespace mb::testing {

class WithoutRoot
{
public:
    explicit WithoutRoot(const QStringList &folders)
    {
        if (geteuid() != 0) {
            m_ok = true;
            return;
        }
        uid_t uid = 65534;
        gid_t gid = 65534;
        if (const passwd *pw = getpwnam("nobody")) {
            uid = pw->pw_uid;
            gid = pw->pw_gid;
        }
        for (const QString &folder : folders) {
            if (!give(folder, uid, gid))
                return;
            QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                            QDirIterator::Subdirectories);
            while (it.hasNext())
                if (!give(it.next(), uid, gid))
                    return;
        }
        m_groups.resize(std::max(getgroups(0, nullptr), 0));
        if (getgroups(int(m_groups.size()), m_groups.data()) < 0)
            m_groups.clear();
        m_gid = getegid();
        m_switched = true;
        // Supplementary groups (root's own group among them) would still grant access.
        if (setgroups(0, nullptr) != 0 || setegid(gid) != 0 || seteuid(uid) != 0) {
            m_reason = QStringLiteral("running as root, and the system does not let the test act as the user "
                                      "\"nobody\" (") + QString::fromLocal8Bit(std::strerror(errno)) + u')';
            restore();
            return;
        }
        for (const QString &folder : folders)
            if (access(QFile::encodeName(folder).constData(), R_OK | W_OK | X_OK) != 0) {
                m_reason = QStringLiteral("running as root, and the user \"nobody\" cannot reach ") + folder +
                           QStringLiteral(" (a temporary folder inside a folder only root may enter?)");
                restore();
                return;
            }
        m_ok = true;
    }
    ~WithoutRoot() { restore(); }
    WithoutRoot(const WithoutRoot &) = delete;
    WithoutRoot &operator=(const WithoutRoot &) = delete;

    // False when the test cannot meet the permissions as an author would; reason() says why.
    bool ok() const { return m_ok; }
    QString reason() const { return m_reason; }

private:
    bool give(const QString &path, uid_t uid, gid_t gid)
    {
        if (lchown(QFile::encodeName(path).constData(), uid, gid) == 0)
            return true;
        m_reason = QStringLiteral("running as root, and ") + path +
                   QStringLiteral(" cannot be handed to the user \"nobody\" (") +
                   QString::fromLocal8Bit(std::strerror(errno)) + u')';
        return false;
    }
    void restore()
    {
        if (!m_switched)
            return;
        if (seteuid(0) == 0 && setegid(m_gid) == 0)
            setgroups(m_groups.size(), m_groups.data());
        m_switched = false;
        m_ok = false;
    }

    std::vector<gid_t> m_groups;
    gid_t m_gid = 0;
    bool m_switched = false;
    bool m_ok = false;
    QString m_reason;
};

} // namespace mb::testing
