#pragma once

#include <QtGlobal>

#include <functional>

namespace mb {

// How far a long operation is, told to whoever shows it: a bar or a progress window in the
// editor, a line on the terminal, a test.
//
// The operation calls it on the thread that started the operation, with `done` of `total`
// units of its own choosing (bytes, scripts). `total` is the same in every call of one run;
// `done` starts at 0, never goes back and never passes `total`, and a run that completes ends
// with a call where done == total. The calls come often enough for a bar to move smoothly and
// seldom enough to cost nothing beside the work: a few hundred per run at most.
//
// The return value asks the operation to go on (true) or to stop (false). Only operations that
// can stop without leaving anything half done listen to it, and their contract says what a stop
// leaves; all others run to the end whatever is returned.
using WorkProgress = std::function<bool(qint64 done, qint64 total)>;

// Passes the progress of one run on to a WorkProgress, keeping its promises: the calls are
// thinned out to about `steps` per run and `done` is clamped into 0..total and never goes back.
// Once the receiver asked to stop, stopped() stays true; an operation that can stop ends, one
// that cannot goes on reporting.
class WorkMeter
{
public:
    WorkMeter(WorkProgress progress, qint64 total, int steps = 200)
        : m_progress(std::move(progress)), m_total(qMax<qint64>(total, 0)),
          m_stride(qMax<qint64>(m_total / qMax(steps, 1), 1))
    {
    }

    // Reports `done` when it moved on by at least a step since the last report. Returns false
    // once the receiver asked to stop (now or before).
    bool update(qint64 done)
    {
        done = qBound<qint64>(m_reported, done, m_total);
        if (m_started && done - m_reported < m_stride)
            return !m_stopped;
        return report(done);
    }
    // The run is complete: reports done == total (unless that was the last report).
    bool finish() { return report(m_total); }
    bool stopped() const { return m_stopped; }
    qint64 total() const { return m_total; }

private:
    bool report(qint64 done)
    {
        if (!m_progress)
            return true;
        if (m_started && done == m_reported)
            return !m_stopped;
        m_started = true;
        m_reported = done;
        if (!m_progress(m_reported, m_total))
            m_stopped = true;
        return !m_stopped;
    }

    WorkProgress m_progress;
    qint64 m_total;
    qint64 m_stride;
    qint64 m_reported = 0;
    bool m_started = false;
    bool m_stopped = false;
};

} // namespace mb
