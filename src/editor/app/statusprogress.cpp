#include "app/statusprogress.h"

#include <QApplication>
#include <QProgressBar>
#include <QStatusBar>

#include <limits>

namespace mb {

StatusProgress::StatusProgress(QStatusBar *statusBar, const QString &objectName) : m_bar(new QProgressBar)
{
    m_bar->setObjectName(objectName);
    m_bar->setMaximumWidth(220);
    m_bar->setRange(0, 0);
    statusBar->addPermanentWidget(m_bar);
    m_bar->show();
}

StatusProgress::~StatusProgress()
{
    delete m_bar;
}

void StatusProgress::show(qint64 done, qint64 total, bool counted)
{
    // The bar counts in int: large totals are shown in thousandths.
    if (total > std::numeric_limits<int>::max()) {
        done = done * 1000 / total;
        total = 1000;
        counted = false;
    }
    m_bar->setRange(0, int(total));
    m_bar->setValue(int(done));
    m_bar->setFormat(total == 0 ? QString() : counted ? QStringLiteral("%v / %m") : QStringLiteral("%p%"));
}

WorkProgress StatusProgress::receiver()
{
    return [this](qint64 done, qint64 total) {
        show(done, total);
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        return true;
    };
}

} // namespace mb
