#include "build/buildstamp.h"

#include <QFileInfo>

#include <cstdlib>

namespace mb {

std::optional<BuildStamp> BuildStamp::fromEnvironment(QString *error)
{
    const QByteArray value = qgetenv("SOURCE_DATE_EPOCH");
    if (value.isEmpty())
        return BuildStamp();
    bool ok = false;
    const qlonglong seconds = value.toLongLong(&ok);
    if (!ok || seconds < 0 || value.trimmed() != value) {
        if (error)
            *error = QStringLiteral("SOURCE_DATE_EPOCH is \"%1\", which is not a number of seconds since "
                                    "1970-01-01: set it to such a number or unset it.")
                         .arg(QString::fromLocal8Bit(value));
        return std::nullopt;
    }
    return BuildStamp(QDateTime::fromSecsSinceEpoch(seconds, Qt::UTC));
}

QDateTime BuildStamp::forFile(const QString &sourcePath) const
{
    if (isFixed())
        return m_fixed;
    const QFileInfo info(sourcePath);
    if (sourcePath.isEmpty() || !info.exists())
        return {};
    return info.lastModified();
}

bool BuildStamp::sameStamp(const QDateTime &entry, const QDateTime &stamp)
{
    if (!entry.isValid() || !stamp.isValid())
        return false;
    // Written rounded down to even seconds (in local time, whose offset is whole minutes).
    const qint64 written = stamp.toSecsSinceEpoch();
    return entry.toSecsSinceEpoch() == written - (written % 2 + 2) % 2;
}

} // namespace mb
