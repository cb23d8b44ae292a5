#include "platform/ziparchive.h"

#include <QFile>

#include <zip.h>

namespace mb {

namespace {

QString zipError(zip_error_t *error)
{
    return QString::fromLocal8Bit(zip_error_strerror(error));
}

QString archiveError(zip *z) { return zipError(zip_get_error(z)); }

} // namespace

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

ZipWriter::~ZipWriter()
{
    if (m_zip)
        zip_discard(m_zip);
}

bool ZipWriter::finishEntry(long long index, int level, const QByteArray &password)
{
    if (index < 0) {
        m_error = archiveError(m_zip);
        return false;
    }
    const zip_int32_t method = level <= 0 ? ZIP_CM_STORE : ZIP_CM_DEFLATE;
    if (zip_set_file_compression(m_zip, zip_uint64_t(index), method, zip_uint32_t(level <= 0 ? 0 : level)) < 0) {
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
    zip_source_t *source = zip_source_buffer(m_zip, kept.constData(), zip_uint64_t(kept.size()), 0);
    if (!source) {
        m_error = archiveError(m_zip);
        return false;
    }
    const zip_int64_t index = zip_file_add(m_zip, entryName.toUtf8().constData(), source,
                                           ZIP_FL_OVERWRITE | ZIP_FL_ENC_UTF_8);
    if (index < 0)
        zip_source_free(source);
    return finishEntry(index, level, password);
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
    const zip_int64_t index = zip_file_add(m_zip, entryName.toUtf8().constData(), source,
                                           ZIP_FL_OVERWRITE | ZIP_FL_ENC_UTF_8);
    if (index < 0)
        zip_source_free(source);
    return finishEntry(index, level, password);
}

bool ZipWriter::close()
{
    if (!m_zip)
        return false;
    if (zip_close(m_zip) < 0) {
        m_error = m_path + QStringLiteral(": ") + archiveError(m_zip);
        zip_discard(m_zip);
        m_zip = nullptr;
        return false;
    }
    m_zip = nullptr;
    m_keep.clear();
    return true;
}

ZipReader::ZipReader(const QString &path)
{
    int code = 0;
    m_zip = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &code);
    if (!m_zip) {
        zip_error_t error;
        zip_error_init_with_code(&error, code);
        m_error = zipError(&error);
        zip_error_fini(&error);
    }
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
        m_error = zipError(&error);
    zip_error_fini(&error);
}

ZipReader::~ZipReader()
{
    if (m_zip)
        zip_discard(m_zip);
}

void ZipReader::setPassword(const QByteArray &password)
{
    if (m_zip)
        zip_set_default_password(m_zip, password.isEmpty() ? nullptr : password.constData());
}

QStringList ZipReader::entryNames() const
{
    QStringList names;
    if (!m_zip)
        return names;
    const zip_int64_t n = zip_get_num_entries(m_zip, 0);
    for (zip_int64_t i = 0; i < n; ++i)
        if (const char *name = zip_get_name(m_zip, zip_uint64_t(i), ZIP_FL_ENC_GUESS))
            names << QString::fromUtf8(name);
    return names;
}

std::optional<QByteArray> ZipReader::read(const QString &entryName, qint64 maxSize)
{
    if (!m_zip)
        return std::nullopt;
    zip_stat_t st;
    zip_stat_init(&st);
    if (zip_stat(m_zip, entryName.toUtf8().constData(), ZIP_FL_ENC_GUESS, &st) < 0) {
        m_error = archiveError(m_zip);
        return std::nullopt;
    }
    if (!(st.valid & ZIP_STAT_SIZE) || st.size > zip_uint64_t(maxSize)) {
        m_error = QStringLiteral("entry too large");
        return std::nullopt;
    }
    zip_file_t *file = zip_fopen_index(m_zip, st.index, 0);
    if (!file) {
        m_error = archiveError(m_zip);
        return std::nullopt;
    }
    QByteArray data(qsizetype(st.size), Qt::Uninitialized);
    qint64 got = 0;
    while (got < qint64(st.size)) {
        const zip_int64_t n = zip_fread(file, data.data() + got, zip_uint64_t(qint64(st.size) - got));
        if (n <= 0)
            break;
        got += n;
    }
    bool ok = got == qint64(st.size);
    if (!ok)
        m_error = zipError(zip_file_get_error(file));
    // A wrong CRC shows only when the whole entry was read; probe for it.
    char extra;
    if (ok && zip_fread(file, &extra, 1) < 0) {
        ok = false;
        m_error = zipError(zip_file_get_error(file));
    }
    zip_fclose(file);
    if (!ok)
        return std::nullopt;
    return data;
}

int ZipReader::compressionMethod(const QString &entryName) const
{
    zip_stat_t st;
    zip_stat_init(&st);
    if (!m_zip || zip_stat(m_zip, entryName.toUtf8().constData(), ZIP_FL_ENC_GUESS, &st) < 0)
        return -1;
    return st.comp_method;
}

bool ZipReader::isEncrypted(const QString &entryName) const
{
    zip_stat_t st;
    zip_stat_init(&st);
    if (!m_zip || zip_stat(m_zip, entryName.toUtf8().constData(), ZIP_FL_ENC_GUESS, &st) < 0)
        return false;
    return st.encryption_method != ZIP_EM_NONE;
}

} // namespace mb
