#pragma once

#include "media/previewtarget.h"
#include "media/previewtexts.h"

#include <QWidget>

class QLabel;
class QSlider;
class QStackedWidget;
class QTimer;
class QToolButton;
class QVideoWidget;

namespace mb {

class EditorSettings;
class ImageView;
class MediaPlayback;
class MessageCatalog;
class ProjectSession;
class TForm1;

// The preview tool window: shows or plays the media entry selected in the main window's media
// tree. Images are shown with their size; sound and music files, tracker modules and videos get
// Play and Stop, a position slider and their length; a Flash movie shows its header, since no
// player for it exists here.
//
// Requests come from the main window (TForm1::previewRequested); a later request replaces an
// earlier one and is served on the window's timer (Timer1Timer), which first stops whatever
// plays. A missing file gives one error box per request. The window's place is kept in
// config.ini ("Vorschau Top", "Vorschau Left", "Vorschau Width", "Vorschau Height").
class TForm2 : public QWidget
{
    Q_OBJECT
public:
    // The window only reads the session's project. The session, catalog and settings must outlive
    // the window; so must the main window, whose questions show the error boxes and whose status
    // bar shows the hint.
    TForm2(TForm1 &main, const ProjectSession &session, const MessageCatalog &catalog, EditorSettings &settings,
           QWidget *parent = nullptr);
    ~TForm2() override;

    // Lets the main window make this window as its tool window "Form2".
    static void registerWith(TForm1 &main, const ProjectSession &session, const MessageCatalog &catalog, EditorSettings &settings);

    // Stores the request; it is served shortly after, the latest one winning.
    void request(const PreviewRequest &request);
    // Serves the stored request now (the window's timer calls this).
    void Timer1Timer();
    void BitBtn1Click(); // Play: from the start
    void BitBtn2Click(); // Stop

    // What the window shows, for tests and the main window.
    PreviewPlayer shownPlayer() const { return m_shown; }
    QString shownPath() const { return m_path; }
    QLabel *label1() const { return m_label1; }
    QLabel *label2() const { return m_label2; }
    QLabel *note() const { return m_note; }
    QLabel *flashPanel() const { return m_flash; }
    ImageView *image1() const { return m_image; }
    QVideoWidget *videoWindow() const { return m_video; }
    QToolButton *playButton() const { return m_play; }
    QToolButton *stopButton() const { return m_stop; }
    QSlider *positionSlider() const { return m_slider; }
    QLabel *timeLabel() const { return m_time; }
    MediaPlayback &playback() const { return *m_playback; }

signals:
    // The text for the main window's status bar (mouse over the picture).
    void hint(const QString &text);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    QString text(PreviewText id) const;
    // Stops and releases what plays and shows "No Object".
    void clear();
    void show(const PreviewTarget &target);
    void showImage(const PreviewTarget &target);
    void showFlashHeader(const PreviewTarget &target);
    void showPlayer(const PreviewTarget &target);
    void setNote(const QString &note);
    void setPlayerControls(bool visible);
    void updateTime();
    void placeWindow();
    void savePlace();

    TForm1 &m_main;
    const ProjectSession &m_session;
    const MessageCatalog &m_catalog;
    EditorSettings &m_settings;
    PreviewRequest m_request; // PreviewRequest: empty when nothing waits
    PreviewPlayer m_shown = PreviewPlayer::None;
    QString m_path;
    bool m_placed = false;

    QTimer *m_timer = nullptr;
    QLabel *m_label1 = nullptr, *m_label2 = nullptr, *m_note = nullptr, *m_flash = nullptr, *m_info = nullptr;
    QLabel *m_time = nullptr;
    QStackedWidget *m_stack = nullptr;
    ImageView *m_image = nullptr;
    QVideoWidget *m_video = nullptr;
    QToolButton *m_play = nullptr, *m_stop = nullptr;
    QSlider *m_slider = nullptr;
    MediaPlayback *m_playback = nullptr;
};

} // namespace mb
