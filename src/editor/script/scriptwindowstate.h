#pragma once

#include "script/recentscripts.h"

#include <QObject>
#include <QString>

namespace mb {

// What the script editor keeps while its window is closed and opened again: the pending open
// request and the recent scripts. Any window posts a request here (a script key, see ScriptKey, or
// "free"); a later request replaces one that was not yet served. The script window serves it when
// it exists (posted() tells it), or on its first tick when it is created later.
class ScriptWindowState : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    // Posts a request; `line` (from 1, 0 for none) puts the caret on that line once it is open.
    void post(const QString &key, int line = 0)
    {
        m_pending = key;
        m_line = line;
        emit posted();
    }
    bool hasPending() const { return !m_pending.isEmpty(); }
    // Takes the pending request, leaving none.
    QString take(int *line = nullptr)
    {
        if (line)
            *line = m_line;
        m_line = 0;
        return std::exchange(m_pending, QString());
    }

    RecentScripts recent;

signals:
    void posted();

private:
    QString m_pending;
    int m_line = 0;
};

} // namespace mb
