#include "dialogs/tcommandlist.h"
#include "project/asker.h"

#include "dialogs/ttexteingabe.h"

#include "project/editorsettings.h"
#include "project/messagecatalog.h"
#include "project/projectmodel.h"
#include "project/projectsession.h"
#include "tools/commandlistops.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace mb {

Tcommandlist::Tcommandlist(ProjectSession &session, MessageCatalog &catalog, EditorSettings &settings,
                           Asker &asker, QWidget *parent)
    : QDialog(parent), m_session(session), m_catalog(catalog), m_asker(asker)
{
    setWindowTitle(catalog.msg(328));
    m_input = new Ttexteingabe(session, catalog, settings, asker, this);
    connect(m_input, &Ttexteingabe::boolEntered, this, [this](int index) { fillBools(index); });
    connect(m_input, &Ttexteingabe::closed, this, [this] {
        raise();
        activateWindow();
    });

    m_grid = new QTableWidget(19, 2);
    m_grid->setHorizontalHeaderLabels({catalog.msg(320), catalog.msg(321)});
    m_grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    m_grid->verticalHeader()->setDefaultSectionSize(20);
    for (int r = 0; r < 19; ++r)
        for (int c = 0; c < 2; ++c)
            m_grid->setItem(r, c, new QTableWidgetItem);
    auto *commands = new QGroupBox(catalog.msg(329));
    (new QVBoxLayout(commands))->addWidget(m_grid);

    m_bools = new QListWidget;
    m_bools->setContextMenuPolicy(Qt::CustomContextMenu);
    m_bools->installEventFilter(this);
    connect(m_bools, &QListWidget::itemChanged, this, [this](QListWidgetItem *item) {
        if (m_loading)
            return;
        setBoolValue(m_session, m_bools->row(item), item->checkState() == Qt::Checked);
    });
    // Undo and redo change the bools behind the window's back; the grid and the words are
    // the window's own until OK.
    connect(&m_session, &ProjectSession::changed, this, [this](const ProjectChange &c) {
        if (c.phase == ProjectChange::Done && (c.kind == ProjectChange::Commands || c.kind == ProjectChange::Reset)
            && !m_loading && isVisible())
            fillBools(m_bools->currentRow());
    });
    connect(m_bools, &QListWidget::itemDoubleClicked, this, [this] { renameBoolClick(); });
    connect(m_bools, &QListWidget::customContextMenuRequested, this, [this](const QPoint &pos) {
        QMenu menu(this);
        menu.addAction(m_catalog.msg(192), this, [this] { addBoolClick(); });
        menu.exec(m_bools->viewport()->mapToGlobal(pos));
    });
    m_plus = new QToolButton;
    m_plus->setText(QStringLiteral("+"));
    m_plus->setToolTip(catalog.msg(331));
    m_minus = new QToolButton;
    m_minus->setText(QStringLiteral("-"));
    m_minus->setToolTip(catalog.msg(332));
    connect(m_plus, &QToolButton::clicked, this, [this] { addBoolClick(); });
    connect(m_minus, &QToolButton::clicked, this, [this] { removeBoolClick(); });
    auto *boolGroup = new QGroupBox(catalog.msg(330));
    auto *bl = new QVBoxLayout(boolGroup);
    bl->addWidget(m_bools);
    auto *boolButtons = new QHBoxLayout;
    boolButtons->addWidget(m_plus);
    boolButtons->addWidget(m_minus);
    boolButtons->addStretch();
    bl->addLayout(boolButtons);

    auto word = [this](QLineEdit *&edit, const QString &title) {
        edit = new QLineEdit;
        auto *g = new QGroupBox(title);
        (new QVBoxLayout(g))->addWidget(edit);
        return g;
    };
    auto *words = new QHBoxLayout;
    words->addWidget(word(m_linktext, QStringLiteral("Linktext")));
    words->addWidget(word(m_givelink, QStringLiteral("GiveLink")));
    words->addWidget(word(m_walktext, catalog.msg(335)));

    m_ok = new QPushButton(QStringLiteral("OK"));
    m_ok->setAutoDefault(false);
    connect(m_ok, &QPushButton::clicked, this, [this] { okClick(); });

    auto *lists = new QHBoxLayout;
    lists->addWidget(commands, 3);
    lists->addWidget(boolGroup, 2);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_ok);
    auto *top = new QVBoxLayout(this);
    top->addLayout(lists);
    top->addLayout(words);
    top->addLayout(buttons);
    resize(620, 600);
    const QString family = settings.readsetting(QStringLiteral("Skript Font"));
    if (family != QLatin1String("-1"))
        setScriptFont(family);
    load();
}

void Tcommandlist::setScriptFont(const QString &family)
{
    for (QWidget *w : std::initializer_list<QWidget *>{m_grid, m_bools, m_linktext, m_givelink, m_walktext}) {
        QFont f = w->font();
        f.setFamily(family);
        w->setFont(f);
    }
    m_input->setScriptFont(family);
}

void Tcommandlist::load()
{
    m_loading = true;
    const CommandList &commands = m_session.model().commands;
    const CommandGrid g = commandGridOf(commands);
    for (int r = 0; r < 19; ++r) {
        m_grid->item(r, 0)->setText(g[r].name);
        m_grid->item(r, 1)->setText(g[r].text);
    }
    m_linktext->setText(commands.linktext);
    m_givelink->setText(commands.givelink);
    m_walktext->setText(commands.walktext);
    m_loading = false;
    fillBools(m_bools->currentRow());
}

void Tcommandlist::fillBools(int select)
{
    m_loading = true;
    m_bools->clear();
    for (const BoolEntry &b : m_session.model().commands.bools) {
        auto *item = new QListWidgetItem(b.name, m_bools);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(b.value ? Qt::Checked : Qt::Unchecked);
    }
    if (select >= 0 && select < m_bools->count())
        m_bools->setCurrentRow(select);
    m_loading = false;
}

void Tcommandlist::showEvent(QShowEvent *e)
{
    if (!e->spontaneous())
        load();
    QDialog::showEvent(e);
}

bool Tcommandlist::okClick()
{
    CommandGrid g;
    for (int r = 0; r < 19; ++r)
        g[r] = {m_grid->item(r, 0)->text(), m_grid->item(r, 1)->text()};
    const int problem = validateCommands(g, m_linktext->text(), m_walktext->text());
    if (problem != 0) {
        const bool info = problem <= 324;
        m_asker.tell(this, info ? Asker::Information : Asker::Error, m_catalog.msg(info ? 367 : 366),
                     m_catalog.msg(problem));
        return false;
    }
    takeOverCommands(m_session, g, m_linktext->text(), m_givelink->text(), m_walktext->text());
    load();
    accept();
    return true;
}

void Tcommandlist::closeEvent(QCloseEvent *e)
{
    if (okClick())
        e->accept();
    else
        e->ignore();
}

bool Tcommandlist::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_bools && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Insert) {
            addBoolClick();
            return true;
        }
        if (key == Qt::Key_Delete) {
            removeBoolClick();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void Tcommandlist::addBoolClick()
{
    // The name input is modal: this window waits behind it.
    m_input->start(Ttexteingabe::AddBool);
}

void Tcommandlist::renameBoolClick()
{
    const int row = m_bools->currentRow();
    if (row < 0)
        return;
    m_input->start(Ttexteingabe::RenameBool, row);
}

void Tcommandlist::removeBoolClick()
{
    const int row = m_bools->currentRow();
    if (row < 0)
        return;
    m_loading = true;
    removeBool(m_session, row);
    m_loading = false;
    fillBools(std::min(row, int(m_session.model().commands.bools.size()) - 1));
}

} // namespace mb
