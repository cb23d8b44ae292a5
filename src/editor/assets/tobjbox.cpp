#include "assets/tobjbox.h"

#include "assets/assettexts.h"
#include "assets/objectedit.h"
#include "project/messagecatalog.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace mb {

Tobjbox::Tobjbox(TForm1 &form, ProjectSession &session, MessageCatalog &catalog, EditorSettings &settings,
                 Tskriptzeile *scriptLine, QWidget *parent)
    : AssetBox(AssetKind::Object, form, session, catalog, settings, scriptLine, parent)
{
    setObjectName(QStringLiteral("objbox"));
    auto *sizes = new QFormLayout;
    const auto digits = new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,4}")), this);
    m_width = new QLineEdit;
    m_width->setObjectName(QStringLiteral("editwidth"));
    m_height = new QLineEdit;
    m_height->setObjectName(QStringLiteral("editheight"));
    for (QLineEdit *e : {m_width, m_height}) {
        e->setValidator(digits);
        e->setMaxLength(4);
        e->setFixedWidth(60);
        connect(e, &QLineEdit::editingFinished, this, &Tobjbox::sizeEntered);
    }
    sizes->addRow(catalog.msg(230), m_width);
    sizes->addRow(catalog.msg(231), m_height);
    fieldsLayout()->addLayout(sizes);
    m_effect = new QCheckBox(catalog.msg(256));
    m_effect->setObjectName(QStringLiteral("effectadd"));
    fieldsLayout()->addWidget(m_effect);
    connect(m_effect, &QCheckBox::clicked, this, [this](bool on) {
        m_session.editRecord<Robj>(elementChange(), assetText(AssetText::UndoObjectEffect, lang()),
                                   [&](Robj &r) { r.flag = on; });
    });
    auto *hint = new QLabel(catalog.msg(253) + u' ' + catalog.msg(254));
    fieldsLayout()->addWidget(hint);
    refresh();
}

void Tobjbox::sizeEntered()
{
    if (m_loading || !isOpen())
        return;
    const QSize game(model().settings.gameWidth, model().settings.gameHeight);
    const QString w = m_width->text(), h = m_height->text();
    m_session.editRecord<Robj>(elementChange(), assetText(AssetText::UndoSize, lang()),
                               [&](Robj &r) { objectedit::applySize(r, w, h, game); });
    // The fields show plain integers even when nothing changed.
    showFields();
}

void Tobjbox::showFields()
{
    const bool open = isOpen();
    const Robj *obj = open ? &model().objects[m_slot] : nullptr;
    const bool was = m_loading;
    m_loading = true;
    m_width->setText(obj ? QString::number(obj->width) : QString());
    m_height->setText(obj ? QString::number(obj->height) : QString());
    m_effect->setChecked(obj && obj->flag);
    m_loading = was;
}

void Tobjbox::fieldsEnabled(bool on)
{
    for (QWidget *w : {static_cast<QWidget *>(m_width), static_cast<QWidget *>(m_height), static_cast<QWidget *>(m_effect)})
        w->setEnabled(on);
}

} // namespace mb
