#include "app/tform1.h"

#include <QAction>
#include <QActionGroup>
#include <QLabel>
#include <QMdiArea>
#include <QMenuBar>
#include <QMessageBox>
#include <QSplitter>
#include <QStatusBar>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace mb {

namespace {

void fillItem(QTreeWidgetItem *item, const TreeNode &node)
{
    item->setText(0, node.text);
    item->setData(0, Qt::UserRole, node.imageIndex);
    for (const auto &child : node.children)
        fillItem(new QTreeWidgetItem(item), *child);
}

void fillTree(QTreeWidget *view, const ProjectTree &tree)
{
    view->clear();
    for (const auto &root : tree.roots)
        fillItem(new QTreeWidgetItem(view), *root);
    if (view->topLevelItemCount() > 0)
        view->setCurrentItem(view->topLevelItem(0));
}

} // namespace

TForm1::TForm1(ProjectModel &model, MessageCatalog &catalog, EditorSettings &settings, QWidget *parent)
    : QMainWindow(parent), m_model(model), m_catalog(catalog), m_settings(settings)
{
    setObjectName(QStringLiteral("Form1"));
    buildMenus();

    auto *trees = new QWidget;
    auto *layout = new QVBoxLayout(trees);
    layout->setContentsMargins(0, 0, 0, 0);
    m_gamepool = new QTreeWidget;
    m_gamepool->setObjectName(QStringLiteral("gamepool"));
    m_gamepool->setHeaderHidden(true);
    m_mediapool = new QTreeWidget;
    m_mediapool->setObjectName(QStringLiteral("mediapool"));
    m_mediapool->setHeaderHidden(true);
    layout->addWidget(m_gamepool);
    layout->addWidget(m_mediapool);

    m_mdi = new QMdiArea;
    auto *split = new QSplitter;
    split->addWidget(trees);
    split->addWidget(m_mdi);
    split->setStretchFactor(1, 1);
    setCentralWidget(split);

    for (int i = 0; i < 3; ++i) {
        m_panels[i] = new QLabel;
        statusBar()->addWidget(m_panels[i], i == 2 ? 1 : 0);
    }
    setWindowTitle(caption());
    refreshTrees();
    StatusBar1Click();
    resize(1024, 720);
}

QString TForm1::caption() const
{
    return QStringLiteral("Mossbramble (") + m_model.settings.projectName + QStringLiteral(")");
}

void TForm1::buildMenus()
{
    const MessageCatalog &c = m_catalog;
    auto addActions = [&](QMenu *menu, std::initializer_list<int> numbers) {
        for (int n : numbers)
            menu->addAction(c.msg(n));
    };
    QMenu *project = menuBar()->addMenu(c.msg(10));
    addActions(project, {16, 17, 18, 19});
    project->addSeparator();
    addActions(project, {20, 21});
    project->addSeparator();
    addActions(project, {22, 23});
    project->addSeparator();
    QAction *quit = project->addAction(c.msg(24));
    quit->setShortcut(QKeySequence::Quit);
    connect(quit, &QAction::triggered, this, &QWidget::close);

    QMenu *insert = menuBar()->addMenu(c.msg(11));
    addActions(insert, {25, 26, 27, 28});
    insert->addSeparator();
    addActions(insert, {29, 30, 31, 32, 33});

    QMenu *setup = menuBar()->addMenu(c.msg(12));
    addActions(setup, {52, 53, 54, 382, 440});

    QMenu *window = menuBar()->addMenu(c.msg(13));
    addActions(window, {34, 35});
    window->addSeparator();
    addActions(window, {36, 38, 40, 42, 44, 46, 48, 50});

    QMenu *help = menuBar()->addMenu(c.msg(14));
    addActions(help, {62, 63});

    QMenu *language = menuBar()->addMenu(c.msg(15));
    auto *group = new QActionGroup(this);
    m_english = language->addAction(QStringLiteral("English"));
    m_deutsch = language->addAction(QStringLiteral("Deutsch"));
    for (QAction *a : {m_english, m_deutsch}) {
        a->setCheckable(true);
        group->addAction(a);
    }
    (c.language() == QLatin1String("DE") ? m_deutsch : m_english)->setChecked(true);
    connect(m_english, &QAction::triggered, this, [this] { setLanguage(QStringLiteral("EN")); });
    connect(m_deutsch, &QAction::triggered, this, [this] { setLanguage(QStringLiteral("DE")); });

    QToolBar *tools = addToolBar(c.msg(50));
    tools->setObjectName(QStringLiteral("ToolBar1"));
}

void TForm1::setLanguage(const QString &code)
{
    // The texts change at the next start; the catalog of this run stays as it is.
    if (m_settings.readsetting(QStringLiteral("Lang")) == code)
        return;
    m_settings.writesetting(QStringLiteral("Lang"), code);
    QMessageBox::information(this, m_catalog.msg(367), m_catalog.msg(181));
}

void TForm1::refreshTrees()
{
    fillTree(m_gamepool, m_model.gameTree);
    fillTree(m_mediapool, m_model.mediaTree);
}

void TForm1::StatusBar1Click()
{
    const MessageCatalog &c = m_catalog;
    auto n = [](int v) { return QString::number(v); };
    m_panels[0]->setText(c.msg(6) + QStringLiteral(": ") + n(m_model.media[Images].usedCount()) +
                         QStringLiteral(" |") + c.msg(8) + QStringLiteral(": ") + n(m_model.media[Sounds].usedCount()) +
                         QStringLiteral(" |") + c.msg(7) + QStringLiteral(": ") + n(m_model.media[Music].usedCount()) +
                         QStringLiteral(" |") + c.msg(9) + QStringLiteral(": ") + n(m_model.media[Movies].usedCount()));
    m_panels[1]->setText(c.msg(32) + QStringLiteral(": ") + n(m_model.items.usedCount()) +
                         QStringLiteral(" |") + c.msg(30) + QStringLiteral(": ") + n(m_model.objects.usedCount()) +
                         QStringLiteral(" |") + c.msg(31) + QStringLiteral(": ") + n(m_model.characters.usedCount()) +
                         QStringLiteral(" |") + c.msg(33) + QStringLiteral(": ") + n(m_model.cutscenes.usedCount()) +
                         QStringLiteral(" |") + c.msg(29) + QStringLiteral(": ") + n(m_model.rooms.usedCount()));
}

} // namespace mb
