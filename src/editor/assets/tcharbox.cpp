#include "assets/tcharbox.h"

#include "project/asker.h"
#include "app/tform1.h"
#include "assets/assettexts.h"
#include "assets/framepreview.h"
#include "assets/markerwidget.h"
#include "dialogs/ttexteingabe.h"
#include "project/editorsettings.h"
#include "project/messagecatalog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QToolButton>
#include <QVBoxLayout>

namespace mb {

namespace {

enum Field { FieldFoot = 20, FieldWalkSound, FieldZoom };

QColor fromColourValue(uint32_t v) { return QColor(int(v & 0xFF), int((v >> 8) & 0xFF), int((v >> 16) & 0xFF)); }
uint32_t toColourValue(const QColor &c) { return uint32_t(c.red()) | uint32_t(c.green()) << 8 | uint32_t(c.blue()) << 16; }

} // namespace

Tcharbox::Tcharbox(TForm1 &form, ProjectSession &session, MessageCatalog &catalog, EditorSettings &settings,
                   Tskriptzeile *scriptLine, Ttexteingabe *textInput, QWidget *parent)
    : AssetBox(AssetKind::Character, form, session, catalog, settings, scriptLine, parent), m_textInput(textInput)
{
    setObjectName(QStringLiteral("charbox"));
    auto *fields = fieldsLayout();
    fields->addWidget(new QLabel(catalog.msg(343)));
    m_actions = new QListWidget;
    m_actions->setObjectName(QStringLiteral("aktionbox"));
    m_actions->setFixedHeight(140);
    fields->addWidget(m_actions);
    connect(m_actions, &QListWidget::currentRowChanged, this, [this](int row) {
        if (!m_loading && row >= 0)
            selectState(row + 1);
    });

    auto *sizeRow = new QHBoxLayout;
    const auto digits = new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,3}")), this);
    m_width = new QLineEdit;
    m_width->setObjectName(QStringLiteral("editwidth"));
    m_height = new QLineEdit;
    m_height->setObjectName(QStringLiteral("editheight"));
    sizeRow->addWidget(new QLabel(catalog.msg(230)));
    sizeRow->addWidget(m_width);
    sizeRow->addWidget(new QLabel(catalog.msg(231)));
    sizeRow->addWidget(m_height);
    for (QLineEdit *e : {m_width, m_height}) {
        e->setValidator(digits);
        e->setMaxLength(3);
        e->setFixedWidth(48);
        connect(e, &QLineEdit::editingFinished, this, &Tcharbox::sizeEntered);
    }
    m_customize = new QPushButton(catalog.msg(345));
    m_customize->setObjectName(QStringLiteral("anpassen"));
    sizeRow->addWidget(m_customize);
    m_alignToggle = new QToolButton;
    m_alignToggle->setText(QStringLiteral("+"));
    m_alignToggle->setToolTip(catalog.msg(543));
    sizeRow->addWidget(m_alignToggle);
    m_toggle = new QToolButton;
    m_toggle->setObjectName(QStringLiteral("paneltoggle"));
    sizeRow->addWidget(m_toggle);
    fields->addLayout(sizeRow);

    // The action menu.
    m_menu = new QMenu(this);
    const struct { const char *name; int text; } entries[] = {
        {"copy", 526}, {"paste", 527}, {"delete", 528}, {"rename", 525}, {"sizes", 347}, {"all", 348}, {"background", 550}};
    for (const auto &e : entries) {
        QAction *a = m_menu->addAction(catalog.msg(e.text));
        a->setObjectName(QLatin1String(e.name));
        const QString name = QLatin1String(e.name);
        connect(a, &QAction::triggered, this, [this, name] { actionMenuStep(name); });
    }
    m_menu->addSeparator();
    addFrameFileActions(m_menu);
    connect(m_customize, &QPushButton::clicked, this, [this] {
        prepareActionMenu();
        m_menu->exec(m_customize->mapToGlobal(QPoint(0, m_customize->height())));
    });

    // The lower panel.
    m_panel = new QWidget;
    m_panel->setObjectName(QStringLiteral("lowerpanel"));
    auto *panel = new QFormLayout(m_panel);
    m_textColour = new QPushButton;
    m_textColour->setFixedSize(40, 18);
    panel->addRow(catalog.msg(344), m_textColour);
    connect(m_textColour, &QPushButton::clicked, this, [this] {
        if (!isOpen())
            return;
        const QColor c = m_form.questions().colour(this, m_catalog.msg(344), fromColourValue(model().characters[m_slot].textColor));
        if (c.isValid())
            editCharacter(assetText(AssetText::UndoCharacterField, lang()), [&](Rcharacter &r) { r.textColor = toColourValue(c); });
    });
    m_walkSpeed = new QComboBox;
    for (int i = 1; i <= 9; ++i)
        m_walkSpeed->addItem(QString::number(i));
    panel->addRow(catalog.msg(346), m_walkSpeed);
    connect(m_walkSpeed, &QComboBox::activated, this, [this](int index) {
        editCharacter(assetText(AssetText::UndoCharacterField, lang()), [&](Rcharacter &r) { r.walkSpeed = uint8_t(index + 1); });
    });
    m_font = new QComboBox;
    m_font->setObjectName(QStringLiteral("charfont"));
    panel->addRow(QStringLiteral("Font"), m_font);
    connect(m_font, &QComboBox::activated, this, [this](int index) {
        editCharacter(assetText(AssetText::UndoCharacterField, lang()), [&](Rcharacter &r) { r.fontIndex = index; });
    });
    m_walkSound = new QLineEdit;
    m_walkSound->setObjectName(QStringLiteral("walksound"));
    panel->addRow(catalog.msg(406), m_walkSound);
    connect(m_walkSound, &QLineEdit::textEdited, this, [this](const QString &text) {
        editCharacter(assetText(AssetText::UndoCharacterField, lang()), [&](Rcharacter &r) { r.walkSound = text; },
                      ProjectSession::mergeKey(this, FieldWalkSound, m_slot));
    });
    connect(m_walkSound, &QLineEdit::editingFinished, this, [this] { m_session.endGesture(); });
    const int flagTexts[4] = {407, 408, 426, 548};
    for (int i = 0; i < 4; ++i) {
        m_flags[i] = new QCheckBox(catalog.msg(flagTexts[i]));
        panel->addRow(m_flags[i]);
        connect(m_flags[i], &QCheckBox::clicked, this, [this, i](bool on) {
            editCharacter(assetText(AssetText::UndoCharacterField, lang()), [&](Rcharacter &r) {
                bool *flags[4] = {&r.dontzoom, &r.leftani, &r.memres, &r.ghostmode};
                *flags[i] = on;
            });
        });
    }
    m_flags[3]->setToolTip(catalog.msg(549));
    m_zoom = new QLineEdit;
    m_zoom->setObjectName(QStringLiteral("charzoom"));
    m_zoom->setMaxLength(3);
    m_zoom->setValidator(digits);
    m_zoom->setFixedWidth(48);
    auto *zoomRow = new QHBoxLayout;
    zoomRow->addWidget(m_zoom);
    zoomRow->addWidget(new QLabel(QStringLiteral("%")));
    panel->addRow(QStringLiteral("Start Zoom :"), zoomRow);
    connect(m_zoom, &QLineEdit::editingFinished, this, &Tcharbox::zoomEntered);
    fields->addWidget(m_panel);
    const bool panelShown = m_settings.readsetting(QStringLiteral("Extramenu")) != QLatin1String("no");
    m_panel->setVisible(panelShown);
    m_toggle->setText(panelShown ? QStringLiteral("x") : QStringLiteral("v"));
    connect(m_toggle, &QToolButton::clicked, this, [this] {
        const bool show = m_panel->isHidden();
        m_panel->setVisible(show);
        m_toggle->setText(show ? QStringLiteral("x") : QStringLiteral("v"));
        m_settings.writesetting(QStringLiteral("Extramenu"), show ? QStringLiteral("yes") : QStringLiteral("no"));
    });

    // The markers over the preview.
    m_foot = new MarkerWidget(MarkerWidget::Cross, QColor(255, 64, 64), m_preview);
    m_foot->setObjectName(QStringLiteral("Image3"));
    connect(m_foot, &MarkerWidget::moved, this, [this](QPoint p) {
        const QSize box = view().box(m_state);
        const auto m = characteredit::dragFootMarker(p, box);
        m_foot->move(m.marker);
        m_foot->setToolTip(characteredit::footPointHint(m.footPoint, m_catalog));
        editCharacter(assetText(AssetText::UndoFootPoint, lang()),
                      [&](Rcharacter &r) { characteredit::setFootPoint(r, m_state, m.footPoint); },
                      ProjectSession::mergeKey(this, FieldFoot, m_slot));
    });
    connect(m_foot, &MarkerWidget::released, this, [this] { m_session.endGesture(); });
    m_align = new MarkerWidget(MarkerWidget::Ring, QColor(64, 200, 255), m_preview);
    m_align->setToolTip(catalog.msg(543));
    m_align->hide();
    connect(m_align, &MarkerWidget::moved, this, [this](QPoint p) {
        m_align->move(characteredit::keepAlignmentMarker(QPoint(std::max(p.x(), -10), std::max(p.y(), -10)), view().box(m_state)));
    });
    connect(m_alignToggle, &QToolButton::clicked, this, [this] { m_align->setVisible(m_align->isHidden()); });

    if (m_textInput)
        connect(m_textInput, &Ttexteingabe::actionRenamed, this, [this](int extra, const QString &name) {
            const int action = characteredit::FixedActions + extra + 1;
            editCharacter(m_catalog.msg(525), [&](Rcharacter &r) { characteredit::renameAction(r, action, name); });
        });
    refresh();
}

QAction *Tcharbox::menuAction(const QString &name) const
{
    return m_menu->findChild<QAction *>(name);
}

void Tcharbox::prepareActionMenu()
{
    menuAction(QStringLiteral("rename"))->setEnabled(characteredit::canRename(m_state));
    menuAction(QStringLiteral("paste"))->setEnabled(m_clipboard.filled);
}

bool Tcharbox::editCharacter(const QString &text, const std::function<void(Rcharacter &)> &change,
                             ProjectSession::MergeKey merge)
{
    if (!isOpen() || m_loading)
        return false;
    return m_session.editRecord<Rcharacter>(elementChange(), text, change, merge);
}

void Tcharbox::sizeEntered()
{
    const QString w = m_width->text(), h = m_height->text();
    editCharacter(assetText(AssetText::UndoSize, lang()),
                  [&](Rcharacter &r) { characteredit::setActionSize(r, m_state, w, h); });
    showFields();
}

void Tcharbox::zoomEntered()
{
    const int zoom = characteredit::zoomValue(m_zoom->text());
    editCharacter(assetText(AssetText::UndoCharacterField, lang()), [&](Rcharacter &r) { r.scale = zoom; });
    showFields();
}

void Tcharbox::dragFootMarker(QPoint topLeft)
{
    emit m_foot->moved(topLeft);
    emit m_foot->released();
}

void Tcharbox::actionMenuStep(const QString &name)
{
    if (!isOpen())
        return;
    stopAnimation();
    Asker &q = m_form.questions();
    const QString caption = m_catalog.msg(365);
    const QString actionName = characteredit::actionNames(model().characters[m_slot], m_catalog).value(m_state - 1);
    const QSize game(model().settings.gameWidth, model().settings.gameHeight);
    if (name == QLatin1String("copy")) {
        m_clipboard = characteredit::copyAction(model().characters[m_slot], m_state);
    } else if (name == QLatin1String("paste")) {
        if (m_clipboard.filled && q.yesNoDefaultNo(this, caption, actionName + QStringLiteral(" : ") + m_catalog.msg(530)))
            editCharacter(m_catalog.msg(527), [&](Rcharacter &r) { characteredit::pasteAction(r, m_state, m_clipboard); });
    } else if (name == QLatin1String("delete")) {
        if (q.yesNoDefaultNo(this, caption, actionName + QStringLiteral(" : ") + m_catalog.msg(529)))
            editCharacter(m_catalog.msg(528), [&](Rcharacter &r) { characteredit::resetAction(r, m_state, game); });
    } else if (name == QLatin1String("rename")) {
        if (characteredit::canRename(m_state) && m_textInput) {
            m_textInput->setWindowModality(Qt::ApplicationModal);
            m_textInput->startRenameAction(model().characters[m_slot].extraNames, m_state - characteredit::FixedActions - 1);
        }
    } else if (name == QLatin1String("sizes")) {
        if (q.yesNoDefaultNo(this, caption, m_catalog.msg(339)))
            editCharacter(m_catalog.msg(347), [&](Rcharacter &r) { characteredit::equalizeSizes(r, m_state); });
    } else if (name == QLatin1String("all")) {
        if (q.yesNoDefaultNo(this, caption, m_catalog.msg(340)))
            editCharacter(m_catalog.msg(348), [&](Rcharacter &r) { characteredit::equalizeActions(r, m_state); });
    } else if (name == QLatin1String("background")) {
        const QColor c = m_form.questions().colour(this, QString(), m_preview->background());
        if (c.isValid())
            m_preview->setBackground(c);
    }
}

void Tcharbox::showFields()
{
    const bool was = m_loading;
    m_loading = true;
    const bool open = isOpen();
    const Rcharacter *c = open ? &model().characters[m_slot] : nullptr;
    const QStringList names = c ? characteredit::actionNames(*c, m_catalog) : QStringList();
    if (m_actions->count() != names.size() || [&] {
            for (int i = 0; i < names.size(); ++i)
                if (m_actions->item(i)->text() != names[i])
                    return true;
            return false;
        }()) {
        m_actions->clear();
        m_actions->addItems(names);
    }
    m_actions->setCurrentRow(c ? m_state - 1 : -1);
    const size_t s = size_t(m_state - 1);
    m_width->setText(c ? QString::number(c->width[s]) : QString());
    m_height->setText(c ? QString::number(c->height[s]) : QString());
    m_zoom->setText(c ? QString::number(c->scale) : QString());
    m_walkSound->setText(c ? c->walkSound : QString());
    m_walkSpeed->setCurrentIndex(c ? characteredit::shownWalkSpeedEntry(c->walkSpeed) : 4);
    m_font->clear();
    m_font->addItems(characteredit::fontChoices(model()));
    m_font->setCurrentIndex(c ? characteredit::shownFontIndex(c->fontIndex, model().fontCount()) : 0);
    const bool flags[4] = {c && c->dontzoom, c && c->leftani, c && c->memres, c && c->ghostmode};
    for (int i = 0; i < 4; ++i)
        m_flags[i]->setChecked(flags[i]);
    m_textColour->setStyleSheet(c ? QStringLiteral("background-color: %1").arg(fromColourValue(c->textColor).name()) : QString());
    if (c) {
        const QPoint foot(c->footX[s], c->footY[s]);
        m_foot->move(characteredit::footMarkerPosition(foot));
        m_foot->setToolTip(characteredit::footPointHint(foot, m_catalog));
        m_align->move(characteredit::keepAlignmentMarker(m_align->pos(), view().box(m_state)));
    }
    m_foot->setVisible(c != nullptr);
    m_loading = was;
    // An index past the fonts reads as "Default" and is stored back as 0.
    if (c && c->fontIndex != characteredit::shownFontIndex(c->fontIndex, model().fontCount())) {
        const int slot = m_slot;
        QMetaObject::invokeMethod(this, [this, slot] {
            if (m_slot == slot)
                editCharacter(assetText(AssetText::UndoCharacterField, lang()), [](Rcharacter &r) { r.fontIndex = 0; });
        }, Qt::QueuedConnection);
    }
}

void Tcharbox::fieldsEnabled(bool on)
{
    for (QWidget *w : std::initializer_list<QWidget *>{m_actions, m_width, m_height, m_customize, m_panel, m_alignToggle})
        w->setEnabled(on);
}

} // namespace mb
