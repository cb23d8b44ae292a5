#pragma once

#include "room/roomcommands.h"
#include "room/roomedit.h"
#include "room/fxshapes.h"
#include "room/roomimagecache.h"
#include "room/roomview.h"

#include <QPoint>
#include <QWidget>

#include <functional>
#include <optional>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;
class QScrollArea;
class QSlider;
class QSpinBox;
class QStackedWidget;
class QTabBar;

namespace mb {

class EditorSettings;
class MessageCatalog;
class ProjectChange;
class ProjectModel;
class Asker;
class ProjectSession;
class RoomSurface;
struct Rfxshape;
struct Rroom;
struct Rroomchar;
struct Rroomobj;
class TForm1;

// The room editor: one room of the project on the room surface, with the panels below it (room
// size, double walkmap, zoom step, the view's zoom and grid, the object and character panels, the
// FX shape panel in FX mode) and the navigator. Mouse and keys on the surface become the room
// editing operations of core; every change of the project is a RoomCommands call, an undo step
// of the session (a whole drag, stroke or run of arrow keys is one step). The window follows the
// session's change signal: after an edit, an undo or a redo, or a change in another window (an
// object's frames, a room renamed) it draws the room again and rereads its panels.
//
// Session, catalog, settings and the main window are borrowed and must outlive the window.
class Troom : public QWidget
{
    Q_OBJECT
public:
    Troom(TForm1 &form, ProjectSession &session, const MessageCatalog &catalog, EditorSettings &settings,
          QWidget *parent = nullptr);
    ~Troom() override;

    // Opens the room of that name; "free" (or a name no room has) closes the open one.
    void openRoom(const QString &name);
    int room() const { return m_room; }
    void setMode(RoomEditMode mode);
    RoomEditMode mode() const;

    RoomSurface *surface() const { return m_surface; }
    // The room at the view's zoom over the panels.
    QSize sizeHint() const override;
    RoomItem selection() const;
    void select(RoomItem item);
    WalkmapPen pen() const { return m_pen; }
    void setPen(WalkmapPen pen);
    bool penBlocks() const { return m_block; }
    void setPenBlocks(bool block) { m_block = block; }
    QPoint markedCell() const;
    // The view's zoom: 0 fits the screen into the window, else 0.5, 1 or 2.
    void setViewZoom(double zoom);
    double viewZoom() const { return m_viewZoom; }

    // The changes of the open room as undo steps.
    RoomCommands commands() const;
    // Ends the drag, stroke or run of keys: the next change is a step of its own.
    void endGesture();
    // The project changed (an edit, undo, redo, another project): panels and surface show it
    // again; the selection follows its placement or goes.
    void projectChanged();

    // Pop-up menus, built when they open; tests reach them by object name.
    QMenu *lastMenu() const { return m_lastMenu; }

signals:
    // The author asked for a script (key as ScriptKey spells it); `show` brings the window up.
    void scriptRequested(const QString &key, bool show);
    // A status bar text for the main window.
    void status(const QString &text);
    // "Show in Objectwindow" / "Show in Characterwindow": the asset editor ("objbox",
    // "charbox") should open on the element.
    void assetRequested(const QString &window, const QString &element);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    class Navigator;
    class OffsetPreview;

    static constexpr int PanelHeight = 115;
    static constexpr double Zooms[4] = {0, 0.5, 1, 2}; // of the view's zoom box; 0 = fit
    // Merge keys of the gestures: each kind of drag, the arrow keys, the sliding controls.
    enum MergeWhat { MergeMove = 1, MergeMarker, MergeDepth, MergeInventory, MergeStroke, MergeFx, MergeArrows,
                     MergeScroll, MergeOffset, MergeStrength };

    void changed(const ProjectChange &change);
    void buildPanels();
    void retranslate();
    void updatePanels();
    void updateRoomControls();
    void updateFxControls();
    void updateNavigator();
    void fitZoom();
    RoomMetrics metrics() const;
    const Rroom *currentRoom() const;
    QString roomName() const;
    QString itemName(RoomItem item) const;
    ProjectSession::MergeKey mergeKey(int what) const;

    // Mouse and keys on the surface.
    void mousePress(QMouseEvent *event);
    void mouseMove(QMouseEvent *event);
    void mouseRelease(QMouseEvent *event);
    void mouseDoubleClick(QMouseEvent *event);
    bool keyPress(QKeyEvent *event);
    void pressNone(QMouseEvent *event, QPoint roomPoint);
    void showRoomMenu(QPoint globalPos);
    void showPenMenu(QPoint globalPos);
    void showInventoryMenu(QPoint globalPos);
    void askScript(RoomItem item);
    void editCellScript(QPoint cell);

    // Drops from the trees.
    bool dragEnter(QDropEvent *event, bool drop);
    void addBackgroundMenu(const QString &image, QPoint globalPos);

    // Commands of the menus and panels.
    void removeSelected();
    void removeBackground(bool parallax);
    void order(bool front);
    void setObjectField(const std::function<void(Rroomobj &)> &set);
    void setCharacterField(const std::function<void(Rroomchar &)> &set);
    // `merge`: a MergeWhat for the controls that slide, 0 for one step per change.
    void setFxField(const std::function<void(Rfxshape &)> &set, int merge = 0);
    void setScroll(QPoint scroll, bool merge);

    TForm1 &m_form;
    ProjectSession &m_session;
    const ProjectModel &m_model;
    const MessageCatalog &m_catalog;
    EditorSettings &m_settings;
    RoomImageCache m_images;
    int m_room = 0;
    QString m_roomName; // the open room, found again by name when the project changes
    QString m_project;  // folder and name of the project the room belongs to

    RoomSurface *m_surface = nullptr;
    QScrollArea *m_scrollArea = nullptr;
    QWidget *m_panel = nullptr;
    QWidget *m_navigator = nullptr;
    QSpinBox *m_roomwidth = nullptr, *m_roomheight = nullptr;
    QLabel *m_widthLabel = nullptr, *m_heightLabel = nullptr, *m_reslabel = nullptr, *m_zoomLabel = nullptr;
    QCheckBox *m_doublewalkmap = nullptr, *m_grid = nullptr;
    QComboBox *m_zoomfactor = nullptr, *m_viewZoomBox = nullptr;
    QStackedWidget *m_props = nullptr;
    QGroupBox *m_objbox = nullptr, *m_charbox = nullptr;
    QLabel *m_instLabelCaption = nullptr, *m_instlabel = nullptr, *m_stateLabel = nullptr;
    QCheckBox *m_objlocked = nullptr;
    QGroupBox *m_darstellung = nullptr;
    QButtonGroup *m_drawGroup = nullptr;
    QRadioButton *m_drawButtons[3] = {};
    QComboBox *m_objstate = nullptr;
    QPushButton *m_objscript = nullptr;
    QLabel *m_charInstCaption = nullptr, *m_charinst = nullptr, *m_viewLabel = nullptr;
    QCheckBox *m_charlocked = nullptr, *m_unmoveable = nullptr;
    QButtonGroup *m_directionGroup = nullptr;
    QRadioButton *m_directionButtons[4] = {};
    QPushButton *m_charscript = nullptr, *m_snapto = nullptr;
    QWidget *m_fxpanel = nullptr;
    QTabBar *m_fxtab = nullptr;
    QCheckBox *m_activateshape = nullptr, *m_roomPosition = nullptr;
    QLabel *m_effectLabel = nullptr, *m_strengthLabel = nullptr, *m_fxroomLabel = nullptr;
    QComboBox *m_fxstyles = nullptr;
    QSlider *m_strength = nullptr;
    QLineEdit *m_fxroom = nullptr;
    OffsetPreview *m_preview = nullptr;
    QMenu *m_lastMenu = nullptr;

    RoomItem m_hoverBelow;
    WalkmapPen m_pen = WalkmapPen::Size1;
    bool m_block = false;
    double m_viewZoom = 1.0;
    bool m_updating = false; // panels are being filled: their signals change nothing
    QString m_selectedName;  // instance name of the selection, which it follows through undo

    // The drag under way.
    enum class Drag { None, Move, DepthMarker, DepthLine, Band, Inventory, Walkmap, Fx };
    Drag m_drag = Drag::None;
    QPoint m_anchor;      // room point of the last applied step
    QPoint m_dragStart;   // room point of the mouse down
    QPoint m_lastCell{-1, -1};
    int m_depthLine = 0;
    roomedit::InventoryDrag m_inventoryDrag;
    fxshapes::Handle m_fxHandle;
    int m_fxLineAtStart = 0;
};

} // namespace mb
