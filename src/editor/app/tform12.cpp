#include "app/tform12.h"

#include "app/poolicons.h"
#include "project/messagecatalog.h"
#include "project/projecttree.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace mb {

TForm12::TForm12(const MessageCatalog &catalog, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Form12"));
    setWindowTitle(catalog.msg(63).remove(QStringLiteral("...")));
    auto *picture = new QLabel;
    picture->setPixmap(poolicons::node(nodeimage::Room).pixmap(48, 48));
    auto *name = new QLabel(QStringLiteral("<h2>Mossbramble</h2><p>%1 %2</p><p>%3</p>")
                                .arg(tr("Version"), QStringLiteral(MOSSBRAMBLE_VERSION),
                                     tr("An editor for mouse-controlled 2D graphic adventure games.")));
    name->setWordWrap(true);
    auto *row = new QHBoxLayout;
    row->addWidget(picture, 0, Qt::AlignTop);
    row->addWidget(name, 1);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(buttons);
}

} // namespace mb
