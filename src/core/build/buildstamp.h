#pragma once

#include <QDateTime>
#include <QString>

#include <optional>

namespace mb {

// The modification time that the entries of a game folder's archives carry, so that the same
// project and media make the same bytes: the time of each entry's source file, or, when the
// environment sets SOURCE_DATE_EPOCH (seconds since 1970-01-01 UTC, the convention of
// reproducible builds), that one time for every entry.
//
// Zip archives keep times in steps of two seconds; sameStamp() compares with that in mind.
class BuildStamp
{
public:
    // The stamp the environment asks for. A SOURCE_DATE_EPOCH that is set but not a whole number
    // of seconds from 0 on gives nullopt and sets *error to a message naming the variable.
    static std::optional<BuildStamp> fromEnvironment(QString *error);

    BuildStamp() = default;
    explicit BuildStamp(QDateTime fixed) : m_fixed(std::move(fixed)) {}

    // True when every entry carries the one fixed time.
    bool isFixed() const { return m_fixed.isValid(); }
    const QDateTime &fixedTime() const { return m_fixed; }

    // The stamp for an entry made from the file: the fixed time, else the file's modification
    // time; invalid when the file cannot be looked at (the archive writer then stamps the
    // entry's own way).
    QDateTime forFile(const QString &sourcePath) const;

    // Whether an archive entry's time `entry` (as read back, in whole seconds) is the stamp
    // `stamp` written into it.
    static bool sameStamp(const QDateTime &entry, const QDateTime &stamp);

private:
    QDateTime m_fixed;
};

} // namespace mb
