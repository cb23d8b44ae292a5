#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <list>
#include <optional>

struct zip;

namespace mb {

// Writes a zip archive with libzip. Entries are deflated at the given level (0 stores them) and,
// with a password, encrypted with the traditional PKWARE method that every unzip tool reads.
// Nothing is written to disk until close(); an archive that is never closed is discarded.
class ZipWriter
{
public:
    // Creates the archive, replacing a file of that name when close() succeeds.
    explicit ZipWriter(const QString &path);
    ~ZipWriter();
    ZipWriter(const ZipWriter &) = delete;
    ZipWriter &operator=(const ZipWriter &) = delete;

    bool isOpen() const { return m_zip != nullptr; }
    QString errorString() const { return m_error; }

    // Adds an entry from memory; the bytes are kept until close().
    bool addBytes(const QString &entryName, const QByteArray &data, int level,
                  const QByteArray &password = {});
    // Adds an entry whose data is read from the file at close().
    bool addFile(const QString &entryName, const QString &sourcePath, int level,
                 const QByteArray &password = {});
    // Writes the archive. Returns false with errorString() set on any failure.
    bool close();

private:
    bool finishEntry(long long index, int level, const QByteArray &password);
    zip *m_zip = nullptr;
    QString m_path;
    QString m_error;
    std::list<QByteArray> m_keep;
};

// Reads a zip archive with libzip, from a file or from memory. Sizes are checked against a
// limit before anything is allocated.
class ZipReader
{
public:
    explicit ZipReader(const QString &path);
    explicit ZipReader(const QByteArray &data);
    ~ZipReader();
    ZipReader(const ZipReader &) = delete;
    ZipReader &operator=(const ZipReader &) = delete;

    bool isOpen() const { return m_zip != nullptr; }
    QString errorString() const { return m_error; }
    void setPassword(const QByteArray &password);

    QStringList entryNames() const;
    // The whole entry, or nullopt with errorString() set (missing, damaged, or larger than
    // maxSize bytes).
    std::optional<QByteArray> read(const QString &entryName, qint64 maxSize = qint64(1) << 31);
    // Compression method (0 stored, 8 deflate) and whether the entry is encrypted; -1 if missing.
    int compressionMethod(const QString &entryName) const;
    bool isEncrypted(const QString &entryName) const;

private:
    zip *m_zip = nullptr;
    QByteArray m_data; // backing store when read from memory
    QString m_error;
};

} // namespace mb
