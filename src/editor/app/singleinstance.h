#pragma once

#include <QLockFile>

#include <memory>

namespace mb {

// One running editor per user: a lock file in the user's runtime folder (the temporary folder
// when there is none). The lock of an editor that crashed is taken over, since its process is
// gone. The lock is held while the object lives.
class SingleInstance
{
public:
    explicit SingleInstance(const QString &name = QStringLiteral("mossbramble"));
    // False when another editor holds the lock.
    bool acquired() const { return m_acquired; }
    QString lockPath() const { return m_path; }

private:
    QString m_path;
    std::unique_ptr<QLockFile> m_lock;
    bool m_acquired = false;
};

} // namespace mb
