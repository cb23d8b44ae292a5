#include "script/hintpanel.h"

#include "script/caretanalysis.h"
#include "script/scripthighlighter.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

namespace mb {

namespace {

constexpr quint32 kPanelColour = 12776190; // pale yellow
constexpr quint32 kListColour = 10349309;  // yellow

QListWidget *makeList(const QString &name, QWidget *parent)
{
    auto *list = new QListWidget(parent);
    list->setObjectName(name);
    QPalette p = list->palette();
    p.setColor(QPalette::Base, ScriptHighlighter::fromWindowsColor(kListColour));
    list->setPalette(p);
    list->setFont(QFont(QStringLiteral("Arial")));
    list->setEnabled(false);
    list->setFocusPolicy(Qt::NoFocus); // the keyboard stays in the script
    list->setFixedHeight(list->fontMetrics().height() * 4 + 8);
    return list;
}

} // namespace

HintPanel::HintPanel(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("hintpanel"));
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, ScriptHighlighter::fromWindowsColor(kPanelColour));
    setPalette(p);

    auto *info = new QLabel(QStringLiteral("Info :"), this);
    m_hint = new QLabel(this);
    m_hint->setObjectName(QStringLiteral("hintlabel"));
    QFont bold = m_hint->font();
    bold.setBold(true);
    m_hint->setFont(bold);
    auto *top = new QHBoxLayout;
    top->addWidget(info);
    top->addWidget(m_hint, 1);

    m_left = makeList(QStringLiteral("helplist1"), this);
    m_right = makeList(QStringLiteral("helplist2"), this);
    // Equal stretch keeps each list at half the width however the window is sized.
    auto *lists = new QHBoxLayout;
    lists->setSpacing(0);
    lists->addWidget(m_left, 1);
    lists->addWidget(m_right, 1);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 2, 4, 4);
    layout->setSpacing(2);
    layout->addLayout(top);
    layout->addLayout(lists);

    for (QListWidget *list : {m_left, m_right})
        connect(list, &QListWidget::itemClicked, this, [this](QListWidgetItem *item) { emit chosen(item->text()); });
}

void HintPanel::showHint(const CaretHint &hint)
{
    m_hint->setText(hint.text);
    clearChoices();
    if (!hint.listsEnabled)
        return;
    m_left->setEnabled(true);
    m_right->setEnabled(true);
    m_left->addItems(hint.lists.left);
    m_right->addItems(hint.lists.right);
}

void HintPanel::clearChoices()
{
    m_left->clear();
    m_right->clear();
    m_left->setEnabled(false);
    m_right->setEnabled(false);
}

QString HintPanel::firstLeft() const
{
    return m_left->count() > 0 ? m_left->item(0)->text() : QString();
}

} // namespace mb
