#include "assets/tmausbox.h"

#include "assets/assettexts.h"
#include "assets/cursoredit.h"
#include "assets/framepreview.h"
#include "assets/markerwidget.h"
#include "project/messagecatalog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

namespace mb {

namespace {
enum Field { FieldClick = 40 };
}

Tmausbox::Tmausbox(TForm1 &form, ProjectSession &session, MessageCatalog &catalog, EditorSettings &settings, QWidget *parent)
    : AssetBox(AssetKind::Cursor, form, session, catalog, settings, nullptr, parent)
{
    setObjectName(QStringLiteral("mausbox"));
    m_preview->setFixedSize(96, 96);
    frameCaption()->setText(QStringLiteral("Zoom 3X"));

    auto *fields = fieldsLayout();
    auto *viewRow = new QHBoxLayout;
    viewRow->addWidget(new QLabel(QStringLiteral("32x32")));
    m_view = new QLabel;
    m_view->setObjectName(QStringLiteral("cursorview"));
    m_view->setFixedSize(32, 32);
    m_view->setStyleSheet(QStringLiteral("background: black"));
    viewRow->addWidget(m_view);
    viewRow->addStretch(1);
    fields->addLayout(viewRow);

    auto *commandRow = new QHBoxLayout;
    m_commandLabel = new QLabel(catalog.msg(265));
    m_command = new QComboBox;
    m_command->setObjectName(QStringLiteral("command"));
    commandRow->addWidget(m_commandLabel);
    commandRow->addWidget(m_command, 1);
    fields->addLayout(commandRow);
    connect(m_command, &QComboBox::activated, this, [this](int index) {
        m_session.editRecord<Rmouse>(elementChange(), assetText(AssetText::UndoCommand, lang()),
                                     [&](Rmouse &r) { cursoredit::setCommand(r, m_state, index + 1); });
    });

    auto *group = new QGroupBox(catalog.msg(415));
    auto *groupLayout = new QVBoxLayout(group);
    m_rightClick = new QButtonGroup(this);
    const int texts[3] = {416, 417, 524};
    for (int i = 0; i < 3; ++i) {
        auto *b = new QRadioButton(catalog.msg(texts[i]));
        m_rightClick->addButton(b, i);
        groupLayout->addWidget(b);
    }
    fields->addWidget(group);
    connect(m_rightClick, &QButtonGroup::idClicked, this, [this](int id) {
        m_session.editRecord<GameSettings>(ProjectChange::settings(), assetText(AssetText::UndoMouseSetting, lang()),
                                           [&](GameSettings &s) { s.rightClickMode = id; });
    });
    m_wheel = new QCheckBox(catalog.msg(434));
    m_wheel->setObjectName(QStringLiteral("mousewhell"));
    fields->addWidget(m_wheel);
    connect(m_wheel, &QCheckBox::clicked, this, [this](bool on) {
        m_session.editRecord<Rmouse>(ProjectChange::mouse(), assetText(AssetText::UndoMouseSetting, lang()),
                                     [&](Rmouse &r) { r.useWheel = on; });
    });

    m_marker = new MarkerWidget(MarkerWidget::Cross, QColor(255, 220, 0), m_preview);
    m_marker->setObjectName(QStringLiteral("clickpoint"));
    connect(m_marker, &MarkerWidget::moved, this, [this](QPoint p) {
        const auto m = cursoredit::dragClickMarker(p);
        m_marker->move(m.marker);
        m_marker->setToolTip(cursoredit::clickPointHint(m.clickPoint, m_catalog));
        m_session.editRecord<Rmouse>(elementChange(), assetText(AssetText::UndoClickPoint, lang()),
                                     [&](Rmouse &r) { cursoredit::setClickPoint(r, m_state, m.clickPoint); },
                                     ProjectSession::mergeKey(this, FieldClick, m_state));
    });
    connect(m_marker, &MarkerWidget::released, this, [this] { m_session.endGesture(); });

    m_timer = new QTimer(this);
    m_timer->setObjectName(QStringLiteral("cursoranimation"));
    connect(m_timer, &QTimer::timeout, this, &Tmausbox::stepCursor);
    setWindowTitle(catalog.msg(53));
    refresh();
}

void Tmausbox::dragClickMarker(QPoint topLeft)
{
    emit m_marker->moved(topLeft);
    emit m_marker->released();
}

void Tmausbox::showFields()
{
    const bool was = m_loading;
    m_loading = true;
    const ProjectModel &m = model();
    const QStringList entries = cursoredit::commandEntries(m.commands, m_catalog);
    m_command->clear();
    m_command->addItems(entries);
    const int stored = m.mouse.command[size_t(m_state - 1)];
    const int shown = cursoredit::shownCommand(stored, int(entries.size()));
    m_command->setCurrentIndex(shown - 1);
    const bool editable = cursoredit::commandEditable(m_state);
    m_command->setEnabled(editable);
    m_commandLabel->setEnabled(editable);
    if (QAbstractButton *b = m_rightClick->button(m.settings.rightClickMode))
        b->setChecked(true);
    m_wheel->setChecked(m.mouse.useWheel);
    const QPoint click(m.mouse.clickX[size_t(m_state - 1)], m.mouse.clickY[size_t(m_state - 1)]);
    m_marker->move(cursoredit::clickMarkerPosition(click));
    m_marker->setToolTip(cursoredit::clickPointHint(click, m_catalog));
    frameCaption()->setText(QStringLiteral("Zoom 3X"));
    m_loading = was;
    // A stored command beyond the entries (game commands were removed) is Walkto again.
    if (shown != stored) {
        const int cursor = m_state;
        QMetaObject::invokeMethod(this, [this, cursor] {
            m_session.editRecord<Rmouse>(ProjectChange::mouse(cursor - 1), assetText(AssetText::UndoCommand, lang()),
                                         [&](Rmouse &r) { cursoredit::setCommand(r, cursor, 1); });
        }, Qt::QueuedConnection);
    }
    // The continuous animation starts again when the cursor, its speed or its loop changed.
    const int length = framestrip::animationLength(view(), m_state);
    const int speed = framestrip::barSpeed(view().speed(m_state));
    if (length != m_viewLength || m_state != m_viewCursor || speed != m_viewSpeed) {
        m_viewLength = length;
        m_viewCursor = m_state;
        m_viewSpeed = speed;
        m_viewFrame = 0;
        m_timer->stop();
        if (length > 0)
            m_timer->start(framestrip::frameInterval(speed));
        stepCursor();
    }
}

void Tmausbox::stepCursor()
{
    m_viewFrame = m_viewLength ? framestrip::nextAnimationFrame(m_viewFrame, m_viewLength) : 1;
    const QImage *img = picture(view().frame(m_state, m_viewFrame).image);
    m_view->setPixmap(img ? QPixmap::fromImage(img->scaled(32, 32, Qt::KeepAspectRatio)) : QPixmap());
}

} // namespace mb
