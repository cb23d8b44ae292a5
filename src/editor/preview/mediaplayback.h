#pragma once

#include "platform/moduledecoder.h"

#include <QObject>
#include <QString>

#include <memory>

class QAudioOutput;
class QAudioSink;
class QMediaPlayer;
class QTimer;
class QVideoWidget;

namespace mb {

// What the preview plays: sound and music files and videos through Qt Multimedia's player,
// tracker modules through ModuleDecoder into an audio sink. One thing at a time; loading
// another releases the previous one.
//
// Without an audio output device (a build machine, a desktop without sound) nothing is sent to
// audio: sounds and music load (their length is known) but play() does nothing, and videos play
// without their sound. Damaged files are reported through failed(), never by a crash.
class MediaPlayback : public QObject
{
    Q_OBJECT
public:
    enum class Kind { None, Stream, Module, Video };

    // `video` shows videos; it must outlive this object.
    explicit MediaPlayback(QVideoWidget *video, QObject *parent = nullptr);
    ~MediaPlayback() override;

    // Picks Qt Multimedia's FFmpeg backend unless QT_MEDIA_BACKEND names one: it needs nothing
    // beyond the Qt Multimedia package, whereas the GStreamer backend needs plugin packages
    // and crashes without them. Call before the application object exists.
    static void selectBackend();
    // True when the system has an audio output device.
    static bool hasAudioOutput();

    // Load a file; the previous one is released first. loadModule returns false with
    // errorText() set when the library cannot read the file; the player reports stream and
    // video errors later through failed().
    void loadStream(const QString &path);
    void loadVideo(const QString &path);
    bool loadModule(const QString &path);
    // Stops and releases everything.
    void release();

    // Plays from the start; stops (the next play starts at the beginning again).
    void play();
    void stop();
    // Moves the play position (milliseconds).
    void seek(qint64 ms);

    Kind kind() const { return m_kind; }
    bool isPlaying() const;
    qint64 durationMs() const;
    qint64 positionMs() const;
    QString errorText() const { return m_error; }
    const ModuleDecoder &module() const { return m_module; }
    QMediaPlayer *player() const { return m_player.get(); }

signals:
    void positionChanged(qint64 ms);
    void durationChanged(qint64 ms);
    void playingChanged(bool playing);
    // The file cannot be played (the reason), or the audio output failed.
    void failed(const QString &reason);

private:
    void loadPlayer(const QString &path, bool video);
    void setPlaying(bool playing);
    void moduleSinkStateChanged();
    void dropSink();
    void playerFailed(const QString &reason);

    QVideoWidget *m_video;
    std::unique_ptr<QMediaPlayer> m_player;
    QAudioOutput *m_audio = nullptr; // null without a device
    ModuleDecoder m_module;
    std::unique_ptr<QAudioSink> m_sink;
    QTimer *m_moduleClock = nullptr;
    Kind m_kind = Kind::None;
    bool m_playing = false;
    QString m_error;
};

} // namespace mb
