#pragma once
// Records what a long operation reports through a WorkProgress and checks the promises the
// receiver is given: one total, `done` never going back nor past it, a few hundred reports at
// most, and a complete run ending with done == total.
//
//     testing::ProgressRecorder progress;
//     progress.stopAt = 2; // ask to stop at the second report
//     openProject(model, catalog, path, progress.receiver());
//     QCOMPARE(progress.problem(expectedTotal, true), QString());

#include "platform/workprogress.h"

#include <QList>
#include <QString>

#include <utility>

namespace mb::testing {

struct ProgressRecorder
{
    QList<std::pair<qint64, qint64>> reports; // done, total
    int stopAt = 0;         // asks to stop at this report (from 1; 0: never)
    bool stopAtEnd = false; // asks to stop at the report of the end (done == total)

    WorkProgress receiver()
    {
        return [this](qint64 done, qint64 total) {
            reports.append({done, total});
            return (stopAt == 0 || reports.size() < stopAt) && !(stopAtEnd && done == total);
        };
    }

    // Empty when the reports keep the promises for a run of `total` units (that ended with
    // done == total when `complete`); else the first broken promise.
    QString problem(qint64 total, bool complete) const
    {
        if (reports.isEmpty())
            return QStringLiteral("nothing was reported");
        if (reports.size() > 400)
            return QStringLiteral("%1 reports for one run; a receiver that repaints each time would slow it down")
                .arg(reports.size());
        qint64 before = 0;
        for (int i = 0; i < reports.size(); ++i) {
            const auto [done, reportedTotal] = reports[i];
            const QString where = QStringLiteral("report %1 (%2 of %3): ").arg(i + 1).arg(done).arg(reportedTotal);
            if (reportedTotal != total)
                return where + QStringLiteral("the total should be %1").arg(total);
            if (done < before)
                return where + QStringLiteral("went back from %1").arg(before);
            if (done > total)
                return where + QStringLiteral("is past the total");
            before = done;
        }
        if (complete && reports.last().first != total)
            return QStringLiteral("the last report says %1 of %2, not the end").arg(reports.last().first).arg(total);
        return {};
    }
};

} // namespace mb::testing
