#include "room/troom.h"

#include "app/pooltreemodel.h"
#include "project/asker.h"
#include "app/tform1.h"
#include "project/editorsettings.h"
#include "project/messagecatalog.h"
#include "project/projectmodel.h"
#include "room/roomgeometry.h"
#include "room/roomscene.h"
#include "room/roomsurface.h"
#include "room/roomtexts.h"
#include "room/walkmappen.h"
#include "script/scriptkey.h"

#include <QActionGroup>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDataStream>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSlider>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTabBar>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace mb {

namespace {

constexpr int PanelHeight = 115;
const double kZooms[] = {0, 0.5, 1, 2}; // 0 = fit

// Merge keys of the gestures: each kind of drag and the arrow keys.
enum MergeWhat { MergeMove = 1, MergeMarker, MergeDepth, MergeInventory, MergeStroke, MergeFx, MergeArrows,
                 MergeScroll, MergeOffset, MergeStrength };

} // namespace

// The navigator: the largest room (three screens by two) as a frame, the room inside it and the
// visible screen, which the author drags to scroll.
class Troom::Navigator : public QWidget
{
public:
    explicit Navigator(Troom &room) : QWidget(&room), m_room(room)
    {
        setObjectName(QStringLiteral("Panel2"));
        setFixedSize(124, 64);
    }
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.fillRect(rect(), palette().window());
        p.setPen(Qt::gray);
        p.drawRect(QRect(1, 1, 120, 60)); // Shape1
        const Rroom *r = m_room.currentRoom();
        if (!r)
            return;
        const RoomMetrics m = m_room.metrics();
        const double k = m.gameHeight == 200 ? 1.5 : 1.25;
        p.setBrush(QColor(200, 220, 255));
        p.drawRect(QRect(1, 1, int(std::lround(r->width / m.cell * 1.25)), int(std::lround(r->height / m.cell * k)))); // Shape2
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(Qt::red, 2));
        p.drawRect(screenRect());
    }
    QRect screenRect() const
    {
        const Rroom *r = m_room.currentRoom();
        const RoomMetrics m = m_room.metrics();
        return r ? QRect(r->scrollX / (m.gameWidth / 40) + 1, r->scrollY / (m.gameHeight / 30) + 1, 40, 30) : QRect();
    }
    void mousePressEvent(QMouseEvent *e) override
    {
        m_last = e->position().toPoint();
        m_room.endGesture();
    }
    void mouseMoveEvent(QMouseEvent *e) override
    {
        const Rroom *r = m_room.currentRoom();
        if (!r || !(e->buttons() & Qt::LeftButton))
            return;
        const QPoint d = e->position().toPoint() - m_last;
        m_last = e->position().toPoint();
        const RoomMetrics m = m_room.metrics();
        m_room.setScroll(QPoint(r->scrollX + m.gameWidth / 40 * d.x(), r->scrollY + m.gameHeight / 30 * d.y()), true);
    }
    void mouseReleaseEvent(QMouseEvent *) override { m_room.endGesture(); }

private:
    Troom &m_room;
    QPoint m_last;
};

// The wall mirror's offset preview: a figure and its mirror image, dragged apart.
class Troom::OffsetPreview : public QWidget
{
public:
    explicit OffsetPreview(Troom &room) : QWidget(&room), m_room(room)
    {
        setObjectName(QStringLiteral("Panel3"));
        setFixedSize(72, 96);
    }
    QPoint backChar;
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.fillRect(rect(), QColor(60, 60, 70));
        p.fillRect(QRect(backChar, QSize(20, 40)), QColor(120, 120, 200, 160)); // backchar
        p.fillRect(QRect(18, 44, 20, 40), QColor(230, 200, 120));               // frontchar
    }
    void mousePressEvent(QMouseEvent *e) override
    {
        m_last = e->position().toPoint();
        m_room.endGesture();
    }
    void mouseMoveEvent(QMouseEvent *e) override
    {
        if (!(e->buttons() & Qt::LeftButton))
            return;
        const QPoint d = e->position().toPoint() - m_last;
        m_last = e->position().toPoint();
        m_room.setFxField([d](Rfxshape &s) { fxshapes::dragOffset(s, d.x(), d.y()); }, MergeOffset);
    }
    void mouseReleaseEvent(QMouseEvent *) override { m_room.endGesture(); }

private:
    Troom &m_room;
    QPoint m_last;
};

Troom::Troom(TForm1 &form, ProjectModel &model, const MessageCatalog &catalog, EditorSettings &settings,
             QWidget *parent)
    : QWidget(parent), m_form(form), m_model(model), m_catalog(catalog), m_settings(settings)
{
    setObjectName(QStringLiteral("Troom"));
    m_surface = new RoomSurface(model, m_images, catalog);
    m_surface->setObjectName(QStringLiteral("surface"));
    m_surface->setAcceptDrops(true);
    m_surface->setFocusPolicy(Qt::StrongFocus);
    m_surface->installEventFilter(this);
    connect(m_surface, &RoomSurface::imagesMissing, this, [this](const QStringList &texts) {
        for (const QString &text : texts)
            m_form.questions().error(this, m_catalog.msg(366), text);
    });
    m_scrollArea = new QScrollArea;
    m_scrollArea->setObjectName(QStringLiteral("view"));
    m_scrollArea->setWidget(m_surface);
    m_scrollArea->setAlignment(Qt::AlignCenter);
    m_scrollArea->setFrameShape(QFrame::NoFrame);
    m_scrollArea->viewport()->installEventFilter(this);

    buildPanels();
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_scrollArea, 1);
    layout->addWidget(m_panel);

    const QSize client = roomgeo::roomWindowClientSize(metrics());
    resize(client + QSize(m_scrollArea->frameWidth() * 2, 0));
    retranslate();
    openRoom(QStringLiteral("free"));
}

Troom::~Troom() = default;

QSize Troom::sizeHint() const
{
    const QSize surface = m_surface->sizeHint();
    return QSize(surface.width(), surface.height() + PanelHeight);
}

RoomMetrics Troom::metrics() const
{
    const Rroom *r = m_room > 0 ? &m_model.rooms[m_room] : nullptr;
    return RoomMetrics::of(m_model.settings, r);
}

Rroom *Troom::currentRoom()
{
    return m_room > 0 && m_model.rooms.used(m_room) ? &m_model.rooms[m_room] : nullptr;
}

QString Troom::roomName() const
{
    return m_room > 0 ? m_model.rooms[m_room].name : QString();
}

RoomItem Troom::selection() const
{
    return m_surface->view().selection;
}

QPoint Troom::markedCell() const
{
    return m_surface->view().markedCell;
}

RoomEditMode Troom::mode() const
{
    return m_surface->view().mode;
}

quint64 Troom::mergeKey(int what) const
{
    return (m_gesture << 8) | quint64(what);
}

// --- panels

void Troom::buildPanels()
{
    m_panel = new QWidget;
    m_panel->setObjectName(QStringLiteral("Panel1"));
    m_panel->setFixedHeight(PanelHeight);
    auto *row = new QHBoxLayout(m_panel);
    row->setContentsMargins(4, 2, 4, 2);

    // Room controls.
    auto *roomBox = new QWidget;
    auto *grid = new QGridLayout(roomBox);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setVerticalSpacing(1);
    m_widthLabel = new QLabel;
    m_widthLabel->setObjectName(QStringLiteral("Label7"));
    m_heightLabel = new QLabel;
    m_heightLabel->setObjectName(QStringLiteral("Label8"));
    m_roomwidth = new QSpinBox;
    m_roomwidth->setObjectName(QStringLiteral("roomwidth"));
    m_roomheight = new QSpinBox;
    m_roomheight->setObjectName(QStringLiteral("roomheight"));
    for (QSpinBox *box : {m_roomwidth, m_roomheight}) {
        box->setKeyboardTracking(false);
        connect(box, &QSpinBox::valueChanged, this, [this] {
            if (!m_updating)
                setRoomSize(m_roomwidth->value(), m_roomheight->value());
        });
    }
    m_reslabel = new QLabel;
    m_reslabel->setObjectName(QStringLiteral("reslabel"));
    m_doublewalkmap = new QCheckBox;
    m_doublewalkmap->setObjectName(QStringLiteral("doublewalkmap"));
    connect(m_doublewalkmap, &QCheckBox::toggled, this, [this](bool on) {
        if (m_updating || !currentRoom())
            return;
        edit(m_catalog.msg(483).trimmed(), [this, on](ProjectModel &m) {
            Rroom &r = m.rooms[m_room];
            if (r.flag1 == on)
                return false;
            r.flag1 = on; // only the cell size changes; the cells stay as they are
            return true;
        });
    });
    m_zoomfactor = new QComboBox;
    m_zoomfactor->setObjectName(QStringLiteral("zoomfactor"));
    for (int i = 1; i <= 9; ++i)
        m_zoomfactor->addItem(QString::number(i));
    connect(m_zoomfactor, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (m_updating || !currentRoom() || index < 0)
            return;
        edit(roomText(RoomText::UndoDepthLines, m_catalog), [this, index](ProjectModel &m) {
            Rroom &r = m.rooms[m_room];
            if (r.zoomStep == index + 1)
                return false;
            r.zoomStep = index + 1;
            return true;
        });
    });
    m_zoomLabel = new QLabel;
    m_viewZoomBox = new QComboBox;
    m_viewZoomBox->setObjectName(QStringLiteral("viewzoom"));
    m_viewZoomBox->addItems({QString(), QStringLiteral("50 %"), QStringLiteral("100 %"), QStringLiteral("200 %")});
    m_viewZoomBox->setCurrentIndex(2);
    connect(m_viewZoomBox, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (!m_updating && index >= 0)
            setViewZoom(kZooms[index]);
    });
    m_grid = new QCheckBox;
    m_grid->setObjectName(QStringLiteral("gridtoggle"));
    connect(m_grid, &QCheckBox::toggled, m_surface, &RoomSurface::setGrid);
    grid->addWidget(m_widthLabel, 0, 0);
    grid->addWidget(m_roomwidth, 0, 1);
    grid->addWidget(m_heightLabel, 1, 0);
    grid->addWidget(m_roomheight, 1, 1);
    grid->addWidget(m_zoomfactor, 2, 1);
    grid->addWidget(m_reslabel, 2, 0);
    grid->addWidget(m_doublewalkmap, 3, 0, 1, 2);
    grid->addWidget(m_zoomLabel, 0, 2);
    grid->addWidget(m_viewZoomBox, 0, 3);
    grid->addWidget(m_grid, 1, 2, 1, 2);
    row->addWidget(roomBox);

    m_navigator = new Navigator(*this);
    row->addWidget(m_navigator);

    // Object panel.
    m_props = new QStackedWidget;
    m_objbox = new QGroupBox;
    m_objbox->setObjectName(QStringLiteral("objbox"));
    auto *og = new QGridLayout(m_objbox);
    og->setContentsMargins(4, 2, 4, 2);
    og->setVerticalSpacing(1);
    m_instLabelCaption = new QLabel;
    m_instLabelCaption->setObjectName(QStringLiteral("Label4"));
    m_instlabel = new QLabel;
    m_instlabel->setObjectName(QStringLiteral("instlabel"));
    m_objlocked = new QCheckBox;
    m_objlocked->setObjectName(QStringLiteral("objlocked"));
    connect(m_objlocked, &QCheckBox::toggled, this, [this](bool on) { setObjectField([on](Rroomobj &o) { o.flag = on; }, 1); });
    m_darstellung = new QGroupBox;
    m_darstellung->setObjectName(QStringLiteral("darstellung"));
    auto *dl = new QHBoxLayout(m_darstellung);
    dl->setContentsMargins(2, 0, 2, 0);
    m_drawGroup = new QButtonGroup(this);
    for (int i = 0; i < 3; ++i) {
        m_drawButtons[i] = new QRadioButton;
        m_drawGroup->addButton(m_drawButtons[i], i);
        dl->addWidget(m_drawButtons[i]);
    }
    connect(m_drawGroup, &QButtonGroup::idClicked, this,
            [this](int id) { setObjectField([id](Rroomobj &o) { o.byteValue = uint8_t(id); }, 2); });
    m_stateLabel = new QLabel;
    m_stateLabel->setObjectName(QStringLiteral("Label2"));
    m_objstate = new QComboBox;
    m_objstate->setObjectName(QStringLiteral("ComboBox1"));
    for (int i = 0; i <= 10; ++i)
        m_objstate->addItem(QString::number(i));
    connect(m_objstate, &QComboBox::activated, this,
            [this](int i) { setObjectField([i](Rroomobj &o) { o.state = uint8_t(i); }, 3); });
    m_objscript = new QPushButton;
    m_objscript->setObjectName(QStringLiteral("Button1"));
    connect(m_objscript, &QPushButton::clicked, this, [this] {
        if (selection().kind == RoomItem::Object)
            emit scriptRequested(ScriptKey::roomObject(roomName(), selection().index).text(), true);
    });
    og->addWidget(m_instLabelCaption, 0, 0);
    og->addWidget(m_instlabel, 0, 1);
    og->addWidget(m_objlocked, 0, 2);
    og->addWidget(m_darstellung, 1, 0, 1, 3);
    og->addWidget(m_stateLabel, 2, 0);
    og->addWidget(m_objstate, 2, 1);
    og->addWidget(m_objscript, 2, 2);

    // Character panel.
    m_charbox = new QGroupBox;
    m_charbox->setObjectName(QStringLiteral("charbox"));
    auto *cg = new QGridLayout(m_charbox);
    cg->setContentsMargins(4, 2, 4, 2);
    cg->setVerticalSpacing(1);
    m_charInstCaption = new QLabel;
    m_charInstCaption->setObjectName(QStringLiteral("Label1"));
    m_charinst = new QLabel;
    m_charinst->setObjectName(QStringLiteral("charinst"));
    m_charlocked = new QCheckBox;
    m_charlocked->setObjectName(QStringLiteral("charlocked"));
    connect(m_charlocked, &QCheckBox::toggled, this,
            [this](bool on) { setCharacterField([on](Rroomchar &c) { c.flag2 = on; }, 1); });
    m_unmoveable = new QCheckBox;
    m_unmoveable->setObjectName(QStringLiteral("CheckBox2"));
    connect(m_unmoveable, &QCheckBox::toggled, this,
            [this](bool on) { setCharacterField([on](Rroomchar &c) { c.flag1 = !on; }, 2); });
    m_viewLabel = new QLabel;
    m_viewLabel->setObjectName(QStringLiteral("Label5"));
    m_directionGroup = new QButtonGroup(this);
    auto *dirs = new QHBoxLayout;
    // Directions 1 front, 2 back, 3 right, 4 left, as the arrows show them.
    const char *names[4] = {"RadioButton12", "RadioButton10", "RadioButton11", "RadioButton9"};
    const char *arrows[4] = {"\u2193", "\u2191", "\u2192", "\u2190"};
    for (int i = 0; i < 4; ++i) {
        m_directionButtons[i] = new QRadioButton(QString::fromUtf8(arrows[i]));
        m_directionButtons[i]->setObjectName(QLatin1String(names[i]));
        m_directionGroup->addButton(m_directionButtons[i], i + 1);
        dirs->addWidget(m_directionButtons[i]);
    }
    connect(m_directionGroup, &QButtonGroup::idClicked, this,
            [this](int id) { setCharacterField([id](Rroomchar &c) { c.byteValue = uint8_t(id); }, 3); });
    m_charscript = new QPushButton;
    m_charscript->setObjectName(QStringLiteral("Button2"));
    connect(m_charscript, &QPushButton::clicked, this, [this] {
        if (selection().kind == RoomItem::Character)
            emit scriptRequested(ScriptKey::roomCharacter(selection().index).text(), true);
    });
    m_snapto = new QPushButton;
    m_snapto->setObjectName(QStringLiteral("snapto"));
    connect(m_snapto, &QPushButton::clicked, this, [this] {
        const RoomItem item = selection();
        if (item.kind == RoomItem::Character)
            edit(roomText(RoomText::UndoMove, m_catalog).arg(itemName(item)),
                 [this, item](ProjectModel &m) { return roomedit::snapToWalkmap(m, m_room, item.index); });
    });
    cg->addWidget(m_charInstCaption, 0, 0);
    cg->addWidget(m_charinst, 0, 1);
    cg->addWidget(m_charlocked, 0, 2);
    cg->addWidget(m_unmoveable, 0, 3);
    cg->addWidget(m_viewLabel, 1, 0);
    cg->addLayout(dirs, 1, 1, 1, 3);
    cg->addWidget(m_charscript, 2, 0, 1, 2);
    cg->addWidget(m_snapto, 2, 2, 1, 2);

    // FX panel.
    m_fxpanel = new QWidget;
    m_fxpanel->setObjectName(QStringLiteral("fxpanel"));
    auto *fg = new QGridLayout(m_fxpanel);
    fg->setContentsMargins(2, 0, 2, 0);
    fg->setVerticalSpacing(1);
    m_fxtab = new QTabBar;
    m_fxtab->setObjectName(QStringLiteral("fxtab"));
    for (int i = 0; i < 3; ++i)
        m_fxtab->addTab(QString());
    connect(m_fxtab, &QTabBar::currentChanged, this, [this] { updateFxControls(); });
    m_activateshape = new QCheckBox;
    m_activateshape->setObjectName(QStringLiteral("activateshape"));
    connect(m_activateshape, &QCheckBox::toggled, this,
            [this](bool on) { setFxField([on](Rfxshape &s) { fxshapes::setActive(s, on); }, 1); });
    m_effectLabel = new QLabel;
    m_effectLabel->setObjectName(QStringLiteral("Label9"));
    m_fxstyles = new QComboBox;
    m_fxstyles->setObjectName(QStringLiteral("fxstyles"));
    for (int i = 0; i < 3; ++i)
        m_fxstyles->addItem(QString());
    connect(m_fxstyles, &QComboBox::activated, this,
            [this](int i) { setFxField([i](Rfxshape &s) { fxshapes::setEffect(s, i); }, 2); });
    m_strengthLabel = new QLabel;
    m_strengthLabel->setObjectName(QStringLiteral("Label11"));
    m_strength = new QSlider(Qt::Horizontal);
    m_strength->setObjectName(QStringLiteral("TrackBar1"));
    m_strength->setRange(0, 255);
    connect(m_strength, &QSlider::valueChanged, this, [this](int v) {
        setFxField([v](Rfxshape &s) { s.int5 = v; }, MergeStrength);
    });
    connect(m_strength, &QSlider::sliderReleased, this, [this] { endGesture(); });
    m_roomPosition = new QCheckBox;
    m_roomPosition->setObjectName(QStringLiteral("CheckBox1"));
    connect(m_roomPosition, &QCheckBox::toggled, this,
            [this](bool on) { setFxField([on](Rfxshape &s) { s.flag2 = on; }, 4); });
    m_fxroomLabel = new QLabel;
    m_fxroomLabel->setObjectName(QStringLiteral("Label10"));
    m_fxroom = new QLineEdit;
    m_fxroom->setObjectName(QStringLiteral("fxroom"));
    m_fxroom->setEnabled(false);
    m_preview = new OffsetPreview(*this);
    fg->addWidget(m_fxtab, 0, 0, 1, 4);
    fg->addWidget(m_activateshape, 1, 0);
    fg->addWidget(m_effectLabel, 1, 1);
    fg->addWidget(m_fxstyles, 1, 2);
    fg->addWidget(m_strengthLabel, 2, 0, 1, 2);
    fg->addWidget(m_strength, 2, 2);
    fg->addWidget(m_roomPosition, 3, 0, 1, 2);
    fg->addWidget(m_fxroomLabel, 3, 2);
    fg->addWidget(m_fxroom, 3, 3);
    fg->addWidget(m_preview, 0, 4, 4, 1);

    // One panel at a time: the selected thing's, or the FX shapes' in FX mode.
    m_props->addWidget(m_objbox);
    m_props->addWidget(m_charbox);
    m_props->addWidget(m_fxpanel);
    row->addWidget(m_props, 1);
}

void Troom::retranslate()
{
    const MessageCatalog &c = m_catalog;
    m_widthLabel->setText(c.msg(230));
    m_heightLabel->setText(c.msg(231));
    m_doublewalkmap->setText(c.msg(483).trimmed());
    m_zoomLabel->setText(roomText(RoomText::ViewZoom, c));
    m_viewZoomBox->setItemText(0, roomText(RoomText::ZoomFit, c));
    m_grid->setText(roomText(RoomText::Grid, c));
    m_navigator->setToolTip(c.msg(240));
    m_objbox->setTitle(c.msg(30));
    m_instLabelCaption->setText(c.msg(220));
    m_objlocked->setText(c.msg(221));
    m_darstellung->setTitle(c.msg(226));
    for (int i = 0; i < 3; ++i)
        m_drawButtons[i]->setText(c.msg(227 + i));
    m_stateLabel->setText(c.msg(225));
    m_objscript->setText(c.msg(224));
    m_charbox->setTitle(c.msg(31));
    m_charInstCaption->setText(c.msg(220));
    m_charlocked->setText(c.msg(221));
    m_unmoveable->setText(c.msg(223));
    m_viewLabel->setText(c.msg(222));
    m_charscript->setText(c.msg(224));
    m_snapto->setText(roomText(RoomText::SnapToWalkmap, c));
    for (int i = 0; i < 3; ++i)
        m_fxtab->setTabText(i, roomText(RoomText::FxShape, c).arg(i + 1));
    m_activateshape->setText(c.msg(476));
    m_effectLabel->setText(c.msg(477));
    m_fxstyles->setItemText(0, c.msg(478));
    m_fxstyles->setItemText(1, c.msg(479));
    m_fxstyles->setItemText(2, c.msg(544));
    m_strengthLabel->setText(c.msg(481));
    m_roomPosition->setText(c.msg(482));
    m_fxroomLabel->setText(c.msg(29) + QStringLiteral(" :"));
}

void Troom::updateRoomControls()
{
    m_updating = true;
    const Rroom *r = currentRoom();
    const RoomMetrics m = metrics();
    const roomgeo::RoomSizeRange range = roomgeo::roomSizeRange(m);
    for (QWidget *w : std::initializer_list<QWidget *>{m_roomwidth, m_roomheight, m_doublewalkmap, m_zoomfactor})
        w->setEnabled(r);
    m_roomwidth->setRange(range.minColumns, range.maxColumns);
    m_roomheight->setRange(range.minRows, range.maxRows);
    if (r) {
        m_roomwidth->setValue(r->width / m.cell);
        m_roomheight->setValue(r->height / m.cell);
        m_doublewalkmap->setChecked(r->flag1);
        m_zoomfactor->setCurrentIndex(std::clamp(r->zoomStep, 1, 9) - 1);
        m_reslabel->setText(QString::number(r->width) + u'x' + QString::number(r->height));
    } else {
        m_reslabel->setText(QString::number(m.gameWidth) + u'x' + QString::number(m.gameHeight));
    }
    m_updating = false;
    m_navigator->update();
}

void Troom::updatePanels()
{
    m_updating = true;
    const Rroom *r = currentRoom();
    const RoomItem item = selection();
    const bool fx = mode() == RoomEditMode::Fx;
    m_props->setCurrentIndex(fx ? 2 : item.kind == RoomItem::Character ? 1 : 0);
    const Rroomobj *o = r && item.kind == RoomItem::Object ? &r->objects[item.index - 1] : nullptr;
    const Rroomchar *c = r && item.kind == RoomItem::Character ? &m_model.roomChars[item.index] : nullptr;
    m_objbox->setEnabled(o);
    m_charbox->setEnabled(c);
    m_instlabel->setText(o ? o->instanceName : QString());
    m_objlocked->setChecked(o && o->flag);
    m_drawGroup->setExclusive(false);
    for (int i = 0; i < 3; ++i)
        m_drawButtons[i]->setChecked(o && o->byteValue == i);
    m_drawGroup->setExclusive(true);
    m_objstate->setCurrentIndex(o ? std::min<int>(o->state, 10) : 0);
    m_charinst->setText(c ? c->instanceName : QString());
    m_charlocked->setChecked(c && c->flag2);
    m_unmoveable->setChecked(c && !c->flag1);
    m_directionGroup->setExclusive(false);
    for (int i = 0; i < 4; ++i)
        m_directionButtons[i]->setChecked(c && c->byteValue == i + 1);
    m_directionGroup->setExclusive(true);
    m_updating = false;
    updateFxControls();
}

void Troom::updateFxControls()
{
    m_updating = true;
    const Rroom *r = currentRoom();
    const int k = m_fxtab->currentIndex();
    m_fxpanel->setEnabled(r);
    if (r && k >= 0) {
        const Rfxshape &s = r->fx[k];
        const fxshapes::Controls c = fxshapes::controls(s);
        m_activateshape->setChecked(c.active);
        m_effectLabel->setEnabled(c.effectEnabled);
        m_fxstyles->setEnabled(c.effectEnabled);
        m_fxstyles->setCurrentIndex(std::clamp(s.int1, 0, 2));
        m_strengthLabel->setEnabled(c.strengthEnabled);
        m_strength->setEnabled(c.strengthEnabled);
        m_strength->setValue(s.int5);
        m_roomPosition->setEnabled(c.roomPositionEnabled);
        m_roomPosition->setChecked(s.flag2);
        m_fxroom->setText(s.text);
        m_preview->setVisible(c.previewVisible);
        m_preview->backChar = c.backCharPos;
        m_preview->update();
    }
    m_updating = false;
}

void Troom::projectChanged()
{
    // Another project (opened, new, saved elsewhere): its images may share names with the old
    // one's, and the room slot may hold another room.
    const QString project = m_form.session().projectFolder() + u'/' + m_model.settings.projectName;
    if (project != m_project) {
        m_project = project;
        m_images.clear();
        openRoom(m_roomName.isEmpty() ? QStringLiteral("free") : m_roomName);
        return;
    }
    if (m_room > 0 && !m_model.rooms.used(m_room)) {
        // Removed, or moved to another slot.
        openRoom(m_roomName);
        return;
    }
    if (m_room > 0 && m_model.rooms[m_room].name != m_roomName) {
        m_roomName = m_model.rooms[m_room].name; // renamed
        setWindowTitle(m_catalog.msg(209) + m_roomName + u')');
        if (QMdiSubWindow *sub = qobject_cast<QMdiSubWindow *>(parentWidget()))
            sub->setWindowTitle(windowTitle());
    }
    // A placement that went away is no longer selected.
    const RoomItem item = selection();
    const Rroom *r = currentRoom();
    if ((item.kind == RoomItem::Object && (!r || r->objects[item.index - 1].instanceName.isEmpty()))
        || (item.kind == RoomItem::Character
            && (!r || !m_model.roomChars.used(item.index) || m_model.roomChars[item.index].roomName != r->name)))
        m_surface->setSelection({});
    m_surface->setScroll(r ? QPoint(r->scrollX, r->scrollY) : QPoint());
    m_surface->projectChanged();
    updateRoomControls();
    updatePanels();
}

bool Troom::edit(const QString &text, const std::function<bool(ProjectModel &)> &change, quint64 merge)
{
    Q_UNUSED(text);
    m_lastMerge = merge;
    if (!change(m_model))
        return false;
    // Not an undo step yet: the project only counts as modified.
    m_form.session().markModified();
    projectChanged();
    return true;
}

// --- opening

void Troom::openRoom(const QString &name)
{
    const int slot = name == QLatin1String("free") ? 0 : m_model.rooms.find(name);
    m_room = slot;
    m_roomName = slot ? name : QString();
    m_project = m_form.session().projectFolder() + u'/' + m_model.settings.projectName;
    m_drag = Drag::None;
    if (m_pen == WalkmapPen::ScriptPen || m_pen == WalkmapPen::ScriptEraser)
        m_pen = WalkmapPen::Size1;
    m_surface->setPen(m_pen);
    m_surface->setRoom(slot);
    m_surface->setMarkedCell(walkmappen::NoCell);
    m_surface->setSelection({});
    const Rroom *r = currentRoom();
    m_surface->setScroll(r ? QPoint(r->scrollX, r->scrollY) : QPoint());
    setWindowTitle(r ? m_catalog.msg(209) + r->name + u')' : m_catalog.msg(210));
    if (QMdiSubWindow *sub = qobject_cast<QMdiSubWindow *>(parentWidget()))
        sub->setWindowTitle(windowTitle());
    m_fxtab->setCurrentIndex(0);
    updateRoomControls();
    updatePanels();
}

void Troom::setMode(RoomEditMode mode)
{
    m_drag = Drag::None;
    m_surface->setMode(mode);
    if (mode != RoomEditMode::None)
        m_surface->setSelection({});
    updatePanels();
}

void Troom::select(RoomItem item)
{
    m_surface->setSelection(item);
    updatePanels();
}

void Troom::setPen(WalkmapPen pen)
{
    m_pen = pen;
    m_surface->setPen(pen);
    if (pen == WalkmapPen::ScriptEraser)
        emit scriptRequested(QStringLiteral("free"), false);
}

void Troom::setViewZoom(double zoom)
{
    m_viewZoom = zoom;
    m_updating = true;
    for (int i = 0; i < 4; ++i)
        if (kZooms[i] == zoom)
            m_viewZoomBox->setCurrentIndex(i);
    m_updating = false;
    if (zoom > 0)
        m_surface->setZoom(zoom);
    else
        fitZoom();
}

void Troom::fitZoom()
{
    const QSize game = QSize(m_model.settings.gameWidth, m_model.settings.gameHeight) * m_surface->pixelScale();
    const QSize room = m_scrollArea->viewport()->size();
    const double k = std::min(double(room.width()) / game.width(), double(room.height()) / game.height());
    m_surface->setZoom(std::max(0.125, k));
}

QString Troom::itemName(RoomItem item) const
{
    if (m_room <= 0)
        return {};
    if ((item.kind == RoomItem::Object || item.kind == RoomItem::DepthMarker) && item.index >= 1 && item.index <= Rroom::Placements)
        return m_model.rooms[m_room].objects[item.index - 1].instanceName;
    if (item.kind == RoomItem::Character && item.index >= 1 && item.index <= m_model.roomChars.size())
        return m_model.roomChars[item.index].instanceName;
    return {};
}

// --- property panels

void Troom::setObjectField(const std::function<void(Rroomobj &)> &set, int field)
{
    const RoomItem item = selection();
    if (m_updating || item.kind != RoomItem::Object || !currentRoom())
        return;
    endGesture();
    edit(roomText(RoomText::UndoProperty, m_catalog).arg(itemName(item)), [&](ProjectModel &m) {
        Rroomobj &o = m.rooms[m_room].objects[item.index - 1];
        const Rroomobj before = o;
        set(o);
        return !(o == before);
    }, mergeKey(100 + field));
}

void Troom::setCharacterField(const std::function<void(Rroomchar &)> &set, int field)
{
    const RoomItem item = selection();
    if (m_updating || item.kind != RoomItem::Character || !currentRoom())
        return;
    endGesture();
    edit(roomText(RoomText::UndoProperty, m_catalog).arg(itemName(item)), [&](ProjectModel &m) {
        Rroomchar &c = m.roomChars[item.index];
        const Rroomchar before = c;
        set(c);
        return !(c == before);
    }, mergeKey(110 + field));
}

void Troom::setFxField(const std::function<void(Rfxshape &)> &set, int field)
{
    const int k = m_fxtab->currentIndex();
    if (m_updating || !currentRoom() || k < 0)
        return;
    edit(roomText(RoomText::UndoFxShape, m_catalog).arg(k + 1), [&](ProjectModel &m) {
        Rfxshape &s = m.rooms[m_room].fx[k];
        const Rfxshape before = s;
        set(s);
        return !(s == before);
    }, mergeKey(120 + field));
}

void Troom::setRoomSize(int columns, int rows)
{
    if (!currentRoom())
        return;
    edit(roomText(RoomText::UndoRoomSize, m_catalog), [&](ProjectModel &m) {
        const Rroom before = m.rooms[m_room];
        const auto chars = m.roomChars;
        roomgeo::setRoomSize(m, m_room, columns, rows);
        return !(m.rooms[m_room] == before) || !std::equal(chars.begin(), chars.end(), m.roomChars.begin());
    });
}

void Troom::setScroll(QPoint scroll, bool merge)
{
    if (!currentRoom())
        return;
    edit(roomText(RoomText::UndoScroll, m_catalog), [&](ProjectModel &m) {
        Rroom &r = m.rooms[m_room];
        const QPoint before(r.scrollX, r.scrollY);
        r.scrollX = scroll.x();
        r.scrollY = scroll.y();
        roomgeo::correctpos(m, m_room);
        return QPoint(r.scrollX, r.scrollY) != before;
    }, merge ? mergeKey(MergeScroll) : 0);
}

// --- menus

void Troom::askScript(RoomItem item)
{
    if (item.kind == RoomItem::Object)
        emit scriptRequested(ScriptKey::roomObject(roomName(), item.index).text(), false);
    else if (item.kind == RoomItem::Character)
        emit scriptRequested(ScriptKey::roomCharacter(item.index).text(), false);
    else
        emit scriptRequested(ScriptKey::room(roomName()).text(), false);
}

void Troom::removeSelected()
{
    const RoomItem item = selection();
    if (!currentRoom() || (item.kind != RoomItem::Object && item.kind != RoomItem::Character))
        return;
    if (!m_model.settings.silentDelete
        && !m_form.questions().yesNoDefaultNo(this, m_catalog.msg(365), roomedit::removalQuestion(m_model, m_room, item, m_catalog)))
        return;
    endGesture();
    const QString name = itemName(item);
    m_surface->setSelection({});
    edit(roomText(RoomText::UndoRemove, m_catalog).arg(name),
         [&](ProjectModel &m) { return roomedit::remove(m, m_room, item); });
    if (item.kind == RoomItem::Object)
        emit scriptRequested(QStringLiteral("free"), false);
    updatePanels();
}

void Troom::removeBackground(bool parallax)
{
    Rroom *r = currentRoom();
    if (!r || (parallax ? r->parallax : r->background).isEmpty())
        return;
    if (!m_model.settings.silentDelete
        && !m_form.questions().yesNoDefaultNo(this, m_catalog.msg(365), m_catalog.msg(parallax ? 219 : 218)))
        return;
    endGesture();
    edit(roomText(RoomText::UndoBackground, m_catalog), [&](ProjectModel &m) {
        (parallax ? m.rooms[m_room].parallax : m.rooms[m_room].background).clear();
        return true;
    });
}

void Troom::order(bool front)
{
    const RoomItem item = selection();
    if (!currentRoom() || item.isNone())
        return;
    endGesture();
    RoomItem now = item;
    edit(roomText(RoomText::UndoOrder, m_catalog).arg(itemName(item)), [&](ProjectModel &m) {
        now = front ? roomedit::toFront(m, m_room, item) : roomedit::toBack(m, m_room, item);
        return now != item;
    });
    select(now);
}

void Troom::showRoomMenu(QPoint globalPos)
{
    const RoomItem item = selection();
    const Rroom *r = currentRoom();
    QMenu menu(this);
    m_lastMenu = &menu;
    if (item.kind == RoomItem::Object || item.kind == RoomItem::Character) {
        const bool object = item.kind == RoomItem::Object;
        menu.setObjectName(object ? QStringLiteral("roommenu") : QStringLiteral("charpopup"));
        menu.addAction(m_catalog.msg(235), this, &Troom::removeSelected)
            ->setObjectName(object ? QStringLiteral("Entfernen1") : QStringLiteral("Entfernen2"));
        QAction *show = menu.addAction(m_catalog.msg(object ? 436 : 437));
        show->setObjectName(object ? QStringLiteral("ImObjektfensterffnen1") : QStringLiteral("ImCharacterfensterzeigen1"));
        // The object and character editors are not part of the editor yet.
        show->setEnabled(false);
        menu.addAction(m_catalog.msg(236), this, [this] { order(false); })
            ->setObjectName(object ? QStringLiteral("NachHintensetzen1") : QStringLiteral("NachHintensetzen2"));
        menu.addAction(m_catalog.msg(237), this, [this] { order(true); })
            ->setObjectName(object ? QStringLiteral("NachVorneSetzen1") : QStringLiteral("achVornesetzen1"));
    } else if (r && (!r->background.isEmpty() || !r->parallax.isEmpty())) {
        menu.setObjectName(QStringLiteral("bgpopup"));
        menu.addAction(m_catalog.msg(233), this, [this] { removeBackground(false); })
            ->setObjectName(QStringLiteral("Hintergrundentfernen1"));
        menu.addAction(m_catalog.msg(234), this, [this] { removeBackground(true); })
            ->setObjectName(QStringLiteral("ParalaxHintergrundentfernen1"));
    } else {
        m_lastMenu = nullptr;
        return;
    }
    menu.exec(globalPos);
    m_lastMenu = nullptr;
}

void Troom::showPenMenu(QPoint globalPos)
{
    Rroom *r = currentRoom();
    if (!r)
        return;
    const QPoint cell = roomgeo::walkmapCellAt(m_surface->toRoom(m_surface->mapFromGlobal(globalPos)), metrics());
    const walkmappen::PenMenuState state = walkmappen::penMenuState(r->walkmap, cell, markedCell());
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("penselect"));
    m_lastMenu = &menu;
    auto *modes = new QActionGroup(&menu);
    auto add = [&](const char *name, int text, bool checked, QActionGroup *group, auto slot) {
        QAction *a = menu.addAction(m_catalog.msg(text), this, slot);
        a->setObjectName(QLatin1String(name));
        if (group) {
            a->setCheckable(true);
            a->setChecked(checked);
            group->addAction(a);
        }
        return a;
    };
    add("Mode1", 484, !m_block, modes, [this] { m_block = false; });
    add("Block1", 485, m_block, modes, [this] { m_block = true; });
    menu.addSeparator();
    auto *pens = new QActionGroup(&menu);
    add("Pensize11", 486, m_pen == WalkmapPen::Size1, pens, [this] { setPen(WalkmapPen::Size1); });
    add("Pensize21", 487, m_pen == WalkmapPen::Size2, pens, [this] { setPen(WalkmapPen::Size2); });
    add("Pensize31", 488, m_pen == WalkmapPen::Size3, pens, [this] { setPen(WalkmapPen::Size3); });
    add("ScriptPen1", 561, m_pen == WalkmapPen::ScriptPen, pens, [this] { setPen(WalkmapPen::ScriptPen); })
        ->setEnabled(state.scriptPen);
    add("ScriptEraser1", 562, m_pen == WalkmapPen::ScriptEraser, pens, [this] { setPen(WalkmapPen::ScriptEraser); });
    menu.addSeparator();
    add("CopyScript2", 376, false, nullptr, [this, cell] { m_surface->setMarkedCell(cell); })->setEnabled(state.copyScript);
    add("PasteScript2", 377, false, nullptr, [this, cell] {
        endGesture();
        QPoint marked = markedCell();
        edit(roomText(RoomText::UndoCellScript, m_catalog),
             [&](ProjectModel &m) { return walkmappen::pasteScript(m.rooms[m_room].walkmap, marked, cell); });
        m_surface->setMarkedCell(marked);
    })->setEnabled(state.pasteScript);
    add("EditScript1", 224, false, nullptr, [this, cell] { editCellScript(cell); });
    menu.exec(globalPos);
    m_lastMenu = nullptr;
}

void Troom::showInventoryMenu(QPoint globalPos)
{
    Rroom *r = currentRoom();
    if (!r || !r->flag2)
        return;
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("itemmappopup"));
    m_lastMenu = &menu;
    menu.addAction(m_catalog.msg(232), this, [this] {
        if (!m_model.settings.silentDelete && !m_form.questions().yesNoDefaultNo(this, m_catalog.msg(365), m_catalog.msg(216)))
            return;
        endGesture();
        edit(roomText(RoomText::UndoInventory, m_catalog), [this](ProjectModel &m) {
            m.rooms[m_room].flag2 = false;
            return true;
        });
    })->setObjectName(QStringLiteral("Feldentfernen1"));
    menu.exec(globalPos);
    m_lastMenu = nullptr;
}

void Troom::editCellScript(QPoint cell)
{
    if (!currentRoom())
        return;
    endGesture();
    edit(roomText(RoomText::UndoCellScript, m_catalog),
         [&](ProjectModel &m) { return walkmappen::ensureScript(m.rooms[m_room].walkmap, cell); });
    emit scriptRequested(ScriptKey::walkmapCell(roomName(), cell.x(), cell.y()).text(), true);
}

// --- mouse and keys

bool Troom::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_scrollArea->viewport()) {
        if (event->type() == QEvent::Resize && m_viewZoom == 0)
            fitZoom();
        if (event->type() == QEvent::Wheel) {
            auto *w = static_cast<QWheelEvent *>(event);
            if (w->modifiers() & Qt::ControlModifier) {
                // Ctrl+wheel steps through 50, 100 and 200 %.
                const double now = m_surface->zoom();
                const double next = w->angleDelta().y() > 0 ? (now < 1 ? 1 : 2) : (now > 1 ? 1 : 0.5);
                setViewZoom(next);
                return true;
            }
        }
        return false;
    }
    if (watched != m_surface)
        return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        mousePress(static_cast<QMouseEvent *>(event));
        return false;
    case QEvent::MouseMove:
        mouseMove(static_cast<QMouseEvent *>(event));
        return false;
    case QEvent::MouseButtonRelease:
        mouseRelease(static_cast<QMouseEvent *>(event));
        return false;
    case QEvent::MouseButtonDblClick:
        mouseDoubleClick(static_cast<QMouseEvent *>(event));
        return true;
    case QEvent::KeyPress:
        return keyPress(static_cast<QKeyEvent *>(event));
    case QEvent::KeyRelease:
        if (!static_cast<QKeyEvent *>(event)->isAutoRepeat())
            endGesture(); // a run of arrow keys ends when the key goes up
        return false;
    case QEvent::DragEnter:
    case QEvent::DragMove:
        return dragEnter(static_cast<QDropEvent *>(event), false);
    case QEvent::Drop:
        return dragEnter(static_cast<QDropEvent *>(event), true);
    default:
        return false;
    }
}

void Troom::mousePress(QMouseEvent *event)
{
    Rroom *r = currentRoom();
    if (!r)
        return;
    endGesture();
    m_surface->setFocus();
    const QPoint p = m_surface->toRoom(event->position().toPoint());
    m_anchor = m_dragStart = p;
    m_drag = Drag::None;
    const RoomMetrics m = metrics();
    switch (mode()) {
    case RoomEditMode::None:
        pressNone(event, p);
        break;
    case RoomEditMode::Walkmap:
        if (event->button() == Qt::LeftButton) {
            m_drag = Drag::Walkmap;
            m_lastCell = QPoint(-1, -1);
            mouseMove(event);
        }
        break;
    case RoomEditMode::Depth:
        if (event->button() == Qt::LeftButton) {
            m_depthLine = roomedit::depthLineAt(*r, roomedit::depthRowAt(p.y(), m));
            if (m_depthLine)
                m_drag = Drag::DepthLine;
        }
        break;
    case RoomEditMode::Inventory:
        if (event->button() != Qt::LeftButton)
            break;
        if (!r->flag2) {
            m_drag = Drag::Band;
            m_surface->setFieldBand(QRect());
        } else {
            m_inventoryDrag = roomedit::beginInventoryDrag(*r, p, m);
            if (m_inventoryDrag.zone != roomedit::InventoryZone::None)
                m_drag = Drag::Inventory;
        }
        break;
    case RoomEditMode::Fx:
        if (event->button() == Qt::LeftButton) {
            m_fxHandle = fxshapes::handleAt(*r, p, m);
            if (!m_fxHandle.isNone()) {
                m_drag = Drag::Fx;
                m_fxLineAtStart = r->fx[m_fxHandle.shape - 1].int2;
                m_fxtab->setCurrentIndex(m_fxHandle.shape - 1);
            }
        }
        break;
    }
}

void Troom::pressNone(QMouseEvent *event, QPoint p)
{
    RoomItem below;
    RoomItem hit = RoomScene(m_model, m_room).hitTest(p, &below);
    if (event->button() == Qt::MiddleButton)
        hit = below; // the thing under the topmost one
    if (hit.kind == RoomItem::DepthMarker) {
        select(hit);
        if (event->button() == Qt::LeftButton)
            m_drag = Drag::DepthMarker;
        return;
    }
    select(hit);
    askScript(hit);
    if (!hit.isNone() && event->button() == Qt::LeftButton)
        m_drag = Drag::Move;
}

void Troom::mouseMove(QMouseEvent *event)
{
    Rroom *r = currentRoom();
    if (!r || m_drag == Drag::None || !(event->buttons() & (Qt::LeftButton | Qt::MiddleButton)))
        return;
    const QPoint p = m_surface->toRoom(event->position().toPoint());
    const RoomMetrics m = metrics();
    switch (m_drag) {
    case Drag::Move: {
        const RoomItem item = selection();
        const QPoint d = p - m_anchor;
        m_anchor = p;
        if (d.isNull())
            break;
        edit(roomText(RoomText::UndoMove, m_catalog).arg(itemName(item)),
             [&](ProjectModel &model) { return roomedit::dragBy(model, m_room, item, d.x(), d.y()); }, mergeKey(MergeMove));
        break;
    }
    case Drag::DepthMarker: {
        const int slot = selection().index;
        edit(roomText(RoomText::UndoMove, m_catalog).arg(itemName(selection())), [&](ProjectModel &model) {
            return roomedit::setObjectDepthLine(model.rooms[m_room], slot, roomedit::depthRowAt(p.y(), m), m);
        }, mergeKey(MergeMarker));
        break;
    }
    case Drag::DepthLine:
        edit(roomText(RoomText::UndoDepthLines, m_catalog), [&](ProjectModel &model) {
            return roomedit::dragDepthLine(model.rooms[m_room], m_depthLine, roomedit::depthRowAt(p.y(), m), m);
        }, mergeKey(MergeDepth));
        break;
    case Drag::Band:
        // On the screen, as it is drawn: right of and below the start only.
        if (p.x() > m_dragStart.x() && p.y() > m_dragStart.y())
            m_surface->setFieldBand(QRect(m_dragStart - QPoint(r->scrollX, r->scrollY), p - QPoint(r->scrollX, r->scrollY)));
        else
            m_surface->setFieldBand(QRect());
        break;
    case Drag::Inventory:
        edit(roomText(RoomText::UndoInventory, m_catalog), [&](ProjectModel &model) {
            return roomedit::applyInventoryDrag(model.rooms[m_room], m_inventoryDrag, p, m);
        }, mergeKey(MergeInventory));
        break;
    case Drag::Walkmap: {
        const QPoint cell = roomgeo::walkmapCellAt(p, m);
        if (cell == m_lastCell)
            break;
        m_lastCell = cell;
        QPoint marked = markedCell();
        edit(roomText(RoomText::UndoWalkmap, m_catalog), [&](ProjectModel &model) {
            return walkmappen::applyTool(model.rooms[m_room].walkmap, m_pen, m_block, cell, marked);
        }, mergeKey(MergeStroke));
        m_surface->setMarkedCell(marked);
        break;
    }
    case Drag::Fx: {
        const int k = m_fxHandle.shape - 1;
        const QPoint d = p - m_anchor;
        m_anchor = p;
        const QSize size(r->width, r->height);
        edit(roomText(RoomText::UndoFxShape, m_catalog).arg(k + 1), [&](ProjectModel &model) {
            Rfxshape &s = model.rooms[m_room].fx[k];
            switch (m_fxHandle.kind) {
            case fxshapes::Handle::Whole:
                return fxshapes::dragWhole(s, d.x(), d.y(), size);
            case fxshapes::Handle::Corner:
                return fxshapes::dragCorner(s, m_fxHandle.corner, d.x(), d.y(), size);
            case fxshapes::Handle::MirrorLine:
                return fxshapes::dragMirrorLine(s, m_fxLineAtStart, p.y() - m_dragStart.y(), size.height(), m);
            default:
                return false;
            }
        }, mergeKey(MergeFx));
        break;
    }
    case Drag::None:
        break;
    }
}

void Troom::mouseRelease(QMouseEvent *event)
{
    Rroom *r = currentRoom();
    const Drag drag = m_drag;
    m_drag = Drag::None;
    endGesture();
    if (!r)
        return;
    if (drag == Drag::Band) {
        const QRect band = m_surface->view().fieldBand.value_or(QRect());
        m_surface->setFieldBand(std::nullopt);
        if (band.isValid())
            edit(roomText(RoomText::UndoInventory, m_catalog), [&](ProjectModel &model) {
                return roomedit::makeInventoryField(model.rooms[m_room], band.translated(r->scrollX, r->scrollY), metrics());
            });
    }
    if (event->button() != Qt::RightButton)
        return;
    const QPoint global = event->globalPosition().toPoint();
    switch (mode()) {
    case RoomEditMode::None:
        showRoomMenu(global);
        break;
    case RoomEditMode::Walkmap:
        showPenMenu(global);
        break;
    case RoomEditMode::Inventory:
        showInventoryMenu(global);
        break;
    default:
        break;
    }
}

void Troom::mouseDoubleClick(QMouseEvent *event)
{
    if (!currentRoom() || mode() != RoomEditMode::Walkmap || event->button() != Qt::LeftButton
        || m_pen == WalkmapPen::ScriptPen || m_pen == WalkmapPen::ScriptEraser)
        return;
    editCellScript(roomgeo::walkmapCellAt(m_surface->toRoom(event->position().toPoint()), metrics()));
}

bool Troom::keyPress(QKeyEvent *event)
{
    Rroom *r = currentRoom();
    if (!r || mode() != RoomEditMode::None)
        return false;
    const RoomItem item = selection();
    const bool thing = item.kind == RoomItem::Object || item.kind == RoomItem::Character;
    std::optional<roomedit::ArrowKey> arrow;
    switch (event->key()) {
    case Qt::Key_Delete:
        if (thing)
            removeSelected();
        else
            removeBackground(false);
        return true;
    case Qt::Key_Left: arrow = roomedit::ArrowKey::Left; break;
    case Qt::Key_Right: arrow = roomedit::ArrowKey::Right; break;
    case Qt::Key_Up: arrow = roomedit::ArrowKey::Up; break;
    case Qt::Key_Down: arrow = roomedit::ArrowKey::Down; break;
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        if (thing) {
            const RoomItem next = roomedit::cycleSelection(m_model, m_room, item, event->key() == Qt::Key_PageDown);
            select(next);
            askScript(next);
        }
        return true;
    default:
        return false;
    }
    if (thing)
        edit(roomText(RoomText::UndoMove, m_catalog).arg(itemName(item)),
             [&](ProjectModel &m) { return roomedit::nudge(m, m_room, item, *arrow); }, mergeKey(MergeArrows));
    return true;
}

// --- drops from the trees

bool Troom::dragEnter(QDropEvent *event, bool drop)
{
    const QMimeData *data = event->mimeData();
    if (!currentRoom() || !data->hasFormat(PoolTreeModel::nodeMimeType()))
        return false;
    QDataStream in(data->data(PoolTreeModel::nodeMimeType()));
    quintptr model = 0, node = 0;
    int top = -1, image = -1;
    QString name;
    in >> model >> node >> top >> image >> name;
    const bool media = model == quintptr(m_form.mediaModel());
    const bool objectsAllowed = mode() == RoomEditMode::None || mode() == RoomEditMode::Fx;
    const bool accepted = media ? image == nodeimage::Image
                                : objectsAllowed && (image == nodeimage::Object || image == nodeimage::Character);
    if (!accepted) {
        event->ignore();
        return true;
    }
    event->acceptProposedAction();
    if (!drop)
        return true;
    const QPoint p = m_surface->toRoom(event->position().toPoint());
    if (media) {
        // Shown after the drop has finished.
        const QPoint global = m_surface->mapToGlobal(event->position().toPoint());
        QMetaObject::invokeMethod(this, [this, name, global] { addBackgroundMenu(name, global); }, Qt::QueuedConnection);
        return true;
    }
    endGesture();
    const bool object = image == nodeimage::Object;
    int placed = 0;
    edit(roomText(RoomText::UndoPlace, m_catalog).arg(name), [&](ProjectModel &m) {
        placed = object ? roomedit::placeObject(m, m_room, name, p) : roomedit::placeCharacter(m, m_room, name, p);
        return placed > 0;
    });
    m_images.preloadRoom(m_model, m_room);
    select({});
    return true;
}

void Troom::addBackgroundMenu(const QString &image, QPoint globalPos)
{
    if (!currentRoom())
        return;
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("addbg"));
    m_lastMenu = &menu;
    auto set = [this, image](bool parallax) {
        // Only an image that can be shown becomes the background.
        if (!m_images.image(m_model, image)) {
            for (const ImageProblem &problem : m_images.takeProblems())
                m_form.questions().error(this, m_catalog.msg(366), problem.text(m_catalog));
            return;
        }
        endGesture();
        edit(roomText(RoomText::UndoBackground, m_catalog), [&](ProjectModel &m) {
            QString &slot = parallax ? m.rooms[m_room].parallax : m.rooms[m_room].background;
            if (slot == image)
                return false;
            slot = image;
            return true;
        });
    };
    menu.addAction(m_catalog.msg(238), this, [set] { set(false); })->setObjectName(QStringLiteral("AlsHintergrundeinfgen1"));
    menu.addAction(m_catalog.msg(239), this, [set] { set(true); })
        ->setObjectName(QStringLiteral("AlsParalaxhintergrundeinfgen1"));
    menu.exec(globalPos);
    m_lastMenu = nullptr;
}

void Troom::closeEvent(QCloseEvent *event)
{
    const QWidget *frame = parentWidget() ? parentWidget() : this;
    m_settings.writesetting(QStringLiteral("Raum Top"), QString::number(frame->y()));
    m_settings.writesetting(QStringLiteral("Raum Left"), QString::number(frame->x()));
    QWidget::closeEvent(event);
}

} // namespace mb
