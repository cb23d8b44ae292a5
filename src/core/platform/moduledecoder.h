#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QMutex>
#include <QString>

struct openmpt_module;

namespace mb {

// A tracker module (.mod, .xm, .it, .s3m, .mo3, .umx, .mtm ...) rendered by libopenmpt into
// 16-bit signed stereo PCM at 44100 Hz, read as a sequential QIODevice: an audio sink pulls from
// it, tests read it without an audio device. The song plays once; reading returns 0 bytes and
// atEnd() turns true when it is over.
//
// load() takes the whole file into memory (files over MaxFileSize are refused). Reading, seeking
// and the position may be used from different threads.
class ModuleDecoder : public QIODevice
{
    Q_OBJECT
public:
    static constexpr int SampleRate = 44100;
    static constexpr int Channels = 2;
    static constexpr int BytesPerFrame = Channels * 2;
    static constexpr qint64 MaxFileSize = qint64(128) << 20;

    explicit ModuleDecoder(QObject *parent = nullptr);
    ~ModuleDecoder() override;

    // Loads a module; on failure returns false, errorText() says why and the decoder is empty.
    // Opens the device for reading on success.
    bool load(const QString &path);
    bool loadData(const QByteArray &data);
    // Closes the device and releases the module.
    void unload();
    bool isLoaded() const;
    QString errorText() const { return m_error; }

    // Song length and play position in seconds (0 when nothing is loaded).
    double durationSeconds() const;
    double positionSeconds() const;
    // Starts the song again from its beginning, as freshly loaded.
    void rewind();
    // Moves the play position; reading continues from there.
    void seekSeconds(double seconds);
    // The module's title and format ("ProTracker MOD" ...), empty when unknown.
    QString title() const;
    QString formatName() const;

    bool isSequential() const override { return true; }
    bool atEnd() const override;
    qint64 bytesAvailable() const override;
    void close() override;

protected:
    qint64 readData(char *data, qint64 maxSize) override;
    qint64 writeData(const char *data, qint64 size) override;

private:
    QString metadata(const char *key) const;
    static openmpt_module *createModule(const QByteArray &data, QString *error);

    mutable QMutex m_mutex;
    openmpt_module *m_module = nullptr;
    bool m_finished = false;
    QByteArray m_data; // the file, kept for rewind()
    QString m_error;
};

} // namespace mb
