#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <functional>
#include <list>
#include <optional>
#include <vector>

struct zip;
struct zip_source;

namespace mb {

// Entry names in every archive the editor writes or reads follow one rule: a name is stored as
// its Windows-1252 bytes without the UTF-8 flag, which is what the game runtime and the archives
// made on Windows use; only a name that has no Windows-1252 form (a character outside that code
// page) is stored as UTF-8 with the flag set. Reading decodes a flagged name as UTF-8 and any
// other name as Windows-1252, whatever made the archive.
namespace zipnames {
// The stored bytes of a name and whether the UTF-8 flag goes with them.
QByteArray encode(const QString &name, bool *utf8);
QString decode(const QByteArray &raw, bool utf8);
} // namespace zipnames

// Writes a zip archive with libzip. Entries are deflated at the given level (0 stores them) and,
// with a password, encrypted with the traditional PKWARE method that every unzip tool reads.
// Nothing is written to disk until close(); an archive that is never closed is discarded.
class ZipWriter
{
public:
    // Creates the archive at `path`, replacing a file of that name when close() succeeds.
    explicit ZipWriter(const QString &path);
    // Builds the archive in memory; bytes() holds it after close().
    ZipWriter();
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
    // Called during close() as libzip reads the entries added from memory to compress them:
    // `read` of `total` bytes, where total is the size of all those entries. Entries from files
    // are not counted.
    void setProgress(std::function<void(qint64 read, qint64 total)> progress) { m_progress = std::move(progress); }
    // Writes the archive. Returns false with errorString() set on any failure.
    bool close();
    // The archive built in memory, after a successful close().
    const QByteArray &bytes() const { return m_bytes; }
    // The modification time that the entries added from now on carry. Without one (an invalid
    // time) an entry from a file carries the file's time and an entry from memory the current
    // time. The archive keeps it in local time, to two seconds.
    void setEntryTime(const QDateTime &time) { m_entryTime = time; }

private:
    bool add(const QString &entryName, zip_source *source, int level, const QByteArray &password);
    zip *m_zip = nullptr;
    zip_source *m_memory = nullptr; // the target of an in-memory archive
    QDateTime m_entryTime;
    std::function<void(qint64, qint64)> m_progress;
    qint64 m_memoryBytes = 0; // of the entries added from memory
    qint64 m_memoryRead = 0;  // of those, read by libzip so far
    QString m_path;
    QString m_error;
    QByteArray m_bytes;
    std::list<QByteArray> m_keep;
};

// Reads a zip archive with libzip, from a file or from memory. Archives come from anywhere, so
// nothing they declare is trusted:
// - an entry whose declared size is over the caller's limit (MaxEntrySize unless given) is
//   refused before anything is allocated or written;
// - every entry is read to its end, so that its CRC and its exact size are checked, and reading
//   stops as soon as the data runs past the declared size (a damaged or crafted deflate stream
//   can inflate without end); a mismatch fails the read and nothing of the entry is returned;
// - memory grows with the data actually unpacked, never with what a header claims.
class ZipReader
{
public:
    // No media file of a 2D adventure comes near this; larger entries are refused.
    static constexpr qint64 MaxEntrySize = qint64(1) << 30;

    enum class Error {
        None,
        NotArchive, // the file or the bytes are no zip archive
        NoEntry,    // no entry of that name or index
        TooLarge,   // the declared size is over the limit
        Damaged,    // CRC, size or compressed data do not agree
        Password,   // encrypted and the password is missing or wrong
        Output,     // the sink refused the data (a full disk)
    };

    explicit ZipReader(const QString &path);
    explicit ZipReader(const QByteArray &data);
    ~ZipReader();
    ZipReader(const ZipReader &) = delete;
    ZipReader &operator=(const ZipReader &) = delete;

    bool isOpen() const { return m_zip != nullptr; }
    Error error() const { return m_errorKind; }
    // What went wrong last, naming the entry where there is one ("gfx.dat: CRC error").
    QString errorString() const { return m_error; }
    void setPassword(const QByteArray &password);

    // Entry names in archive order, decoded as zipnames::decode() says.
    QStringList entryNames() const { return m_names; }
    int count() const { return int(m_names.size()); }
    QString name(int index) const { return m_names.value(index); }
    // The index of the first entry of that exact name, or -1.
    int indexOf(const QString &entryName) const;
    // The size the archive declares for the entry's unpacked data (-1 for a bad index).
    qint64 declaredSize(int index) const;
    // Compression method (0 stored, 8 deflate) and whether the entry is encrypted; -1 and false
    // when there is no such entry.
    int compressionMethod(const QString &entryName) const;
    bool isEncrypted(const QString &entryName) const;
    // What the archive says about an entry without reading it; nullopt when there is none.
    struct EntryStat
    {
        qint64 size = 0; // unpacked
        QDateTime modified;
        bool encrypted = false;
    };
    std::optional<EntryStat> stat(const QString &entryName) const;

    // The whole entry, checked as described above, or nullopt with error() and errorString()
    // set.
    std::optional<QByteArray> read(const QString &entryName, qint64 maxSize = MaxEntrySize);
    std::optional<QByteArray> read(int index, qint64 maxSize = MaxEntrySize);
    // Streams the entry's data to `sink` in pieces. The CRC is known only at the end, so a sink
    // sees data of a damaged entry before the read fails: a caller that writes files must drop
    // what it wrote when this returns false. A sink that returns false stops the read (Output).
    using Sink = std::function<bool(const char *data, qint64 size)>;
    bool readTo(int index, const Sink &sink, qint64 maxSize = MaxEntrySize);

private:
    void loadNames();
    bool fail(Error kind, const QString &text);
    zip *m_zip = nullptr;
    QByteArray m_data; // backing store when read from memory
    QStringList m_names;
    Error m_errorKind = Error::None;
    QString m_error;
};

// "1.5 GiB", "320 MiB", "12 KiB", "10 bytes": sizes in messages about archives.
QString byteSizeText(qint64 bytes);

} // namespace mb
