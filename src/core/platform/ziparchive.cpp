#include "platform/ziparchive.h"

#include "platform/ansicodec.h"

#include <QFile>

#include <zip.h>
#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <ctime>
#include <limits>

namespace mb {

namespace {

QString zipError(zip_error_t *error)
{
    return QString::fromLocal8Bit(zip_error_strerror(error));
}

QString archiveError(zip *z) { return zipError(zip_get_error(z)); }

// Deflate cannot expand data by more than about 1032:1, and stored data not at all: what a
// compressed size can honestly unpack to, for reserving memory.
qint64 plausibleSize(const zip_stat_t &st)
{
    if (!(st.valid & ZIP_STAT_COMP_SIZE))
        return 0;
    const quint64 bound = st.comp_size > quint64(1) << 40 ? quint64(1) << 50 : st.comp_size * 1040 + 1024;
    return qint64(std::min<quint64>(bound, st.size));
}

// An entry's data in memory, served to libzip as zip_source_buffer() serves it, that also tells
// how much of it libzip has read: libzip reads an entry's data only while it compresses it
// during zip_close(), so the count is how far the archive is.
struct CountedBuffer
{
    const char *data = nullptr;
    zip_uint64_t size = 0;
    zip_uint64_t offset = 0;
    time_t mtime = 0;
    zip_error_t error;
    std::function<void(zip_uint64_t)> read;
};

zip_int64_t countedBufferCallback(void *state, void *data, zip_uint64_t length, zip_source_cmd_t command)
{
    auto *b = static_cast<CountedBuffer *>(state);
    switch (command) {
    case ZIP_SOURCE_OPEN:
        b->offset = 0;
        return 0;
    case ZIP_SOURCE_READ: {
        const zip_uint64_t n = std::min(length, b->size - b->offset);
        if (n > 0)
            std::memcpy(data, b->data + b->offset, size_t(n));
        b->offset += n;
        if (b->read && n > 0)
            b->read(n);
        return zip_int64_t(n);
    }
    case ZIP_SOURCE_CLOSE:
        return 0;
    case ZIP_SOURCE_STAT: {
        auto *st = static_cast<zip_stat_t *>(data);
        if (length < sizeof(*st)) {
            zip_error_set(&b->error, ZIP_ER_INVAL, 0);
            return -1;
        }
        zip_stat_init(st);
        st->size = b->size;
        st->comp_size = b->size;
        st->comp_method = ZIP_CM_STORE;
        st->encryption_method = ZIP_EM_NONE;
        st->mtime = b->mtime;
        st->valid = ZIP_STAT_MTIME | ZIP_STAT_SIZE | ZIP_STAT_COMP_SIZE | ZIP_STAT_COMP_METHOD |
                    ZIP_STAT_ENCRYPTION_METHOD;
        return sizeof(*st);
    }
    case ZIP_SOURCE_SEEK: {
        const zip_int64_t to = zip_source_seek_compute_offset(b->offset, b->size, data, length, &b->error);
        if (to < 0)
            return -1;
        b->offset = zip_uint64_t(to);
        return 0;
    }
    case ZIP_SOURCE_TELL:
        return zip_int64_t(b->offset);
    case ZIP_SOURCE_ERROR:
        return zip_error_to_data(&b->error, data, length);
    case ZIP_SOURCE_FREE:
        zip_error_fini(&b->error);
        delete b;
        return 0;
    case ZIP_SOURCE_SUPPORTS:
        return zip_source_make_command_bitmap(ZIP_SOURCE_OPEN, ZIP_SOURCE_READ, ZIP_SOURCE_CLOSE, ZIP_SOURCE_STAT,
                                              ZIP_SOURCE_SEEK, ZIP_SOURCE_TELL, ZIP_SOURCE_ERROR, ZIP_SOURCE_FREE,
                                              ZIP_SOURCE_SUPPORTS, -1);
    default:
        zip_error_set(&b->error, ZIP_ER_OPNOTSUPP, 0);
        return -1;
    }
}

} // namespace

// ---- names ----

QByteArray zipnames::encode(const QString &name, bool *utf8)
{
    const QByteArray ansiBytes = ansi::encode(name);
    *utf8 = ansi::decode(ansiBytes) != name;
    return *utf8 ? name.toUtf8() : ansiBytes;
}

QString zipnames::decode(const QByteArray &raw, bool utf8)
{
    return utf8 ? QString::fromUtf8(raw) : ansi::decode(raw);
}

// ---- writer ----

ZipWriter::ZipWriter(const QString &path) : m_path(path)
{
    int code = 0;
    m_zip = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    if (!m_zip) {
        zip_error_t error;
        zip_error_init_with_code(&error, code);
        m_error = path + QStringLiteral(": ") + zipError(&error);
        zip_error_fini(&error);
    }
}

ZipWriter::ZipWriter()
{
    zip_error_t error;
    zip_error_init(&error);
    m_memory = zip_source_buffer_create(nullptr, 0, 0, &error);
    if (m_memory) {
        zip_source_keep(m_memory); // read back after zip_close()
        m_zip = zip_open_from_source(m_memory, ZIP_TRUNCATE, &error);
        if (!m_zip) {
            zip_source_free(m_memory);
            zip_source_free(m_memory);
            m_memory = nullptr;
        }
    }
    if (!m_zip)
        m_error = zipError(&error);
    zip_error_fini(&error);
}

ZipWriter::~ZipWriter()
{
    if (m_zip)
        zip_discard(m_zip);
    if (m_memory)
        zip_source_free(m_memory);
}

bool ZipWriter::add(const QString &entryName, zip_source *source, int level, const QByteArray &password)
{
    bool utf8 = false;
    const QByteArray name = zipnames::encode(entryName, &utf8);
    // Without a flag libzip stores the bytes as they are and never marks them as UTF-8.
    const zip_int64_t index = zip_file_add(m_zip, name.constData(), source,
                                           ZIP_FL_OVERWRITE | (utf8 ? ZIP_FL_ENC_UTF_8 : ZIP_FL_ENC_GUESS));
    if (index < 0) {
        zip_source_free(source);
        m_error = archiveError(m_zip);
        return false;
    }
    const zip_int32_t method = level <= 0 ? ZIP_CM_STORE : ZIP_CM_DEFLATE;
    if (zip_set_file_compression(m_zip, zip_uint64_t(index), method, zip_uint32_t(level <= 0 ? 0 : level)) < 0) {
        m_error = archiveError(m_zip);
        return false;
    }
    if (m_entryTime.isValid()
        && zip_file_set_mtime(m_zip, zip_uint64_t(index), time_t(m_entryTime.toSecsSinceEpoch()), 0) < 0) {
        m_error = archiveError(m_zip);
        return false;
    }
    if (!password.isEmpty()) {
        m_keep.push_back(password);
        if (zip_file_set_encryption(m_zip, zip_uint64_t(index), ZIP_EM_TRAD_PKWARE, m_keep.back().constData()) < 0) {
            m_error = archiveError(m_zip);
            return false;
        }
    }
    return true;
}

bool ZipWriter::addBytes(const QString &entryName, const QByteArray &data, int level, const QByteArray &password)
{
    if (!m_zip)
        return false;
    m_keep.push_back(data);
    const QByteArray &kept = m_keep.back();
    auto *buffer = new CountedBuffer;
    buffer->data = kept.constData();
    buffer->size = zip_uint64_t(kept.size());
    buffer->mtime = time(nullptr);
    zip_error_init(&buffer->error);
    buffer->read = [this](zip_uint64_t n) {
        m_memoryRead += qint64(n);
        if (m_progress)
            m_progress(std::min(m_memoryRead, m_memoryBytes), m_memoryBytes);
    };
    zip_source_t *source = zip_source_function(m_zip, countedBufferCallback, buffer);
    if (!source) {
        zip_error_fini(&buffer->error);
        delete buffer;
        m_error = archiveError(m_zip);
        return false;
    }
    m_memoryBytes += kept.size();
    return add(entryName, source, level, password);
}

bool ZipWriter::addFile(const QString &entryName, const QString &sourcePath, int level, const QByteArray &password)
{
    if (!m_zip)
        return false;
    zip_source_t *source = zip_source_file(m_zip, QFile::encodeName(sourcePath).constData(), 0, -1);
    if (!source) {
        m_error = sourcePath + QStringLiteral(": ") + archiveError(m_zip);
        return false;
    }
    return add(entryName, source, level, password);
}

bool ZipWriter::close()
{
    if (!m_zip)
        return false;
    if (zip_close(m_zip) < 0) {
        m_error = (m_path.isEmpty() ? QString() : m_path + QStringLiteral(": ")) + archiveError(m_zip);
        zip_discard(m_zip);
        m_zip = nullptr;
        return false;
    }
    m_zip = nullptr;
    m_keep.clear();
    if (!m_memory)
        return true;
    // libzip writes no archive without entries; the 22 bytes of an empty one stand for it.
    bool ok = true;
    zip_stat_t st;
    zip_stat_init(&st);
    if (zip_source_stat(m_memory, &st) < 0 || !(st.valid & ZIP_STAT_SIZE) || zip_source_open(m_memory) < 0) {
        ok = false;
    } else {
        m_bytes.resize(qsizetype(st.size));
        const zip_int64_t got = zip_source_read(m_memory, m_bytes.data(), st.size);
        ok = got == zip_int64_t(st.size);
        zip_source_close(m_memory);
    }
    if (!ok)
        m_error = zipError(zip_source_error(m_memory));
    else if (m_bytes.isEmpty())
        m_bytes = QByteArray("PK\x05\x06", 4) + QByteArray(18, '\0');
    zip_source_free(m_memory);
    m_memory = nullptr;
    return ok;
}

// ---- reader ----

ZipReader::ZipReader(const QString &path)
{
    int code = 0;
    m_zip = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &code);
    if (!m_zip) {
        zip_error_t error;
        zip_error_init_with_code(&error, code);
        fail(Error::NotArchive, zipError(&error));
        zip_error_fini(&error);
        return;
    }
    loadNames();
}

ZipReader::ZipReader(const QByteArray &data) : m_data(data)
{
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t *source = zip_source_buffer_create(m_data.constData(), zip_uint64_t(m_data.size()), 0, &error);
    if (source) {
        m_zip = zip_open_from_source(source, ZIP_RDONLY, &error);
        if (!m_zip)
            zip_source_free(source);
    }
    if (!m_zip)
        fail(Error::NotArchive, zipError(&error));
    zip_error_fini(&error);
    if (m_zip)
        loadNames();
}

ZipReader::~ZipReader()
{
    if (m_zip)
        zip_discard(m_zip);
}

void ZipReader::loadNames()
{
    const zip_int64_t n = zip_get_num_entries(m_zip, 0);
    m_names.reserve(qsizetype(std::max<zip_int64_t>(0, std::min<zip_int64_t>(n, 1 << 20))));
    for (zip_int64_t i = 0; i < n; ++i) {
        // The raw bytes come back unchanged under the strict rule only when the entry is marked
        // as UTF-8 (or is plain ASCII, where both readings agree).
        const char *raw = zip_get_name(m_zip, zip_uint64_t(i), ZIP_FL_ENC_RAW);
        const char *strict = zip_get_name(m_zip, zip_uint64_t(i), ZIP_FL_ENC_STRICT);
        const QByteArray bytes(raw ? raw : "");
        const bool utf8 = raw && strict && std::strcmp(raw, strict) == 0;
        m_names << zipnames::decode(bytes, utf8);
    }
}

bool ZipReader::fail(Error kind, const QString &text)
{
    m_errorKind = kind;
    m_error = text;
    return false;
}

void ZipReader::setPassword(const QByteArray &password)
{
    if (m_zip)
        zip_set_default_password(m_zip, password.isEmpty() ? nullptr : password.constData());
}

int ZipReader::indexOf(const QString &entryName) const { return int(m_names.indexOf(entryName)); }

qint64 ZipReader::declaredSize(int index) const
{
    zip_stat_t st;
    zip_stat_init(&st);
    if (!m_zip || index < 0 || index >= count() || zip_stat_index(m_zip, zip_uint64_t(index), 0, &st) < 0 ||
        !(st.valid & ZIP_STAT_SIZE))
        return -1;
    return st.size > quint64(std::numeric_limits<qint64>::max()) ? std::numeric_limits<qint64>::max() : qint64(st.size);
}

int ZipReader::compressionMethod(const QString &entryName) const
{
    const int index = indexOf(entryName);
    zip_stat_t st;
    zip_stat_init(&st);
    if (!m_zip || index < 0 || zip_stat_index(m_zip, zip_uint64_t(index), 0, &st) < 0)
        return -1;
    return st.comp_method;
}

bool ZipReader::isEncrypted(const QString &entryName) const
{
    const int index = indexOf(entryName);
    zip_stat_t st;
    zip_stat_init(&st);
    if (!m_zip || index < 0 || zip_stat_index(m_zip, zip_uint64_t(index), 0, &st) < 0)
        return false;
    return st.encryption_method != ZIP_EM_NONE;
}

std::optional<QByteArray> ZipReader::read(const QString &entryName, qint64 maxSize)
{
    const int index = indexOf(entryName);
    if (m_zip && index < 0) {
        fail(Error::NoEntry, entryName + QStringLiteral(": no such entry"));
        return std::nullopt;
    }
    return read(index, maxSize);
}

std::optional<QByteArray> ZipReader::read(int index, qint64 maxSize)
{
    QByteArray data;
    bool reserved = false;
    const bool ok = readTo(index, [&](const char *bytes, qint64 size) {
        if (!reserved) {
            zip_stat_t st;
            zip_stat_init(&st);
            if (zip_stat_index(m_zip, zip_uint64_t(index), 0, &st) == 0)
                data.reserve(qsizetype(plausibleSize(st)));
            reserved = true;
        }
        data.append(bytes, qsizetype(size));
        return true;
    }, maxSize);
    if (!ok)
        return std::nullopt;
    return data;
}

bool ZipReader::readTo(int index, const Sink &sink, qint64 maxSize)
{
    if (!m_zip)
        return false;
    if (index < 0 || index >= count())
        return fail(Error::NoEntry, QStringLiteral("entry %1: no such entry").arg(index));
    const QString name = m_names[index];
    zip_stat_t st;
    zip_stat_init(&st);
    if (zip_stat_index(m_zip, zip_uint64_t(index), 0, &st) < 0 || !(st.valid & ZIP_STAT_SIZE))
        return fail(Error::Damaged, name + QStringLiteral(": ") + archiveError(m_zip));
    if (st.size > quint64(maxSize))
        return fail(Error::TooLarge, name + QStringLiteral(": declares %1 of data, over the limit of %2")
                                            .arg(byteSizeText(qint64(std::min<quint64>(st.size, quint64(1) << 62))),
                                                 byteSizeText(maxSize)));
    // Deflated data is inflated here rather than by libzip, which takes a stream that stops
    // without its end marker for a whole one; the other methods go through libzip.
    const bool inflateHere = st.comp_method == ZIP_CM_DEFLATE && (st.valid & ZIP_STAT_CRC);
    zip_file_t *file = zip_fopen_index(m_zip, zip_uint64_t(index), inflateHere ? ZIP_FL_COMPRESSED : 0);
    if (!file) {
        zip_error_t *e = zip_get_error(m_zip);
        const int code = zip_error_code_zip(e);
        const Error kind = code == ZIP_ER_NOPASSWD || code == ZIP_ER_WRONGPASSWD ? Error::Password : Error::Damaged;
        return fail(kind, name + QStringLiteral(": ") + zipError(e));
    }
    const qint64 declared = qint64(st.size);
    qint64 got = 0;
    bool ok = true;
    auto damaged = [&](const QString &why) {
        ok = fail(Error::Damaged, name + QStringLiteral(": the data is damaged (") + why + u')');
    };
    auto readFailed = [&] {
        zip_error_t *e = zip_file_get_error(file);
        if (zip_error_code_zip(e) == ZIP_ER_WRONGPASSWD)
            ok = fail(Error::Password, name + QStringLiteral(": ") + zipError(e));
        else
            damaged(zipError(e));
    };
    // Hands unpacked bytes on; nothing past the declared size is ever accepted.
    auto deliver = [&](const char *data, qint64 n) {
        if (got + n > declared) {
            damaged(QStringLiteral("it unpacks to more than the declared %1 bytes").arg(declared));
            return false;
        }
        got += n;
        if (!sink(data, n)) {
            ok = fail(Error::Output, name + QStringLiteral(": the data cannot be written"));
            return false;
        }
        return true;
    };
    if (inflateHere) {
        z_stream z{};
        if (inflateInit2(&z, -MAX_WBITS) != Z_OK) {
            zip_fclose(file);
            return fail(Error::Output, name + QStringLiteral(": out of memory"));
        }
        char in[1 << 16], out[1 << 16];
        uLong crc = crc32(0L, Z_NULL, 0);
        bool ended = false, inputEnded = false;
        while (ok && !ended) {
            if (z.avail_in == 0 && !inputEnded) {
                const zip_int64_t n = zip_fread(file, in, sizeof in);
                if (n < 0) {
                    readFailed();
                    break;
                }
                inputEnded = n == 0;
                z.next_in = reinterpret_cast<Bytef *>(in);
                z.avail_in = uInt(n);
            }
            z.next_out = reinterpret_cast<Bytef *>(out);
            z.avail_out = sizeof out;
            const int rc = inflate(&z, Z_NO_FLUSH);
            const qint64 produced = qint64(sizeof out - z.avail_out);
            if (produced > 0) {
                crc = crc32(crc, reinterpret_cast<const Bytef *>(out), uInt(produced));
                if (!deliver(out, produced))
                    break;
            }
            if (rc == Z_STREAM_END) {
                ended = true;
            } else if (rc == Z_BUF_ERROR && inputEnded && z.avail_in == 0) {
                damaged(QStringLiteral("the compressed data ends early"));
            } else if (rc != Z_OK && rc != Z_BUF_ERROR) {
                damaged(z.msg ? QString::fromLatin1(z.msg) : QStringLiteral("invalid compressed data"));
            }
        }
        inflateEnd(&z);
        if (ok && crc != st.crc)
            damaged(QStringLiteral("CRC error"));
    } else {
        char buffer[1 << 16];
        for (;;) {
            // Ask for at most one byte past the declared end: an honest entry answers with its
            // end (which is when libzip checks the CRC), a damaged one shows itself without
            // unpacking further.
            const qint64 want = std::min<qint64>(qint64(sizeof buffer), declared - got + 1);
            const zip_int64_t n = zip_fread(file, buffer, zip_uint64_t(want));
            if (n < 0) {
                readFailed();
                break;
            }
            if (n == 0 || !deliver(buffer, n))
                break;
        }
    }
    zip_fclose(file);
    if (ok && got != declared)
        damaged(QStringLiteral("%1 of the declared %2 bytes").arg(got).arg(declared));
    return ok;
}

QString byteSizeText(qint64 bytes)
{
    static const char *const units[] = {"KiB", "MiB", "GiB", "TiB"};
    if (bytes < 1024)
        return QStringLiteral("%1 bytes").arg(bytes);
    double value = double(bytes);
    int unit = -1;
    while (value >= 1024.0 && unit < 3) {
        value /= 1024.0;
        ++unit;
    }
    return QString::number(value, 'g', value < 10 ? 2 : 4) + u' ' + QLatin1String(units[unit]);
}

std::optional<ZipReader::EntryStat> ZipReader::stat(const QString &entryName) const
{
    const int index = indexOf(entryName);
    zip_stat_t st;
    zip_stat_init(&st);
    if (!m_zip || index < 0 || zip_stat_index(m_zip, zip_uint64_t(index), 0, &st) < 0)
        return std::nullopt;
    EntryStat out;
    out.size = (st.valid & ZIP_STAT_SIZE) ? qint64(st.size) : -1;
    if (st.valid & ZIP_STAT_MTIME)
        out.modified = QDateTime::fromSecsSinceEpoch(qint64(st.mtime));
    out.encrypted = (st.valid & ZIP_STAT_ENCRYPTION_METHOD) && st.encryption_method != ZIP_EM_NONE;
    return out;
}

} // namespace mb
