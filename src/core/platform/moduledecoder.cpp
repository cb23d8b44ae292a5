#include "platform/moduledecoder.h"

#include <QFile>
#include <QMutexLocker>

#include <libopenmpt/libopenmpt.h>

#include <algorithm>
#include <cstring>

namespace mb {

ModuleDecoder::ModuleDecoder(QObject *parent) : QIODevice(parent) {}

ModuleDecoder::~ModuleDecoder()
{
    unload();
}

bool ModuleDecoder::load(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        unload();
        m_error = file.errorString();
        return false;
    }
    if (file.size() > MaxFileSize) {
        unload();
        m_error = QStringLiteral("the file is larger than %1 MiB").arg(MaxFileSize >> 20);
        return false;
    }
    const QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        unload();
        m_error = file.errorString();
        return false;
    }
    return loadData(data);
}

bool ModuleDecoder::loadData(const QByteArray &data)
{
    unload();
    QString error;
    openmpt_module *module = createModule(data, &error);
    if (!module) {
        m_error = error;
        return false;
    }
    {
        QMutexLocker lock(&m_mutex);
        m_module = module;
        m_finished = false;
        m_data = data;
    }
    m_error.clear();
    QIODevice::open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    return true;
}

openmpt_module *ModuleDecoder::createModule(const QByteArray &data, QString *error)
{
    int code = OPENMPT_ERROR_OK;
    const char *message = nullptr;
    // The library copies what it needs; the bytes may go after the call.
    openmpt_module *module = openmpt_module_create_from_memory2(
        data.constData(), size_t(data.size()), openmpt_log_func_silent, nullptr,
        openmpt_error_func_store, nullptr, &code, &message, nullptr);
    if (module)
        openmpt_module_ctl_set_integer(module, "dither", 0); // the same bytes on every play
    else
        *error = message && *message ? QString::fromUtf8(message)
                 : data.isEmpty()    ? QStringLiteral("the file is empty")
                                     : QStringLiteral("not a module the library knows");
    openmpt_free_string(message);
    return module;
}

void ModuleDecoder::rewind()
{
    QMutexLocker lock(&m_mutex);
    if (!m_module)
        return;
    // Seeking to 0 would keep the voices that were sounding; a fresh module starts silent,
    // exactly as the first play did.
    QString error;
    if (openmpt_module *fresh = createModule(m_data, &error)) {
        openmpt_module_destroy(m_module);
        m_module = fresh;
    } else {
        openmpt_module_set_position_seconds(m_module, 0.0);
    }
    m_finished = false;
}

void ModuleDecoder::unload()
{
    if (isOpen())
        QIODevice::close();
    QMutexLocker lock(&m_mutex);
    if (m_module)
        openmpt_module_destroy(m_module);
    m_module = nullptr;
    m_finished = false;
    m_data.clear();
}

void ModuleDecoder::close()
{
    unload();
}

bool ModuleDecoder::isLoaded() const
{
    QMutexLocker lock(&m_mutex);
    return m_module != nullptr;
}

double ModuleDecoder::durationSeconds() const
{
    QMutexLocker lock(&m_mutex);
    return m_module ? openmpt_module_get_duration_seconds(m_module) : 0.0;
}

double ModuleDecoder::positionSeconds() const
{
    QMutexLocker lock(&m_mutex);
    return m_module ? openmpt_module_get_position_seconds(m_module) : 0.0;
}

void ModuleDecoder::seekSeconds(double seconds)
{
    QMutexLocker lock(&m_mutex);
    if (!m_module)
        return;
    openmpt_module_set_position_seconds(m_module, std::max(0.0, seconds));
    m_finished = false;
}

QString ModuleDecoder::metadata(const char *key) const
{
    QMutexLocker lock(&m_mutex);
    if (!m_module)
        return {};
    const char *value = openmpt_module_get_metadata(m_module, key);
    const QString text = value ? QString::fromUtf8(value).trimmed() : QString();
    openmpt_free_string(value);
    return text;
}

QString ModuleDecoder::title() const { return metadata("title"); }
QString ModuleDecoder::formatName() const { return metadata("type_long"); }

bool ModuleDecoder::atEnd() const
{
    QMutexLocker lock(&m_mutex);
    return (!m_module || m_finished) && QIODevice::bytesAvailable() == 0;
}

qint64 ModuleDecoder::bytesAvailable() const
{
    // Rendering is on demand; a second's worth is always ready until the song is over.
    QMutexLocker lock(&m_mutex);
    const qint64 ready = m_module && !m_finished ? qint64(SampleRate) * BytesPerFrame : 0;
    return ready + QIODevice::bytesAvailable();
}

qint64 ModuleDecoder::readData(char *data, qint64 maxSize)
{
    QMutexLocker lock(&m_mutex);
    if (!m_module || m_finished)
        return 0;
    // Rendered into an aligned buffer: the caller's bytes need not be aligned for int16_t.
    int16_t chunk[4096 * Channels];
    const qint64 wanted = maxSize / BytesPerFrame;
    qint64 done = 0;
    while (done < wanted) {
        const size_t frames = size_t(std::min<qint64>(wanted - done, 4096));
        const size_t rendered = openmpt_module_read_interleaved_stereo(m_module, SampleRate, frames, chunk);
        std::memcpy(data + done * BytesPerFrame, chunk, rendered * BytesPerFrame);
        done += qint64(rendered);
        if (rendered < frames) {
            m_finished = true; // the library renders less only at the song's end
            break;
        }
    }
    return done * BytesPerFrame;
}

qint64 ModuleDecoder::writeData(const char *, qint64)
{
    return -1;
}

} // namespace mb
