#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace mb {

// Replacing a file so that no crash and no power cut can leave it empty or torn: the new bytes
// go to a temporary file beside the target, which is flushed to the disk (fsync), renamed over
// the target, and then the folder is flushed too, so the rename itself is durable. Until the
// rename the old file stays as it was.
//
// The temporary file is named "<target file name>.saving-XXXXXX" and is locked (flock) by its
// writer for as long as it exists; a temporary file that nobody holds locked was left by a
// writer that died, and removeStale() deletes it. A link as target is followed: the file it
// points to is replaced.
namespace atomicfile {

struct Result
{
    bool ok = false;
    QString error; // names the file and the system's reason
};

Result write(const QString &target, const QByteArray &bytes);

// The pattern of the temporary files of writes to `target` ("demo.adv.saving-*").
QString temporaryPattern(const QString &target);

// Removes the temporary files of writes to `target` whose writers are gone; returns their paths.
// A file another process is still writing is left alone.
QStringList removeStale(const QString &target);

} // namespace atomicfile
} // namespace mb
