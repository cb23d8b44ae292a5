#include "preview/mediaplayback.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioOutput>
#include <QAudioSink>
#include <QMediaDevices>
#include <QMediaPlayer>
#include <QTimer>
#include <QUrl>
#include <QVideoWidget>

namespace mb {

MediaPlayback::MediaPlayback(QVideoWidget *video, QObject *parent)
    : QObject(parent), m_video(video), m_player(std::make_unique<QMediaPlayer>())
{
    // Without a device the player gets no audio output at all: given one, the FFmpeg backend
    // crashes on the first sound it decodes.
    if (hasAudioOutput()) {
        m_audio = new QAudioOutput(this);
        m_player->setAudioOutput(m_audio);
    }
    connect(m_player.get(), &QMediaPlayer::positionChanged, this, &MediaPlayback::positionChanged);
    connect(m_player.get(), &QMediaPlayer::durationChanged, this, &MediaPlayback::durationChanged);
    connect(m_player.get(), &QMediaPlayer::playbackStateChanged, this,
            [this](QMediaPlayer::PlaybackState s) { setPlaying(s == QMediaPlayer::PlayingState && m_error.isEmpty()); });
    connect(m_player.get(), &QMediaPlayer::errorOccurred, this,
            [this](QMediaPlayer::Error, const QString &text) { playerFailed(text); });
    // A damaged file may open without an error yet hold nothing the player can decode.
    connect(m_player.get(), &QMediaPlayer::mediaStatusChanged, this, [this](QMediaPlayer::MediaStatus status) {
        if (status == QMediaPlayer::InvalidMedia)
            playerFailed(m_player->errorString());
        else if ((status == QMediaPlayer::LoadedMedia || status == QMediaPlayer::BufferedMedia) &&
                 !m_player->hasAudio() && !m_player->hasVideo())
            playerFailed(QStringLiteral("no sound or picture found in the file"));
    });
    m_moduleClock = new QTimer(this);
    m_moduleClock->setInterval(100);
    connect(m_moduleClock, &QTimer::timeout, this, [this] { emit positionChanged(positionMs()); });
}

MediaPlayback::~MediaPlayback()
{
    release();
}

void MediaPlayback::selectBackend()
{
    if (qEnvironmentVariableIsEmpty("QT_MEDIA_BACKEND"))
        qputenv("QT_MEDIA_BACKEND", "ffmpeg");
}

bool MediaPlayback::hasAudioOutput()
{
    return !QMediaDevices::audioOutputs().isEmpty();
}

void MediaPlayback::loadPlayer(const QString &path, bool video)
{
    release();
    m_kind = video ? Kind::Video : Kind::Stream;
    m_player->setVideoOutput(video ? m_video : nullptr);
    m_player->setSource(QUrl::fromLocalFile(path));
}

void MediaPlayback::loadStream(const QString &path)
{
    loadPlayer(path, false);
}

void MediaPlayback::loadVideo(const QString &path)
{
    loadPlayer(path, true);
}

bool MediaPlayback::loadModule(const QString &path)
{
    release();
    if (!m_module.load(path)) {
        m_error = m_module.errorText();
        return false;
    }
    m_kind = Kind::Module;
    emit durationChanged(durationMs());
    return true;
}

void MediaPlayback::release()
{
    m_moduleClock->stop();
    dropSink();
    m_module.unload();
    // The source goes first so that the player reports nothing more about the old file.
    const Kind was = m_kind;
    m_kind = Kind::None;
    if (was == Kind::Stream || was == Kind::Video) {
        m_player->stop();
        m_player->setSource(QUrl());
    }
    m_error.clear();
    setPlaying(false);
}

void MediaPlayback::play()
{
    if (!m_error.isEmpty())
        return; // the file was refused
    switch (m_kind) {
    case Kind::None:
        return;
    case Kind::Stream:
        if (!m_audio)
            return;
        [[fallthrough]];
    case Kind::Video:
        m_player->setPosition(0);
        m_player->play();
        return;
    case Kind::Module:
        break;
    }
    if (!hasAudioOutput())
        return;
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    QAudioFormat format;
    format.setSampleRate(ModuleDecoder::SampleRate);
    format.setChannelCount(ModuleDecoder::Channels);
    format.setSampleFormat(QAudioFormat::Int16);
    if (!device.isFormatSupported(format)) {
        emit failed(QStringLiteral("%1 does not take 16-bit stereo at %2 Hz").arg(device.description()).arg(ModuleDecoder::SampleRate));
        return;
    }
    dropSink();
    m_sink = std::make_unique<QAudioSink>(device, format);
    connect(m_sink.get(), &QAudioSink::stateChanged, this, &MediaPlayback::moduleSinkStateChanged);
    m_module.rewind();
    m_sink->start(&m_module);
    if (m_sink->error() != QAudio::NoError) {
        dropSink();
        emit failed(QStringLiteral("the audio device did not start"));
        return;
    }
    m_moduleClock->start();
    setPlaying(true);
}

void MediaPlayback::moduleSinkStateChanged()
{
    if (!m_sink)
        return;
    if (m_sink->state() == QAudio::IdleState && m_module.atEnd()) {
        stop(); // the song is over
    } else if (m_sink->state() == QAudio::StoppedState && m_sink->error() != QAudio::NoError) {
        stop();
        emit failed(QStringLiteral("the audio device stopped"));
    }
}

void MediaPlayback::stop()
{
    switch (m_kind) {
    case Kind::Stream:
    case Kind::Video:
        m_player->stop();
        break;
    case Kind::Module:
        m_moduleClock->stop();
        dropSink();
        m_module.rewind();
        setPlaying(false);
        emit positionChanged(0);
        break;
    case Kind::None:
        break;
    }
}

void MediaPlayback::seek(qint64 ms)
{
    if (m_kind == Kind::Module) {
        m_module.seekSeconds(double(ms) / 1000.0);
        emit positionChanged(positionMs());
    } else if (m_kind != Kind::None) {
        m_player->setPosition(ms);
    }
}

bool MediaPlayback::isPlaying() const
{
    return m_playing;
}

qint64 MediaPlayback::durationMs() const
{
    switch (m_kind) {
    case Kind::Module: return qint64(m_module.durationSeconds() * 1000.0);
    case Kind::Stream:
    case Kind::Video: return m_player->duration();
    case Kind::None: break;
    }
    return 0;
}

qint64 MediaPlayback::positionMs() const
{
    switch (m_kind) {
    case Kind::Module: return qint64(m_module.positionSeconds() * 1000.0);
    case Kind::Stream:
    case Kind::Video: return m_player->position();
    case Kind::None: break;
    }
    return 0;
}

void MediaPlayback::dropSink()
{
    // The sink may be the one reporting the state change that stops it: it is released and
    // deleted later, and what it still reports no longer reaches this object.
    if (QAudioSink *sink = m_sink.release()) {
        sink->disconnect(this);
        sink->stop();
        sink->deleteLater();
    }
}

void MediaPlayback::playerFailed(const QString &reason)
{
    if ((m_kind != Kind::Stream && m_kind != Kind::Video) || !m_error.isEmpty())
        return; // about an earlier file, or said already
    m_error = reason.isEmpty() ? QStringLiteral("unknown error") : reason;
    // Stopped after the player has finished reporting: inside its own report a stop is lost.
    QMetaObject::invokeMethod(this, [this] {
        if (!m_error.isEmpty() && m_kind != Kind::None)
            m_player->stop();
    }, Qt::QueuedConnection);
    setPlaying(false);
    emit failed(m_error);
}

void MediaPlayback::setPlaying(bool playing)
{
    if (m_playing == playing)
        return;
    m_playing = playing;
    emit playingChanged(playing);
}

} // namespace mb
