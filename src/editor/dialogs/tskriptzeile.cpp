#include "dialogs/tskriptzeile.h"

#include "project/messagecatalog.h"
#include "project/projectmodel.h"
#include "project/projectsession.h"
#include "project/uitexts.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace mb {

Tskriptzeile::Tskriptzeile(ProjectSession &session, MessageCatalog &catalog, EditorSettings &settings,
                           QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), m_session(session)
{
    Q_UNUSED(settings);
    setModal(true);
    auto *frame = new QFrame;
    frame->setFrameShape(QFrame::Box);
    m_title = new QLabel;
    QFont bold = m_title->font();
    bold.setBold(true);
    m_title->setFont(bold);
    m_edit1 = new QLineEdit;
    m_edit1->setMinimumWidth(360);
    m_button = new QPushButton(catalog.msg(182));
    m_button->setAutoDefault(false);
    connect(m_button, &QPushButton::clicked, this, &Tskriptzeile::eintragen);
    connect(m_edit1, &QLineEdit::returnPressed, this, &Tskriptzeile::eintragen);
    auto *row = new QHBoxLayout;
    row->addWidget(m_edit1, 1);
    row->addWidget(m_button);
    auto *inner = new QVBoxLayout(frame);
    inner->addWidget(m_title);
    inner->addLayout(row);
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(frame);
}

const QString *Tskriptzeile::target() const
{
    const ProjectModel &model = m_session.model();
    switch (m_owner) {
    case Item:
        if (m_slot >= 1 && m_slot <= model.items.size() && m_state >= 0 && m_state < RItem::States
            && m_frame >= 0 && m_frame < RItem::Frames)
            return &model.items[m_slot].frames[m_state][m_frame].script;
        break;
    case Object:
        if (m_slot >= 1 && m_slot <= model.objects.size() && m_state >= 0 && m_state < Robj::States
            && m_frame >= 0 && m_frame < Robj::Frames)
            return &model.objects[m_slot].frames[m_state][m_frame].script;
        break;
    case Character:
        if (m_slot >= 1 && m_slot <= model.characters.size() && m_state >= 0
            && m_state < Rcharacter::States && m_frame >= 0 && m_frame < Rcharacter::Frames)
            return &model.characters[m_slot].frames[m_state][m_frame].script;
        break;
    }
    return nullptr;
}

void Tskriptzeile::start(Owner owner, int slot, int state, int frame, const QString &title)
{
    m_owner = owner;
    m_slot = slot;
    m_state = state;
    m_frame = frame;
    m_title->setText(title);
    const QString *line = target();
    m_edit1->setText(line ? *line : QString());
    show();
    raise();
    activateWindow();
}

void Tskriptzeile::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    m_edit1->setFocus();
}

void Tskriptzeile::eintragen()
{
    const QString *line = target();
    const QString text = m_edit1->text();
    if (line && *line != text) {
        const QString step = uiText(UiText::FrameScriptLine, m_session.catalog().language());
        const int state = m_state, frame = m_frame;
        switch (m_owner) {
        case Item:
            m_session.editRecord<RItem>(
                ProjectChange::element(Items, m_slot, ProjectChange::Frames, state, frame), step,
                [&](RItem &r) { r.frames[state][frame].script = text; });
            break;
        case Object:
            m_session.editRecord<Robj>(
                ProjectChange::element(Objects, m_slot, ProjectChange::Frames, state, frame), step,
                [&](Robj &r) { r.frames[state][frame].script = text; });
            break;
        case Character:
            m_session.editRecord<Rcharacter>(
                ProjectChange::element(Characters, m_slot, ProjectChange::Frames, state, frame), step,
                [&](Rcharacter &r) { r.frames[state][frame].script = text; });
            break;
        }
    }
    hide();
    emit entered(m_owner, m_slot, m_state, m_frame);
}

} // namespace mb
