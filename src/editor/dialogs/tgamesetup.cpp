#include "dialogs/tgamesetup.h"
#include "project/asker.h"

#include "dialogs/coinmarkerarea.h"

#include "project/editorsettings.h"
#include "project/messagecatalog.h"
#include "project/projectmodel.h"
#include "project/uitexts.h"
#include "tools/settingsvalidation.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

namespace mb {

namespace {

// Colours are stored as 24-bit values with red in the lowest byte.
QColor toColor(unsigned int v) { return QColor(v & 0xff, (v >> 8) & 0xff, (v >> 16) & 0xff); }
unsigned int fromColor(const QColor &c)
{
    return unsigned(c.red()) | (unsigned(c.green()) << 8) | (unsigned(c.blue()) << 16);
}

// Runs a handler when a line edit is left or Enter is pressed in it.
class LeaveFilter : public QObject
{
public:
    LeaveFilter(QLineEdit *edit, std::function<void()> onLeave)
        : QObject(edit), m_onLeave(std::move(onLeave))
    {
        QObject::connect(edit, &QLineEdit::editingFinished, this, [this] { m_onLeave(); });
    }

private:
    std::function<void()> m_onLeave;
};

} // namespace

QString Tgamesetup::captionFor(const QString &projectName)
{
    return QStringLiteral("Mossbramble (") + projectName + QLatin1Char(')');
}

Tgamesetup::Tgamesetup(ProjectSession &session, MessageCatalog &catalog, EditorSettings &settings,
                       Asker &asker, QWidget *parent)
    : QDialog(parent), m_session(session), m_catalog(catalog), m_asker(asker), m_settings(settings)
{
    setWindowTitle(catalog.msg(277));
    build();
    load();
    // Undo, redo, open and reset change the settings behind the window's back.
    connect(&m_session, &ProjectSession::changed, this, [this](const ProjectChange &c) {
        if (!m_editing && c.phase == ProjectChange::Done
            && (c.kind == ProjectChange::Settings || c.kind == ProjectChange::Reset))
            load();
    });
}

void Tgamesetup::edit(int field, const std::function<void(GameSettings &)> &change)
{
    if (m_loading)
        return;
    m_editing = true;
    m_session.editRecord<GameSettings>(ProjectChange::settings(),
                                       uiText(UiText::ProjectSettings, m_catalog.language()), change,
                                       field < 0 ? 0 : ProjectSession::mergeKey(this, field));
    m_editing = false;
}

QLineEdit *Tgamesetup::textField(QString GameSettings::*field)
{
    auto *e = new QLineEdit;
    const int id = int(m_loaders.size());
    m_loaders.push_back([this, e, field] {
        if (e->text() != settings().*field)
            e->setText(settings().*field);
    });
    connect(e, &QLineEdit::textChanged, this, [this, id, field](const QString &t) {
        edit(id, [&](GameSettings &s) { s.*field = t; });
    });
    // Leaving the field ends its undo step: typing there again is a new one.
    connect(e, &QLineEdit::editingFinished, this, [this] { m_session.endGesture(); });
    return e;
}

QCheckBox *Tgamesetup::checkField(int messageNumber, bool GameSettings::*field)
{
    auto *c = new QCheckBox(m_catalog.msg(messageNumber));
    m_loaders.push_back([this, c, field] { c->setChecked(settings().*field); });
    connect(c, &QCheckBox::toggled, this, [this, field](bool on) {
        if (m_loading)
            return;
        m_session.endGesture();
        edit(-1, [&](GameSettings &s) { s.*field = on; });
        updateEnabling();
    });
    return c;
}

QCheckBox *Tgamesetup::optionField(int messageNumber, bool EditorOptions::*field)
{
    auto *c = new QCheckBox(m_catalog.msg(messageNumber));
    m_loaders.push_back([this, c, field] { c->setChecked(m_session.options().*field); });
    connect(c, &QCheckBox::toggled, this, [this, field](bool on) {
        if (!m_loading)
            m_session.options().*field = on;
    });
    return c;
}

QSlider *Tgamesetup::fadeBar(int GameSettings::*field, QLabel *&label)
{
    auto *s = new QSlider(Qt::Horizontal);
    s->setRange(0, 2000);
    s->setPageStep(100);
    label = new QLabel;
    label->setMinimumWidth(90);
    QLabel *l = label;
    auto showLabel = [this, l](int v) { l->setText(m_catalog.msg(fadeLabelMessage(v))); };
    const int id = int(m_loaders.size());
    m_loaders.push_back([this, s, field, showLabel] {
        s->setValue(settings().*field);
        showLabel(settings().*field);
    });
    connect(s, &QSlider::valueChanged, this, [this, id, field, showLabel](int v) {
        showLabel(v);
        edit(id, [&](GameSettings &g) { g.*field = v; });
    });
    connect(s, &QSlider::sliderReleased, this, [this] { m_session.endGesture(); });
    return s;
}

void Tgamesetup::paintColourButton(QPushButton *b, unsigned int value)
{
    // With a border of its own the button is drawn by the style sheet alone: a flat swatch of
    // exactly the stored colour, not the style's gradient over it.
    b->setStyleSheet(QStringLiteral("background-color: %1; border: 1px solid palette(dark);").arg(toColor(value).name()));
}

QPushButton *Tgamesetup::colourButton(uint32_t GameSettings::*field)
{
    auto *b = new QPushButton;
    b->setFixedSize(48, 20);
    m_loaders.push_back([this, b, field] { paintColourButton(b, settings().*field); });
    connect(b, &QPushButton::clicked, this, [this, b, field] {
        const QColor c = m_asker.colour(this, QString(), toColor(settings().*field));
        if (!c.isValid())
            return;
        m_session.endGesture();
        edit(-1, [&](GameSettings &s) { s.*field = fromColor(c); });
        paintColourButton(b, settings().*field);
    });
    return b;
}

void Tgamesetup::build()
{
    using S = GameSettings;
    const MessageCatalog &c = m_catalog;
    auto *tabs = new QTabWidget;

    // General: name, resolution, scripts, screen change, icon.
    auto *general = new QWidget;
    auto *gf = new QFormLayout(general);
    m_projectName = textField(&S::projectName);
    gf->addRow(c.msg(278), m_projectName);
    m_gameres = new QComboBox;
    m_gameres->addItems({c.msg(280), QStringLiteral("320x200"), QStringLiteral("320x240"),
                         QStringLiteral("800x600"), QStringLiteral("1024x768")});
    m_loaders.push_back([this] { m_gameres->setCurrentIndex(settings().resolutionChoice); });
    connect(m_gameres, &QComboBox::currentIndexChanged, this, [this](int i) {
        if (m_loading || i < 0)
            return;
        m_session.endGesture();
        edit(-1, [i](GameSettings &s) { s.setResolutionChoice(i); });
        emit resolutionChanged();
    });
    m_gameresLabel = new QLabel(c.msg(279));
    gf->addRow(m_gameresLabel, m_gameres);
    m_startskript = textField(&S::startScript);
    m_startskript->setToolTip(c.msg(284));
    gf->addRow(c.msg(283), m_startskript);
    gf->addRow(c.msg(371), textField(&S::mainScript));
    gf->addRow(c.msg(372), textField(&S::anywhereObj));
    gf->addRow(c.msg(403), textField(&S::loadingImage));

    auto *screen = new QHBoxLayout;
    auto *screenGroup = new QButtonGroup(this);
    for (int i = 0; i < 4; ++i) {
        auto *r = new QRadioButton(c.msg(286 + i));
        screenGroup->addButton(r, i);
        screen->addWidget(r);
    }
    m_loaders.push_back([this, screenGroup] {
        if (auto *b = screenGroup->button(settings().screenchange))
            b->setChecked(true);
    });
    connect(screenGroup, &QButtonGroup::idToggled, this, [this](int id, bool on) {
        if (!on || m_loading)
            return;
        m_session.endGesture();
        edit(-1, [id](GameSettings &s) { s.screenchange = id; });
    });
    auto *screenLabel = new QLabel(c.msg(285));
    screenLabel->setToolTip(c.msg(290));
    gf->addRow(screenLabel, screen);

    m_image1 = new QPushButton;
    m_image1->setIconSize(QSize(32, 32));
    m_image1->setFixedSize(44, 44);
    m_image1->setToolTip(QStringLiteral("*.ico"));
    connect(m_image1, &QPushButton::clicked, this, [this] {
        const QString file = m_asker.openFile(this, m_catalog.msg(277), QString(), QStringLiteral("Symbol (*.ico)"));
        if (file.isEmpty())
            return;
        m_session.endGesture();
        edit(-1, [&](GameSettings &s) { s.gameIcon = file; });
        showIcon();
    });
    m_loaders.push_back([this] { showIcon(); });
    gf->addRow(c.extra(extratext::IconLabel), m_image1);

    auto *editorOptions = new QHBoxLayout;
    editorOptions->addWidget(optionField(315, &EditorOptions::fitImage));
    editorOptions->addWidget(optionField(418, &EditorOptions::makeBackup));
    gf->addRow(editorOptions);

    // Game: flags, task bar, own menu.
    auto *game = new QWidget;
    auto *gl = new QVBoxLayout(game);
    auto *flags = new QGridLayout;
    auto *textonoff = checkField(293, &S::textonoff);
    textonoff->setToolTip(c.msg(294));
    auto *itemicon = checkField(295, &S::itemicon);
    itemicon->setToolTip(c.msg(296));
    auto *commandtext = checkField(297, &S::commandtext);
    commandtext->setToolTip(c.msg(298));
    flags->addWidget(textonoff, 0, 0);
    flags->addWidget(itemicon, 0, 1);
    flags->addWidget(commandtext, 1, 0);
    flags->addWidget(checkField(451, &S::noanti), 1, 1);
    flags->addWidget(checkField(531, &S::groupitems), 2, 0);
    flags->addWidget(checkField(532, &S::protect), 2, 1);
    m_checkBox1 = checkField(313, &S::silentDelete);
    connect(m_checkBox1, &QCheckBox::toggled, this, [this](bool on) {
        if (on && !m_loading)
            m_asker.information(this, m_catalog.msg(367), m_catalog.msg(276));
    });
    flags->addWidget(m_checkBox1, 3, 0);
    flags->addWidget(checkField(314, &S::infoLine), 3, 1);
    flags->addWidget(checkField(439, &S::muteMusic), 4, 0);
    gl->addLayout(flags);

    auto *heights = new QFormLayout;
    m_edit3 = textField(&S::actionTextHeight);
    connect(m_edit3, &QLineEdit::textEdited, this, [this](const QString &t) {
        const QString kept = keepDigitsAndMinus(t);
        if (kept != t)
            m_edit3->setText(kept);
    });
    new LeaveFilter(m_edit3, [this] {
        const QString v = normaliseActionTextHeight(m_edit3->text());
        if (v != m_edit3->text())
            m_edit3->setText(v);
    });
    heights->addRow(c.msg(425), m_edit3);
    gl->addLayout(heights);

    auto *taskGroup = new QGroupBox;
    auto *tf = new QFormLayout(taskGroup);
    m_bedienfeld = checkField(299, &S::bedienfeld);
    m_bedienfeld->setToolTip(c.msg(300));
    tf->addRow(m_bedienfeld);
    m_edit1 = textField(&S::taskHeight);
    connect(m_edit1, &QLineEdit::textEdited, this, [this](const QString &t) {
        const QString kept = keepDigits(t);
        if (kept != t)
            m_edit1->setText(kept);
    });
    new LeaveFilter(m_edit1, [this] { normaliseTaskHeightField(); });
    m_edit1Label = new QLabel(c.msg(231) + QStringLiteral(" :"));
    tf->addRow(m_edit1Label, m_edit1);
    m_bedienraum = textField(&S::taskRoom);
    m_bedienraumLabel = new QLabel(c.msg(301));
    tf->addRow(m_bedienraumLabel, m_bedienraum);
    m_bedienpopup = new QComboBox;
    m_bedienpopup->addItems({c.msg(304), c.msg(305), c.msg(306)});
    m_bedienpopup->setToolTip(c.msg(303));
    m_loaders.push_back([this] { m_bedienpopup->setCurrentIndex(settings().taskPopup); });
    connect(m_bedienpopup, &QComboBox::currentIndexChanged, this, [this](int i) {
        if (m_loading || i < 0)
            return;
        m_session.endGesture();
        edit(-1, [i](GameSettings &s) { s.taskPopup = i; });
    });
    m_bedienpopupLabel = new QLabel(c.msg(302));
    tf->addRow(m_bedienpopupLabel, m_bedienpopup);
    auto *where = new QHBoxLayout;
    m_oben = new QRadioButton(c.msg(463));
    m_unten = new QRadioButton(c.msg(462));
    where->addWidget(m_oben);
    where->addWidget(m_unten);
    m_loaders.push_back([this] {
        (settings().oben ? m_oben : m_unten)->setChecked(true);
    });
    connect(m_oben, &QRadioButton::toggled, this, [this](bool on) {
        if (m_loading)
            return;
        m_session.endGesture();
        edit(-1, [on](GameSettings &s) { s.oben = on; });
    });
    m_taskhide = checkField(405, &S::taskHide);
    where->addWidget(m_taskhide);
    tf->addRow(where);
    gl->addWidget(taskGroup);

    auto *menuGroup = new QGroupBox;
    auto *mf = new QFormLayout(menuGroup);
    m_checkBox2 = checkField(311, &S::ownMenu);
    mf->addRow(m_checkBox2);
    m_edit2 = textField(&S::ownMenuRoom);
    m_edit2Label = new QLabel(c.msg(312));
    mf->addRow(m_edit2Label, m_edit2);
    gl->addWidget(menuGroup);
    gl->addStretch();

    // Look: menu colours, fades, transparency, text scene.
    auto *look = new QWidget;
    auto *lf = new QFormLayout(look);
    auto *menuColours = new QHBoxLayout;
    menuColours->addWidget(new QLabel(c.msg(308)));
    menuColours->addWidget(colourButton(&S::bordercolor));
    menuColours->addWidget(new QLabel(c.msg(309)));
    menuColours->addWidget(colourButton(&S::backgroundcolor));
    menuColours->addWidget(new QLabel(c.msg(310)));
    menuColours->addWidget(colourButton(&S::textcolor));
    menuColours->addStretch();
    lf->addRow(c.msg(307), menuColours);
    auto *textColours = new QHBoxLayout;
    textColours->addWidget(colourButton(&S::offtextcolor));
    textColours->addWidget(new QLabel(c.msg(414)));
    textColours->addWidget(colourButton(&S::infotextcolor));
    textColours->addStretch();
    lf->addRow(c.msg(291), textColours);
    auto *other = new QHBoxLayout;
    other->addWidget(colourButton(&S::targacolor));
    other->addWidget(new QLabel(c.msg(550)));
    other->addWidget(colourButton(&S::shape1));
    other->addStretch();
    lf->addRow(c.msg(316), other);

    auto fadeRow = [&](const QString &caption, QSlider *bar, QLabel *label) {
        auto *row = new QHBoxLayout;
        row->addWidget(bar, 1);
        row->addWidget(label);
        lf->addRow(caption, row);
    };
    QLabel *sceneFadeLabel = nullptr;
    m_fadebarmenu = fadeBar(&S::fadebarmenu, m_fadebarmenuLabel);
    fadeRow(c.extra(extratext::MenuFadeLabel), m_fadebarmenu, m_fadebarmenuLabel);
    QSlider *scenefade = fadeBar(&S::scenefadebar, sceneFadeLabel);
    fadeRow(c.extra(extratext::SceneFadeLabel), scenefade, sceneFadeLabel);

    auto *trans = new QSlider(Qt::Horizontal);
    trans->setRange(0, 100);
    m_loaders.push_back([this, trans] {
        trans->setValue(settings().transany);
        trans->setToolTip(QString::number(settings().transany) + QStringLiteral(" %"));
    });
    const int transId = int(m_loaders.size());
    connect(trans, &QSlider::valueChanged, this, [this, trans, transId](int v) {
        trans->setToolTip(QString::number(v) + QStringLiteral(" %"));
        edit(transId, [v](GameSettings &s) { s.transany = v; });
    });
    connect(trans, &QSlider::sliderReleased, this, [this] { m_session.endGesture(); });
    lf->addRow(c.msg(435), trans);

    auto spin = [&](int GameSettings::*field) {
        auto *sp = new QSpinBox;
        sp->setRange(0, 99);
        const int id = int(m_loaders.size());
        m_loaders.push_back([this, sp, field] { sp->setValue(settings().*field); });
        connect(sp, &QSpinBox::valueChanged, this, [this, id, field](int v) {
            edit(id, [&](GameSettings &s) { s.*field = v; });
        });
        return sp;
    };
    auto *scene = new QHBoxLayout;
    scene->addWidget(new QLabel(c.extra(extratext::StyleLabel)));
    scene->addWidget(spin(&S::textsceneStyle));
    scene->addWidget(new QLabel(c.extra(extratext::BorderLabel)));
    scene->addWidget(spin(&S::textsceneBorder));
    scene->addWidget(colourButton(&S::textsceneBcolor));
    scene->addWidget(colourButton(&S::textsceneArea));
    scene->addWidget(colourButton(&S::textsceneSelected));
    scene->addStretch();
    lf->addRow(c.extra(extratext::TextsceneLabel), scene);
    auto *choice = new QComboBox;
    choice->addItems({QStringLiteral("1"), QStringLiteral("2")});
    m_loaders.push_back([this, choice] { choice->setCurrentIndex(settings().multipleChoice ? 1 : 0); });
    connect(choice, &QComboBox::currentIndexChanged, this, [this](int i) {
        if (m_loading)
            return;
        m_session.endGesture();
        edit(-1, [i](GameSettings &s) { s.multipleChoice = i == 1; });
    });
    lf->addRow(c.extra(extratext::MultipleChoiceLabel), choice);
    m_checkBox3 = checkField(422, &S::useTextsceneBg);
    lf->addRow(m_checkBox3);
    m_textscenebg = textField(&S::textsceneBg);
    m_textscenebgLabel = new QLabel(c.msg(423));
    lf->addRow(m_textscenebgLabel, m_textscenebg);

    // Coin interface.
    auto *coin = new QWidget;
    auto *cl = new QHBoxLayout(coin);
    auto *cf = new QFormLayout;
    m_checkBox5 = checkField(465, &S::coinInterface);
    connect(m_checkBox5, &QCheckBox::toggled, this, [this](bool on) {
        if (!m_loading)
            checkBox5Click(on);
    });
    cf->addRow(m_checkBox5);
    m_coinroom = textField(&S::coinRoom);
    m_coinroom->setToolTip(c.msg(533));
    m_coinroomLabel = new QLabel(c.msg(466));
    cf->addRow(m_coinroomLabel, m_coinroom);
    m_checkBox6 = checkField(468, &S::autoPopup);
    cf->addRow(m_checkBox6);
    m_coinfadebar = fadeBar(&S::coinfadebar, m_coinfadeLabel);
    auto *coinFadeRow = new QHBoxLayout;
    coinFadeRow->addWidget(m_coinfadebar, 1);
    coinFadeRow->addWidget(m_coinfadeLabel);
    m_coinfadeCaption = new QLabel(c.extra(extratext::FadeLabel));
    cf->addRow(m_coinfadeCaption, coinFadeRow);
    cf->addRow(new QLabel(c.msg(467)));
    cl->addLayout(cf, 1);
    m_image3 = new CoinMarkerArea;
    m_loaders.push_back([this] { m_image3->setMarker(settings().coinTop, settings().coinLeft); });
    const int markerId = int(m_loaders.size());
    connect(m_image3, &CoinMarkerArea::markerMoved, this, [this, markerId](int top, int left) {
        edit(markerId, [=](GameSettings &s) {
            s.coinTop = top;
            s.coinLeft = left;
        });
    });
    auto *appears = new QVBoxLayout;
    appears->addWidget(new QLabel(c.msg(461)));
    appears->addWidget(m_image3);
    appears->addStretch();
    cl->addLayout(appears);

    tabs->addTab(general, c.msg(278).remove(QLatin1Char(':')).trimmed());
    tabs->addTab(game, c.msg(299));
    tabs->addTab(look, c.msg(307).remove(QLatin1Char(':')).trimmed());
    tabs->addTab(coin, c.msg(465));

    m_button1 = new QPushButton(QStringLiteral("OK"));
    m_button1->setDefault(false);
    m_button1->setAutoDefault(false);
    connect(m_button1, &QPushButton::clicked, this, [this] { button1Click(); });
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_button1);
    auto *top = new QVBoxLayout(this);
    top->addWidget(tabs);
    top->addLayout(buttons);
}

void Tgamesetup::load()
{
    m_loading = true;
    for (const auto &f : m_loaders)
        f();
    m_loading = false;
    updateEnabling();
    updateResolutionLock();
}

void Tgamesetup::showEvent(QShowEvent *e)
{
    load();
    QDialog::showEvent(e);
}

void Tgamesetup::updateResolutionLock()
{
    const bool empty = m_session.model().gameTree.countBelowRoots() == 0;
    m_gameres->setEnabled(empty);
    m_gameresLabel->setEnabled(empty);
}

void Tgamesetup::updateEnabling()
{
    const bool task = m_bedienfeld->isChecked();
    for (QWidget *w : std::initializer_list<QWidget *>{m_edit1, m_edit1Label, m_bedienraum,
                                                       m_bedienraumLabel, m_taskhide, m_oben,
                                                       m_unten, m_bedienpopup, m_bedienpopupLabel})
        w->setEnabled(task);
    m_edit2->setEnabled(m_checkBox2->isChecked());
    m_edit2Label->setEnabled(m_checkBox2->isChecked());
    m_textscenebg->setEnabled(m_checkBox3->isChecked());
    m_textscenebgLabel->setEnabled(m_checkBox3->isChecked());
    const bool coin = m_checkBox5->isChecked();
    for (QWidget *w : std::initializer_list<QWidget *>{m_coinroom, m_coinroomLabel, m_checkBox6,
                                                       m_coinfadebar, m_coinfadeLabel, m_coinfadeCaption})
        w->setEnabled(coin);
    m_image3->setMarkerVisible(coin);
}

void Tgamesetup::checkBox5Click(bool on)
{
    if (!on || m_settings.readsetting(QStringLiteral("CoinInfo")) == QLatin1String("yes"))
        return;
    m_asker.information(this, m_catalog.msg(367), m_catalog.msg(469));
    m_settings.writesetting(QStringLiteral("CoinInfo"), QStringLiteral("yes"));
}

void Tgamesetup::normaliseTaskHeightField()
{
    const QString v = normaliseTaskHeight(m_edit1->text(), settings().gameHeight);
    if (v != m_edit1->text())
        m_edit1->setText(v);
}

void Tgamesetup::showIcon()
{
    const QString file = settings().gameIcon;
    QIcon icon(file);
    m_image1->setIcon(icon);
    m_image1->setText(file.isEmpty() || icon.isNull() ? QStringLiteral("...") : QString());
}

void Tgamesetup::button1Click()
{
    normaliseTaskHeightField();
    const int problem = validateSetup(settings());
    if (problem != 0) {
        m_asker.error(this, m_catalog.msg(366), m_catalog.msg(problem));
        return;
    }
    // High resolutions want room around the game window when the game is tried out.
    const QScreen *screen = this->screen();
    if (settings().resolutionChoice >= 3 && screen && screen->geometry().width() <= 1024)
        m_asker.information(this, m_catalog.msg(367), m_catalog.msg(274));
    accept();
}

} // namespace mb
