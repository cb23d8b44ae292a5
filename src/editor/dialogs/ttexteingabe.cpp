#include "dialogs/ttexteingabe.h"
#include "project/asker.h"

#include "project/editorsettings.h"
#include "project/messagecatalog.h"
#include "project/projectmodel.h"
#include "project/projectsession.h"
#include "project/texthelpers.h"
#include "tools/commandlistops.h"
#include "tools/languagerecords.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>

namespace mb {

Ttexteingabe::Ttexteingabe(ProjectSession &session, MessageCatalog &catalog, EditorSettings &settings,
                           Asker &asker, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), m_session(session), m_catalog(catalog), m_asker(asker)
{
    setModal(true);
    // Borderless: the box draws its own frame.
    auto *box = new QFrame;
    box->setFrameShape(QFrame::Box);
    auto *outer = new QHBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(box);
    auto *frame = new QHBoxLayout(box);
    m_label = new QLabel(catalog.msg(553));
    m_edit1 = new QLineEdit;
    m_edit1->setMinimumWidth(200);
    // Script delimiters cannot be part of a name; typing them does nothing.
    m_edit1->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[^(){};]*")), m_edit1));
    m_button = new QPushButton(catalog.msg(182));
    m_button->setAutoDefault(false);
    frame->addWidget(m_label);
    frame->addWidget(m_edit1, 1);
    frame->addWidget(m_button);
    connect(m_button, &QPushButton::clicked, this, &Ttexteingabe::eintragen);
    connect(m_edit1, &QLineEdit::returnPressed, this, &Ttexteingabe::eintragen);
    // Names are typed in the script editor's font (config.ini "Skript Font").
    const QString family = settings.readsetting(QStringLiteral("Skript Font"));
    if (family != QLatin1String("-1"))
        setScriptFont(family);
}

void Ttexteingabe::setScriptFont(const QString &family)
{
    QFont f = m_edit1->font();
    f.setFamily(family);
    m_edit1->setFont(f);
}

void Ttexteingabe::start(Mode mode, int boolIndex)
{
    m_mode = mode;
    m_boolIndex = boolIndex;
    m_label->setText(m_catalog.msg(mode == AddLanguage ? 555 : 553));
    m_edit1->clear();
    if (mode == RenameBool && boolIndex >= 0 && boolIndex < int(m_session.model().commands.bools.size())) {
        m_edit1->setText(m_session.model().commands.bools[boolIndex].name);
        m_edit1->selectAll();
    }
    show();
    raise();
    m_edit1->setFocus();
}

void Ttexteingabe::startRenameAction(const std::array<QString, 20> &extraNames, int extra)
{
    m_mode = RenameAction;
    m_extraNames = extraNames;
    m_extra = extra;
    m_label->setText(m_catalog.msg(554));
    m_edit1->setText(extra >= 0 && extra < 20 ? extraNames[extra] : QString());
    m_edit1->selectAll();
    show();
    raise();
    m_edit1->setFocus();
}

void Ttexteingabe::keyPressEvent(QKeyEvent *e)
{
    if (e->key() == Qt::Key_Escape) {
        // Escape takes an empty name, which every mode ignores.
        m_edit1->clear();
        eintragen();
        return;
    }
    QDialog::keyPressEvent(e);
}

void Ttexteingabe::finish()
{
    hide();
    emit closed();
}

void Ttexteingabe::exists(const QString &name)
{
    m_asker.information(this, m_catalog.msg(367),
            name + QLatin1Char(' ') + m_catalog.msg(147));
}

void Ttexteingabe::eintragen()
{
    const QString name = m_edit1->text().trimmed();
    switch (m_mode) {
    case AddBool:
    case RenameBool: {
        const NameCheck check = checkBoolName(m_session.model().commands, name, m_mode == RenameBool);
        if (check.message == 147) {
            exists(name);
            return;
        }
        if (check.message == 183) {
            m_asker.error(this, m_catalog.msg(365), m_catalog.msg(183));
            return;
        }
        if (check.accept) {
            const int index = m_mode == AddBool ? addBool(m_session, name)
                                                : renameBool(m_session, m_boolIndex, name);
            if (index >= 0)
                emit boolEntered(index);
        }
        finish();
        return;
    }
    case RenameAction: {
        if (name.isEmpty() || (m_extra >= 0 && m_extra < 20 && name == m_extraNames[m_extra])) {
            finish();
            return;
        }
        for (int i = 0; i < 10; ++i)
            if (i != m_extra && text::sameText(m_extraNames[i], name)) {
                exists(name);
                return;
            }
        emit actionRenamed(m_extra, name);
        finish();
        return;
    }
    case AddLanguage: {
        const AddLanguageResult r = addLanguage(m_session, name);
        if (r.status == AddLanguageResult::Full) {
            finish();
            m_asker.show(this, r.message, m_catalog);
            return;
        }
        if (r.status == AddLanguageResult::Exists || r.status == AddLanguageResult::Invalid) {
            m_asker.tell(this, r.status == AddLanguageResult::Exists ? Asker::Information : Asker::Error,
                         m_catalog.msg(r.status == AddLanguageResult::Exists ? 367 : 365), r.message.render(m_catalog));
            return;
        }
        if (r.status == AddLanguageResult::Added)
            emit languageAdded(r.slot);
        finish();
        return;
    }
    }
}

} // namespace mb
