#pragma once

#include "assets/frameaccess.h"
#include "assets/framestrip.h"
#include "project/messagecatalog.h"
#include "project/projectchange.h"
#include "project/projectsession.h"
#include "room/roomimagecache.h"

#include <QWidget>

#include <functional>

class QLabel;
class QMenu;
class QMimeData;
class QSlider;
class QTimer;
class QToolButton;
class QVBoxLayout;

namespace mb {

class EditorSettings;
class FramePreview;
class FrameStripWidget;
class MessageCatalog;
class TForm1;
class Tskriptzeile;

// What the four asset editors share: the element open by request, the state strip and the
// frame strip, the preview with its drops and image moves, the speed bar and its label, the
// animation test, the script line of a frame, the picture cache with its error boxes, and the
// menu entries that fill a state from image files. Every change is an edit of the session (one
// undo step; a speed change and an image drag merge while the bar or the mouse moves), and the
// window shows the project again whenever the session says its element changed.
//
// The subclasses add their own fields (buildFields / showFields) and their record's edits.
class AssetBox : public QWidget
{
    Q_OBJECT
public:
    AssetBox(AssetKind kind, TForm1 &form, ProjectSession &session, MessageCatalog &catalog,
             EditorSettings &settings, Tskriptzeile *scriptLine, QWidget *parent = nullptr);
    ~AssetBox() override;

    AssetKind kind() const { return m_kind; }
    // Shows the element with the name ("free" or an unknown name: nothing); cursors ignore it.
    void openElement(const QString &name);
    int slot() const { return m_slot; }
    QString elementName() const;
    int state() const { return m_state; }
    int frame() const { return m_frame; }
    void selectState(int state);
    void selectFrame(int frame);

    FrameStripWidget *stateStrip() const { return m_stateStrip; }
    FrameStripWidget *frameStrip() const { return m_frameStrip; }
    FramePreview *preview() const { return m_preview; }
    QSlider *speedBar() const { return m_speed; }
    QLabel *speedLabel() const { return m_speedLabel; }
    QToolButton *playButton() const { return m_play; }
    bool animating() const;
    // The frame the animation test shows (the current frame while it is stopped).
    int shownFrame() const { return m_shownFrame; }
    void toggleAnimation();
    void stopAnimation();
    // One tick of the animation test.
    void animationStep();

    // --- the operations behind the mouse, also for tests
    void dropFrameOn(int target, int source, framestrip::FrameDrop how);
    void dropMediaOnFrame(int frame, bool image, const QString &name);
    void dropImageOnPreview(const QString &name, framestrip::PreviewSpot spot, QPoint position);
    void dropStateOn(int target, int source);
    void removeFrameImages(int frame);
    void editScriptLine(int frame);
    // Adds the image files (several files or a folder's images) to the pool where needed and
    // fills the current state's free frames with them, in file-name order: one undo step.
    void addFramesFromFiles(const QStringList &files);
    void addFramesFromSheet(const QString &sheet, int columns, int rows);

    const ProjectModel &model() const { return m_session.model(); }

signals:
    void status(const QString &text);

protected:
    // The frames of what is open (never null while an element is open; an empty item else).
    FrameView view() const;
    bool isOpen() const { return m_kind == AssetKind::Cursor || m_slot > 0; }
    // Changes the open element's frames as one undo step; `merge` as ProjectSession's.
    bool editFrames(const QString &text, const std::function<void(FrameAccess &)> &change,
                    ProjectSession::MergeKey merge = 0);
    // What a change of the open element is called when the session reports it.
    ProjectChange elementChange(ProjectChange::Part part = ProjectChange::Whole) const;
    int elementKind() const;
    QString lang() const { return m_catalog.language(); }

    // Subclass hooks: the fields beside the strips and what they show.
    virtual void showFields() {}
    virtual void fieldsEnabled(bool) {}
    // The picture of an image name, loaded on first use (null when it cannot be shown).
    const QImage *picture(const QString &name);
    void reportImageProblems();
    // Redraws strips, preview and captions from the project.
    void refresh();
    // The state strip's or frame strip's right-button menu entries that fill the state.
    void addFrameFileActions(QMenu *menu);
    void showStateMenu(QPoint globalPos);

    QVBoxLayout *fieldsLayout() const { return m_fields; }
    QLabel *frameCaption() const { return m_frameCaption; }
    void enterEvent(QEnterEvent *e) override;

    AssetKind m_kind;
    TForm1 &m_form;
    ProjectSession &m_session;
    MessageCatalog &m_catalog;
    EditorSettings &m_settings;
    Tskriptzeile *m_scriptLine;
    int m_slot = 0;
    int m_state = 1, m_frame = 1, m_shownFrame = 1;
    bool m_loading = false;
    RoomImageCache m_images;
    FrameStripWidget *m_stateStrip = nullptr;
    FrameStripWidget *m_frameStrip = nullptr;
    FramePreview *m_preview = nullptr;

private:
    void projectChanged(const ProjectChange &change);
    void frameStripDropped(int box, const QMimeData *data, QPoint globalPos);
    bool frameStripAccepts(int box, const QMimeData *data) const;
    void frameStripMenu(int box, QPoint globalPos);
    struct Node
    {
        bool media = false;
        int image = -1;
        QString name;
    };
    Node draggedNode(const QMimeData *data) const;
    void speedChanged(int value);
    bool placeImage(int frame, const framestrip::ImageDropPlan &plan, const QString &name, QPoint position);

    QSlider *m_speed = nullptr;
    QLabel *m_speedLabel = nullptr;
    QToolButton *m_play = nullptr;
    QTimer *m_anim = nullptr;
    QLabel *m_frameCaption = nullptr;
    QVBoxLayout *m_fields = nullptr;
    int m_animLength = 0;
};

} // namespace mb
