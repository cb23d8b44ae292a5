#include "app/tmissingfiles.h"

#include "app/questions.h"
#include "project/messagecatalog.h"
#include "project/missingfiles.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

namespace mb {

Tmissingfiles::Tmissingfiles(MissingFiles &search, const MessageCatalog &catalog, Questions &questions,
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
    m_missimages = new QListWidget;
    m_missimages->setObjectName(QStringLiteral("missimages"));
    auto *foldersLabel = new QLabel(catalog.msg(420));
    m_newfolder = new QListWidget;
    m_newfolder->setObjectName(QStringLiteral("newfolder"));
    m_add = new QPushButton(catalog.msg(192));
    m_add->setObjectName(QStringLiteral("Button1"));
    m_ok = new QPushButton(tr("OK"));
    m_ok->setObjectName(QStringLiteral("Button2"));
    m_ok->setDefault(true);

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
    resize(560, 360);

    connect(m_add, &QPushButton::clicked, this, &Tmissingfiles::Button1Click);
    connect(m_ok, &QPushButton::clicked, this, &Tmissingfiles::Button2Click);
}

void Tmissingfiles::refresh()
{
    m_missimages->clear();
    m_missimages->addItems(m_search.names());
    m_newfolder->clear();
    m_newfolder->addItems(m_search.addedFolders());
    m_count->setText(m_search.countText());
}

void Tmissingfiles::Button1Click()
{
    const QString folder = m_questions.folder(this, m_catalog.msg(444), m_search.addedFolders().value(0));
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
