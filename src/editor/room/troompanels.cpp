#include "room/troom.h"

// The room window's panels: building them, filling them from the project and turning their
// signals into room changes.
#include "app/tform1.h"
#include "project/messagecatalog.h"
#include "project/projectmodel.h"
#include "project/projectsession.h"
#include "room/roompanels.h"
#include "room/roomsurface.h"
#include "room/roomtexts.h"
#include "script/scriptkey.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTabBar>

#include <algorithm>
#include <cmath>

namespace mb {

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
            if (!m_updating) {
                endGesture();
                commands().setRoomSize(m_roomwidth->value(), m_roomheight->value());
            }
        });
    }
    m_reslabel = new QLabel;
    m_reslabel->setObjectName(QStringLiteral("reslabel"));
    m_doublewalkmap = new QCheckBox;
    m_doublewalkmap->setObjectName(QStringLiteral("doublewalkmap"));
    connect(m_doublewalkmap, &QCheckBox::toggled, this, [this](bool on) {
        if (m_updating)
            return;
        endGesture();
        commands().setDoubleWalkmap(on);
    });
    m_zoomfactor = new QComboBox;
    m_zoomfactor->setObjectName(QStringLiteral("zoomfactor"));
    for (int i = 1; i <= 9; ++i)
        m_zoomfactor->addItem(QString::number(i));
    connect(m_zoomfactor, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (m_updating || index < 0)
            return;
        endGesture();
        commands().setZoomStep(index + 1);
    });
    m_zoomLabel = new QLabel;
    m_viewZoomBox = new QComboBox;
    m_viewZoomBox->setObjectName(QStringLiteral("viewzoom"));
    m_viewZoomBox->addItems({QString(), QStringLiteral("50 %"), QStringLiteral("100 %"), QStringLiteral("200 %")});
    m_viewZoomBox->setCurrentIndex(2);
    connect(m_viewZoomBox, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (!m_updating && index >= 0)
            setViewZoom(Zooms[index]);
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
    connect(m_objlocked, &QCheckBox::toggled, this, [this](bool on) { setObjectField([on](Rroomobj &o) { o.flag = on; }); });
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
            [this](int id) { setObjectField([id](Rroomobj &o) { o.byteValue = uint8_t(id); }); });
    m_stateLabel = new QLabel;
    m_stateLabel->setObjectName(QStringLiteral("Label2"));
    m_objstate = new QComboBox;
    m_objstate->setObjectName(QStringLiteral("ComboBox1"));
    for (int i = 0; i <= 10; ++i)
        m_objstate->addItem(QString::number(i));
    connect(m_objstate, &QComboBox::activated, this,
            [this](int i) { setObjectField([i](Rroomobj &o) { o.state = uint8_t(i); }); });
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
            [this](bool on) { setCharacterField([on](Rroomchar &c) { c.flag2 = on; }); });
    m_unmoveable = new QCheckBox;
    m_unmoveable->setObjectName(QStringLiteral("CheckBox2"));
    connect(m_unmoveable, &QCheckBox::toggled, this,
            [this](bool on) { setCharacterField([on](Rroomchar &c) { c.flag1 = !on; }); });
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
            [this](int id) { setCharacterField([id](Rroomchar &c) { c.byteValue = uint8_t(id); }); });
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
        if (item.kind == RoomItem::Character) {
            endGesture();
            commands().snapToWalkmap(item.index);
        }
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
            [this](bool on) { setFxField([on](Rfxshape &s) { fxshapes::setActive(s, on); }); });
    m_effectLabel = new QLabel;
    m_effectLabel->setObjectName(QStringLiteral("Label9"));
    m_fxstyles = new QComboBox;
    m_fxstyles->setObjectName(QStringLiteral("fxstyles"));
    for (int i = 0; i < 3; ++i)
        m_fxstyles->addItem(QString());
    connect(m_fxstyles, &QComboBox::activated, this,
            [this](int i) { setFxField([i](Rfxshape &s) { fxshapes::setEffect(s, i); }); });
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
            [this](bool on) { setFxField([on](Rfxshape &s) { s.flag2 = on; }); });
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
    const roompanels::RoomControls c = roompanels::roomControls(m_model, m_room);
    for (QWidget *w : std::initializer_list<QWidget *>{m_roomwidth, m_roomheight, m_doublewalkmap, m_zoomfactor})
        w->setEnabled(c.enabled);
    m_roomwidth->setRange(c.range.minColumns, c.range.maxColumns);
    m_roomheight->setRange(c.range.minRows, c.range.maxRows);
    if (c.enabled) {
        m_roomwidth->setValue(c.columns);
        m_roomheight->setValue(c.rows);
        m_doublewalkmap->setChecked(c.doubleWalkmap);
        m_zoomfactor->setCurrentIndex(c.zoomIndex);
    }
    m_reslabel->setText(c.resolution);
    m_updating = false;
    m_navigator->update();
}

void Troom::updatePanels()
{
    m_updating = true;
    const roompanels::PlacementPanel p = roompanels::placementPanel(m_model, m_room, selection(), mode());
    m_props->setCurrentIndex(p.page);
    m_objbox->setEnabled(p.objectEnabled);
    m_charbox->setEnabled(p.characterEnabled);
    m_instlabel->setText(p.objectInstance);
    m_objlocked->setChecked(p.objectLocked);
    m_drawGroup->setExclusive(false);
    for (int i = 0; i < 3; ++i)
        m_drawButtons[i]->setChecked(p.layer == i);
    m_drawGroup->setExclusive(true);
    m_objstate->setCurrentIndex(p.state);
    m_charinst->setText(p.characterInstance);
    m_charlocked->setChecked(p.characterLocked);
    m_unmoveable->setChecked(p.immovable);
    m_directionGroup->setExclusive(false);
    for (int i = 0; i < 4; ++i)
        m_directionButtons[i]->setChecked(p.direction == i + 1);
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


// --- property panels: each click is a step of its own; the sliding controls (strength, the
// offset preview) merge while they are dragged.

void Troom::setObjectField(const std::function<void(Rroomobj &)> &set)
{
    const RoomItem item = selection();
    if (m_updating || item.kind != RoomItem::Object)
        return;
    endGesture();
    commands().setObject(item.index, set);
}

void Troom::setCharacterField(const std::function<void(Rroomchar &)> &set)
{
    const RoomItem item = selection();
    if (m_updating || item.kind != RoomItem::Character)
        return;
    endGesture();
    commands().setCharacter(item.index, set);
}

void Troom::setFxField(const std::function<void(Rfxshape &)> &set, int merge)
{
    const int k = m_fxtab->currentIndex();
    if (m_updating || k < 0)
        return;
    if (!merge)
        endGesture();
    commands().setFxShape(k + 1, set, merge ? mergeKey(merge) : 0);
}

} // namespace mb
