#include "assets/titembox.h"

#include "app/tform1.h"
#include "project/messagecatalog.h"

#include <QPushButton>
#include <QVBoxLayout>

namespace mb {

Titembox::Titembox(TForm1 &form, ProjectSession &session, MessageCatalog &catalog, EditorSettings &settings,
                   Tskriptzeile *scriptLine, QWidget *parent)
    : AssetBox(AssetKind::Item, form, session, catalog, settings, scriptLine, parent)
{
    setObjectName(QStringLiteral("itembox"));
    m_script = new QPushButton(catalog.msg(224));
    m_script->setObjectName(QStringLiteral("skriptbearbeiten"));
    fieldsLayout()->addWidget(m_script);
    connect(m_script, &QPushButton::clicked, this, [this] {
        if (isOpen())
            m_form.requestScript(QStringLiteral("1") + elementName(), 0, true);
    });
    refresh();
}

void Titembox::fieldsEnabled(bool on)
{
    m_script->setEnabled(on);
}

} // namespace mb
