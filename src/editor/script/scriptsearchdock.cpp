#include "script/scriptsearchdock.h"

#include "project/messagecatalog.h"
#include "project/projectmodel.h"
#include "project/projectsession.h"
#include "script/scriptkey.h"
#include "script/scripttexts.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

namespace mb {

namespace {

constexpr int HitRole = Qt::UserRole + 1; // index into the hits, on line rows

} // namespace

ScriptSearchDock::ScriptSearchDock(ProjectSession &session, const MessageCatalog &catalog, QWidget *parent)
    : QDockWidget(parent), m_session(session), m_catalog(catalog)
{
    setObjectName(QStringLiteral("scriptsearch"));
    const auto t = [this](ScriptText text) { return scriptText(text, m_catalog); };
    setWindowTitle(t(ScriptText::SearchResults));

    auto *body = new QWidget(this);
    m_find = new QLineEdit(body);
    m_find->setObjectName(QStringLiteral("findtext"));
    m_find->setClearButtonEnabled(true);
    m_replace = new QLineEdit(body);
    m_replace->setObjectName(QStringLiteral("replacetext"));
    m_case = new QCheckBox(t(ScriptText::MatchCase), body);
    m_word = new QCheckBox(t(ScriptText::WholeWord), body);
    auto *findButton = new QPushButton(t(ScriptText::Find), body);
    findButton->setObjectName(QStringLiteral("findbutton"));
    m_replaceButton = new QPushButton(t(ScriptText::ReplaceInAllScripts), body);
    m_replaceButton->setObjectName(QStringLiteral("replacebutton"));
    m_summary = new QLabel(body);
    m_results = new QTreeWidget(body);
    m_results->setObjectName(QStringLiteral("results"));
    m_results->setHeaderLabels({t(ScriptText::ColumnScript), t(ScriptText::ColumnLine), t(ScriptText::ColumnText)});
    m_results->setRootIsDecorated(false);
    m_results->setUniformRowHeights(true);
    m_results->header()->setStretchLastSection(true);
    m_results->setColumnWidth(0, 260);
    m_results->setColumnWidth(1, 50);

    auto *grid = new QGridLayout(body);
    grid->setContentsMargins(4, 4, 4, 4);
    grid->addWidget(new QLabel(t(ScriptText::FindWhat), body), 0, 0);
    grid->addWidget(m_find, 0, 1);
    grid->addWidget(findButton, 0, 2);
    grid->addWidget(m_case, 0, 3);
    grid->addWidget(m_word, 0, 4);
    grid->addWidget(new QLabel(t(ScriptText::ReplaceWith), body), 1, 0);
    grid->addWidget(m_replace, 1, 1);
    grid->addWidget(m_replaceButton, 1, 2);
    grid->addWidget(m_summary, 1, 3, 1, 2);
    grid->addWidget(m_results, 2, 0, 1, 5);
    grid->setColumnStretch(1, 1);
    setWidget(body);

    connect(findButton, &QPushButton::clicked, this, &ScriptSearchDock::search);
    connect(m_find, &QLineEdit::returnPressed, this, &ScriptSearchDock::search);
    connect(m_replaceButton, &QPushButton::clicked, this, &ScriptSearchDock::replaceAll);
    connect(m_results, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem *item) { openResult(item); });
    connect(m_results, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem *item) { openResult(item); });
}

void ScriptSearchDock::activate()
{
    show();
    raise();
    m_find->setFocus();
    m_find->selectAll();
}

TextMatcher ScriptSearchDock::matcher() const
{
    return TextMatcher(m_find->text(), {m_case->isChecked(), m_word->isChecked()});
}

int ScriptSearchDock::search()
{
    const ScriptSearchResult found = findInProject(m_session.model(), matcher());
    m_hits = found.hits;
    m_results->clear();
    QList<QTreeWidgetItem *> rows;
    rows.reserve(m_hits.size());
    for (qsizetype i = 0; i < m_hits.size(); ++i) {
        const ScriptHit &hit = m_hits[i];
        auto *row = new QTreeWidgetItem({scriptLabel(hit.location, m_catalog) + u'"', QString::number(hit.line),
                                         hit.text.trimmed()});
        row->setData(0, HitRole, int(i));
        row->setTextAlignment(1, Qt::AlignRight);
        rows.append(row);
    }
    m_results->addTopLevelItems(rows);
    m_summary->setText(searchSummary(found.matchCount, found.scriptCount, m_catalog));
    return found.matchCount;
}

int ScriptSearchDock::replaceAll()
{
    const TextMatcher m = matcher();
    const ProjectReplace plan = planReplaceInProject(m_session.model(), m, m_replace->text());
    if (plan.changes.isEmpty()) {
        search();
        return 0;
    }
    applyScriptChanges(m_session, plan.changes); // one undo step
    search(); // what is left to find
    m_summary->setText(scriptText(ScriptText::ReplacedCount, m_catalog).arg(plan.matchCount));
    return plan.matchCount;
}

void ScriptSearchDock::openResult(QTreeWidgetItem *item)
{
    if (!item)
        return;
    const int index = item->data(0, HitRole).toInt();
    if (index < 0 || index >= m_hits.size())
        return;
    const ScriptHit &hit = m_hits[index];
    const std::optional<ScriptKey> key = ScriptKey::of(hit.location);
    if (!key) {
        emit message(scriptText(ScriptText::FrameLineElsewhere, m_catalog));
        return;
    }
    emit openRequested(key->text(), hit.line);
}

} // namespace mb
