#pragma once
// Shared pieces of the fuzz targets: the input as bytes, a private scratch folder, and the
// check that fails a run.

#include <QByteArray>
#include <QDir>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>

namespace mb::fuzz {

inline QByteArray bytes(const uint8_t *data, size_t size)
{
    return QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
}

// One scratch folder per process, emptied by each run that writes files.
inline const QString &scratchFolder()
{
    static QTemporaryDir dir;
    static const QString path = dir.path();
    return path;
}

inline void emptyFolder(const QString &path)
{
    QDir dir(path);
    for (const QString &entry : dir.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System))
        if (!QFile::remove(dir.filePath(entry)))
            QDir(dir.filePath(entry)).removeRecursively();
}

// A broken promise of the code under test: stop here, so the fuzzer keeps the input.
inline void check(bool condition)
{
    if (!condition)
        __builtin_trap();
}

} // namespace mb::fuzz
