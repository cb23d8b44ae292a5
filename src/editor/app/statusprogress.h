#pragma once

#include "platform/workprogress.h"

#include <QString>

class QProgressBar;
class QStatusBar;

namespace mb {

// A bar in a status bar for the time of one long operation that runs in the window's thread:
// it shows how far the work is and lets the windows repaint at each report, without taking
// input. The bar goes when the object does.
class StatusProgress
{
public:
    StatusProgress(QStatusBar *statusBar, const QString &objectName);
    ~StatusProgress();
    StatusProgress(const StatusProgress &) = delete;
    StatusProgress &operator=(const StatusProgress &) = delete;

    QProgressBar *bar() const { return m_bar; }
    // `done` of `total`, as a share ("42%"), or with `counted` as the numbers ("7 / 20"); a total
    // of 0 makes it a moving bar without a figure.
    void show(qint64 done, qint64 total, bool counted = false);
    // A receiver that shows the share and repaints; it never asks to stop.
    WorkProgress receiver();

private:
    QProgressBar *m_bar;
};

} // namespace mb
