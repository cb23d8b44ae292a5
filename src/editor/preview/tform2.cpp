#include "preview/tform2.h"

#include "project/asker.h"
#include "app/tform1.h"
#include "media/swfheader.h"
#include "platform/imagedecoder.h"
#include "preview/imageview.h"
#include "preview/mediaplayback.h"
#include "project/editorsettings.h"
#include "project/messagecatalog.h"
#include "project/projectsession.h"

#include <QBoxLayout>
#include <QEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiSubWindow>
#include <QSlider>
#include <QStackedWidget>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <QVideoWidget>

namespace mb {

namespace {

constexpr int MsgNotExistentCaption = 366, MsgNoObject = 319, MsgHint = 317, MsgCaption = 318;
// The window's place when config.ini has none, and its smallest size.
constexpr QRect kDefaultPlace(604, 462, 240, 180);
constexpr QSize kMinimumSize(241, 180);

QString minutesAndSeconds(qint64 ms)
{
    const qint64 s = (ms + 500) / 1000;
    return QStringLiteral("%1:%2").arg(s / 60).arg(s % 60, 2, 10, QLatin1Char('0'));
}

QLabel *whiteLabel(bool bold)
{
    auto *l = new QLabel;
    QPalette p = l->palette();
    p.setColor(QPalette::WindowText, Qt::white);
    l->setPalette(p);
    if (bold) {
        QFont f = l->font();
        f.setBold(true);
        l->setFont(f);
    }
    return l;
}

} // namespace

TForm2::TForm2(TForm1 &main, const ProjectSession &session, const MessageCatalog &catalog, EditorSettings &settings, QWidget *parent)
    : QWidget(parent), m_main(main), m_session(session), m_catalog(catalog), m_settings(settings)
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(m_catalog.msg(MsgCaption));
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::black);
    setPalette(pal);
    setFocusPolicy(Qt::StrongFocus);

    m_label2 = whiteLabel(true);
    m_label2->setObjectName(QStringLiteral("Label2"));
    m_label2->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // A long path must not widen the window.
    m_label2->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);

    m_label1 = whiteLabel(false);
    m_label1->setObjectName(QStringLiteral("Label1"));
    m_label1->setAlignment(Qt::AlignCenter);
    m_label1->setText(m_catalog.msg(MsgNoObject));
    m_image = new ImageView;
    m_image->setObjectName(QStringLiteral("Image1"));
    m_video = new QVideoWidget;
    m_video->setObjectName(QStringLiteral("VideoWindow"));
    m_flash = whiteLabel(false);
    m_flash->setObjectName(QStringLiteral("FlashHeader"));
    m_flash->setAlignment(Qt::AlignCenter);
    m_info = whiteLabel(true);
    m_info->setAlignment(Qt::AlignCenter);
    m_info->setWordWrap(true);
    m_stack = new QStackedWidget;
    for (QWidget *w : {static_cast<QWidget *>(m_label1), static_cast<QWidget *>(m_image), static_cast<QWidget *>(m_video),
                       static_cast<QWidget *>(m_flash), static_cast<QWidget *>(m_info)})
        m_stack->addWidget(w);

    m_note = new QLabel;
    m_note->setObjectName(QStringLiteral("Note"));
    m_note->setWordWrap(true);
    m_note->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    QPalette notePalette = m_note->palette();
    notePalette.setColor(QPalette::WindowText, QColor(255, 200, 60));
    m_note->setPalette(notePalette);
    m_note->hide();

    m_play = new QToolButton;
    m_play->setObjectName(QStringLiteral("BitBtn1"));
    m_play->setIcon(style()->standardIcon(QStyle::SP_MediaPlay));
    m_play->setToolTip(text(PreviewText::Play));
    m_stop = new QToolButton;
    m_stop->setObjectName(QStringLiteral("BitBtn2"));
    m_stop->setIcon(style()->standardIcon(QStyle::SP_MediaStop));
    m_stop->setToolTip(text(PreviewText::Stop));
    m_slider = new QSlider(Qt::Horizontal);
    m_slider->setObjectName(QStringLiteral("Position"));
    m_time = whiteLabel(false);
    m_time->setObjectName(QStringLiteral("Time"));

    auto *controls = new QHBoxLayout;
    controls->setContentsMargins(0, 0, 0, 0);
    controls->addWidget(m_play);
    controls->addWidget(m_stop);
    controls->addWidget(m_slider, 1);
    controls->addWidget(m_time);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(3);
    layout->addWidget(m_label2);
    layout->addWidget(m_stack, 1);
    layout->addWidget(m_note);
    layout->addLayout(controls);
    setPlayerControls(false);

    m_playback = new MediaPlayback(m_video, this);
    connect(m_play, &QToolButton::clicked, this, &TForm2::BitBtn1Click);
    connect(m_stop, &QToolButton::clicked, this, &TForm2::BitBtn2Click);
    connect(m_playback, &MediaPlayback::durationChanged, this, [this](qint64 ms) {
        m_slider->setRange(0, int(std::min<qint64>(ms, INT_MAX)));
        updateTime();
    });
    connect(m_playback, &MediaPlayback::positionChanged, this, [this](qint64 ms) {
        if (!m_slider->isSliderDown())
            m_slider->setValue(int(std::min<qint64>(ms, INT_MAX)));
        updateTime();
    });
    connect(m_playback, &MediaPlayback::playingChanged, this, [this](bool playing) { m_stop->setEnabled(playing); });
    connect(m_slider, &QSlider::sliderMoved, this, [this](int ms) { m_playback->seek(ms); });
    connect(m_playback, &MediaPlayback::failed, this, [this](const QString &reason) {
        setNote(text(PreviewText::MediaUnreadable).arg(QFileInfo(m_path).fileName(), reason));
        setPlayerControls(false);
    });
    connect(m_image, &ImageView::hovered, this, [this] { emit hint(m_catalog.msg(MsgHint)); });

    m_timer = new QTimer(this);
    m_timer->setObjectName(QStringLiteral("Timer1"));
    m_timer->setSingleShot(true);
    // Short enough to feel immediate, long enough to skip entries passed over with the keys.
    m_timer->setInterval(60);
    connect(m_timer, &QTimer::timeout, this, &TForm2::Timer1Timer);
    clear();
}

TForm2::~TForm2()
{
    // Stopping reports state changes; the controls they update go with the children below.
    m_playback->disconnect(this);
    delete m_playback;
}

void TForm2::registerWith(TForm1 &main, const ProjectSession &session, const MessageCatalog &catalog, EditorSettings &settings)
{
    main.setToolWindowFactory(QStringLiteral("Form2"), [&main, &session, &catalog, &settings](const QString &) {
        auto *w = new TForm2(main, session, catalog, settings);
        QObject::connect(&main, &TForm1::previewRequested, w, &TForm2::request);
        QObject::connect(w, &TForm2::hint, &main, [&main](const QString &text) { main.statusPanel(2)->setText(text); });
        // A window opened by a double click shows the entry selected before it existed.
        w->request(main.previewRequest());
        return w;
    });
}

QString TForm2::text(PreviewText id) const
{
    return previewText(id, m_catalog.language());
}

void TForm2::request(const PreviewRequest &request)
{
    if (request.name.isEmpty())
        return;
    m_request = request;
    m_timer->start();
}

void TForm2::Timer1Timer()
{
    m_timer->stop();
    if (m_request.name.isEmpty())
        return;
    const PreviewRequest r = m_request;
    // Cleared before any box, so that the request is served once.
    m_request = {};
    clear();
    if (r.isFree())
        return;
    const PreviewTarget target = resolvePreview(m_session.model(), r.nodeImage, r.name);
    if (!target.ok()) {
        m_main.questions().error(this, m_catalog.msg(MsgNotExistentCaption), target.error.render(m_catalog));
        return;
    }
    show(target);
}

void TForm2::clear()
{
    m_playback->release();
    m_shown = PreviewPlayer::None;
    m_path.clear();
    m_image->setImage({});
    m_stack->setCurrentWidget(m_label1);
    m_label2->clear();
    m_flash->clear();
    m_info->clear();
    setNote({});
    setPlayerControls(false);
}

void TForm2::show(const PreviewTarget &target)
{
    m_path = target.path;
    m_shown = target.player;
    m_label2->setText(target.path);
    m_label2->setToolTip(target.path);
    switch (target.player) {
    case PreviewPlayer::Image:
        showImage(target);
        break;
    case PreviewPlayer::FlashHeader:
        showFlashHeader(target);
        break;
    case PreviewPlayer::Stream:
    case PreviewPlayer::Module:
    case PreviewPlayer::Video:
        showPlayer(target);
        break;
    case PreviewPlayer::None:
        setNote(text(target.nodeImage == nodeimage::Image ? PreviewText::NotShowable : PreviewText::NotPlayable)
                    .arg(QFileInfo(target.path).fileName()));
        break;
    }
}

void TForm2::showImage(const PreviewTarget &target)
{
    const DecodedImage decoded = decodeImageByExtension(target.path);
    if (!decoded.ok()) {
        setNote(text(PreviewText::ImageUnreadable).arg(QFileInfo(target.path).fileName(), decoded.error));
        return;
    }
    m_image->setImage(decoded.image);
    m_stack->setCurrentWidget(m_image);
    m_label2->setText(imageLabel(target.path, decoded.image.size()));
}

void TForm2::showFlashHeader(const PreviewTarget &target)
{
    const SwfHeaderResult r = readSwfHeaderFile(target.path);
    if (!r.ok) {
        setNote(swfErrorText(r, QFileInfo(target.path).fileName(), m_catalog.language()));
        return;
    }
    const SwfHeader &h = r.header;
    const PreviewText compression = h.compression == SwfHeader::Compression::None ? PreviewText::CompressionNone
                                    : h.compression == SwfHeader::Compression::Zlib ? PreviewText::CompressionZlib
                                                                                     : PreviewText::CompressionLzma;
    const QLocale locale(m_catalog.language() == QLatin1String("DE") ? QLocale::German : QLocale::English);
    auto number = [&](double v) { return locale.toString(v, 'g', 6); };
    m_flash->setText(QStringList{text(PreviewText::FlashVersion).arg(h.version),
                                 text(PreviewText::FlashStage).arg(number(h.stageWidth()), number(h.stageHeight())),
                                 text(PreviewText::FlashFrameRate).arg(number(h.frameRate())),
                                 text(PreviewText::FlashFrames).arg(h.frameCount),
                                 text(PreviewText::FlashCompression).arg(text(compression))}
                         .join(u'\n'));
    m_stack->setCurrentWidget(m_flash);
    setNote(text(PreviewText::FlashNoPlayback));
}

void TForm2::showPlayer(const PreviewTarget &target)
{
    const QString file = QFileInfo(target.path).fileName();
    m_stack->setCurrentWidget(target.player == PreviewPlayer::Video ? static_cast<QWidget *>(m_video) : m_info);
    setPlayerControls(true);
    // Said first: a file the player refuses at once replaces the note with the reason.
    if (!MediaPlayback::hasAudioOutput() && target.player != PreviewPlayer::Video)
        setNote(text(PreviewText::NoAudioDevice));
    switch (target.player) {
    case PreviewPlayer::Module: {
        if (!m_playback->loadModule(target.path)) {
            setNote(text(PreviewText::ModuleUnreadable).arg(file, m_playback->errorText()));
            setPlayerControls(false);
            return;
        }
        const ModuleDecoder &m = m_playback->module();
        m_info->setText(QStringList{m.title().isEmpty() ? file : m.title(), m.formatName()}.join(u'\n'));
        break;
    }
    case PreviewPlayer::Stream:
        m_info->setText(file);
        m_playback->loadStream(target.path);
        break;
    case PreviewPlayer::Video:
        // Videos start at once (without sound when there is no device), sounds and music on Play.
        m_playback->loadVideo(target.path);
        m_playback->play();
        break;
    default:
        break;
    }
}

void TForm2::BitBtn1Click()
{
    m_playback->play();
}

void TForm2::BitBtn2Click()
{
    m_playback->stop();
}

void TForm2::setNote(const QString &note)
{
    m_note->setText(note);
    m_note->setVisible(!note.isEmpty());
}

void TForm2::setPlayerControls(bool visible)
{
    for (QWidget *w : {static_cast<QWidget *>(m_play), static_cast<QWidget *>(m_stop), static_cast<QWidget *>(m_slider),
                       static_cast<QWidget *>(m_time)})
        w->setVisible(visible);
    m_stop->setEnabled(m_playback && m_playback->isPlaying());
    m_slider->setRange(0, 0);
    updateTime();
}

void TForm2::updateTime()
{
    const qint64 length = m_playback ? m_playback->durationMs() : 0;
    m_time->setText(minutesAndSeconds(m_playback ? m_playback->positionMs() : 0) + QStringLiteral(" / ") + minutesAndSeconds(length));
}

void TForm2::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Space && m_play->isVisible()) {
        m_playback->isPlaying() ? BitBtn2Click() : BitBtn1Click();
        return;
    }
    QWidget::keyPressEvent(event);
}

void TForm2::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!m_placed) {
        m_placed = true;
        placeWindow();
    }
}

void TForm2::placeWindow()
{
    auto *sub = qobject_cast<QMdiSubWindow *>(parentWidget());
    if (!sub)
        return;
    sub->installEventFilter(this);
    sub->setMinimumSize(kMinimumSize);
    QRect place = kDefaultPlace;
    auto value = [this](const char *key, int fallback) {
        bool ok = false;
        const int v = m_settings.readsetting(QLatin1String(key)).toInt(&ok);
        return ok && v != -1 ? v : fallback;
    };
    place.moveTopLeft(QPoint(value("Vorschau Left", place.left()), value("Vorschau Top", place.top())));
    place.setSize(QSize(value("Vorschau Width", place.width()), value("Vorschau Height", place.height())).expandedTo(kMinimumSize));
    sub->setGeometry(place);
}

void TForm2::savePlace()
{
    const QWidget *sub = parentWidget();
    if (!sub)
        return;
    const QRect g = sub->geometry();
    m_settings.writesetting(QStringLiteral("Vorschau Top"), QString::number(g.top()));
    m_settings.writesetting(QStringLiteral("Vorschau Left"), QString::number(g.left()));
    m_settings.writesetting(QStringLiteral("Vorschau Width"), QString::number(g.width()));
    m_settings.writesetting(QStringLiteral("Vorschau Height"), QString::number(g.height()));
}

bool TForm2::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == parentWidget() && event->type() == QEvent::Close) {
        m_request = {};
        m_timer->stop();
        m_playback->release();
        savePlace();
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace mb
