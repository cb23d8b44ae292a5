#include "app/tmissingfiles.h"

#include "project/asker.h"
#include "project/messagecatalog.h"
#include "project/missingfiles.h"
#include "project/projectmodel.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QHeaderView>
#include <QListWidget>
#include <QTreeWidget>
#include <QPushButton>

namespace mb {

Tmissingfiles::Tmissingfiles(MissingFiles &search, const MessageCatalog &catalog, Asker &questions,
                             QWidget *parent)
    : QDialog(parent), m_search(search), m_catalog(catalog), m_questions(questions)
{
    setObjectName(QStringLiteral("missingfiles"));
    setWindowTitle(QStringLiteral("Mossbramble"));
    setWindowModality(Qt::WindowModal);

    auto *intro = new QLabel(catalog.msg(421));
    QFont bold = intro->font();
    bold.setBold(true);
    intro->setFont(bold);
    auto *missingLabel = new QLabel(catalog.msg(419));
    m_count = new QLabel;
    m_count->setObjectName(QStringLiteral("Label3"));
    m_missimages = new QTreeWidget;
    m_missimages->setObjectName(QStringLiteral("missimages"));
    m_missimages->setRootIsDecorated(false);
    m_missimages->setColumnCount(3);
    m_missimages->setHeaderLabels({catalog.extra(extratext::MissingColumnName),
                                   catalog.extra(extratext::MissingColumnKind),
                                   catalog.extra(extratext::MissingColumnStoredPath)});
    m_missimages->header()->setStretchLastSection(true);
    auto *foldersLabel = new QLabel(catalog.msg(420));
    m_newfolder = new QListWidget;
    m_newfolder->setObjectName(QStringLiteral("newfolder"));
    m_add = new QPushButton(catalog.msg(192));
    m_add->setObjectName(QStringLiteral("Button1"));
    m_ok = new QPushButton(tr("OK"));
    m_ok->setObjectName(QStringLiteral("Button2"));
    // Enter anywhere in the dialog is OK, also when the list has the focus.
    m_ok->setDefault(true);
    m_ok->setAutoDefault(true);
    m_add->setAutoDefault(false);

    auto *grid = new QGridLayout(this);
    grid->addWidget(intro, 0, 0, 1, 2);
    auto *missingHead = new QHBoxLayout;
    missingHead->addWidget(missingLabel);
    missingHead->addWidget(m_count);
    missingHead->addStretch();
    grid->addLayout(missingHead, 1, 0);
    grid->addWidget(foldersLabel, 1, 1);
    grid->addWidget(m_missimages, 2, 0);
    grid->addWidget(m_newfolder, 2, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_add);
    buttons->addStretch();
    buttons->addWidget(m_ok);
    grid->addLayout(buttons, 3, 0, 1, 2);
    grid->setColumnStretch(0, 3);
    grid->setColumnStretch(1, 1);
    resize(760, 380);

    connect(m_add, &QPushButton::clicked, this, &Tmissingfiles::Button1Click);
    connect(m_ok, &QPushButton::clicked, this, &Tmissingfiles::Button2Click);
}

void Tmissingfiles::refresh()
{
    m_missimages->clear();
    for (const MissingEntry &e : m_search.missing()) {
        // The kind as the media tree names its root.
        auto *row = new QTreeWidgetItem({e.name, m_catalog.msg(6 + e.kind), e.path});
        row->setToolTip(2, e.path);
        m_missimages->addTopLevelItem(row);
    }
    for (int c = 0; c < 2; ++c)
        m_missimages->resizeColumnToContents(c);
    m_newfolder->clear();
    m_newfolder->addItems(m_search.addedFolders());
    m_count->setText(m_search.countText());
}

void Tmissingfiles::Button1Click()
{
    const QStringList added = m_search.addedFolders();
    const QString folder = m_questions.folder(this, m_catalog.msg(444), added.isEmpty() ? m_startFolder : added.last());
    if (folder.isEmpty())
        return;
    const int before = m_search.count();
    m_search.addFolder(folder);
    refresh();
    if (m_search.count() != before)
        emit repaired();
}

void Tmissingfiles::Button2Click()
{
    accept();
}

void Tmissingfiles::done(int result)
{
    // OK, Escape and the close button all end the same way.
    if (!m_finishing) {
        m_finishing = true;
        m_search.finish();
        m_finishing = false;
    }
    QDialog::done(result);
}

} // namespace mb
