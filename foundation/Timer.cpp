#include "foundation/Timer.h"

#include <algorithm>
#include <deque>
#include <set>
#include <vector>

#include "foundation/CrashLog.h"

// The running set and the state of the firing passes.
class CTimerSet
{
public:
    static CTimerSet& Get()
    {
        static CTimerSet set;
        return set;
    }

    void Add(CTimer* timer) { m_running.insert(timer); }
    void Remove(CTimer* timer) { m_running.erase(timer); }
    uint64_t GetPassSerial() const { return m_passSerial; }
    int GetCount() const { return int(m_running.size()); }

    void FirePass();
    int GetNextDelay() const;

    // A timer being destroyed is no longer one whose handler runs.
    void Forget(CTimer* timer)
    {
        std::replace(m_firing.begin(), m_firing.end(), timer, static_cast<CTimer*>(nullptr));
    }

private:
    bool IsInHandler(const CTimer* timer) const
    {
        return std::find(m_firing.begin(), m_firing.end(), timer) != m_firing.end();
    }

    // Whole milliseconds left until the timer is due; 0 or less when due.
    static int64_t GetMillisecondsLeft(const CTimer& timer)
    {
        if (timer.interval == 0)
            return 0;
        const int64_t elapsed = int64_t(timer.start.GetElapsedSeconds() * 1000.0);
        return int64_t(timer.interval) - elapsed;
    }

    void Fire(CTimer& timer);

    std::set<CTimer*> m_running;
    // One snapshot per nesting depth of firing passes, kept for reuse so that
    // a pass allocates nothing once the set has been this large before.
    std::deque<std::vector<CTimer*>> m_snapshots;
    size_t m_depth = 0;
    // Counts the passes; a timer started during pass n waits for a later one.
    uint64_t m_passSerial = 0;
    // The timers whose handlers run, innermost last. Kept off the stack: a
    // fault handled by a guard further out abandons the firing frames
    // without unwinding them, and a timer destroyed later (at exit, say)
    // must not walk into that stack memory.
    std::vector<CTimer*> m_firing;
};

void CTimerSet::FirePass()
{
    const uint64_t pass = ++m_passSerial;
    const size_t depth = m_depth;
    if (m_snapshots.size() <= depth)
        m_snapshots.emplace_back();
    std::vector<CTimer*>& snapshot = m_snapshots[depth];
    m_depth = depth + 1;
    snapshot.reserve(std::max<size_t>(10, m_running.size()));
    snapshot.assign(m_running.begin(), m_running.end());

    CUnwatchedSection unwatched;
    for (CTimer* timer : snapshot) {
        // An earlier handler may have stopped or destroyed it; only a timer
        // still in the set is alive, so it is looked up before it is read.
        if (m_running.find(timer) == m_running.end())
            continue;
        if (timer->m_startPass >= pass || IsInHandler(timer))
            continue;
        CWatchedSection watched;
        if (GetMillisecondsLeft(*timer) <= 0)
            Fire(*timer);
    }
    snapshot.clear();
    m_depth = depth;
}

void CTimerSet::Fire(CTimer& timer)
{
    if (!timer.repeat)
        timer.Stop();
    const float measured = float(timer.start.Lap() * 1000.0);
    timer.lastDelay = std::min(measured, float(std::max<int32_t>(timer.interval, 0)) + 500.0f);
    TRACE_VALUE(int32_t, timer.interval);
    TRACE_VALUE(bool, timer.repeat);
    TRACE_VALUE(float, timer.lastDelay);

    // The copy keeps the handler alive even when it destroys its own timer.
    const CDelegate<CTimer*> handler = timer.signal;
    const size_t depth = m_firing.size();
    m_firing.push_back(&timer);
    handler(&timer);
    m_firing.resize(depth);
}

int CTimerSet::GetNextDelay() const
{
    int64_t nearest = -1;
    for (const CTimer* timer : m_running) {
        if (IsInHandler(timer))
            continue;
        const int64_t left = GetMillisecondsLeft(*timer);
        if (left <= 0)
            return 0;
        if (nearest < 0 || left < nearest)
            nearest = left;
    }
    return int(nearest);
}

CTimer::CTimer()
{
    // Makes the set before the first timer, so that a static timer is
    // destroyed before the set at exit.
    CTimerSet::Get();
}

CTimer::~CTimer()
{
    Stop();
    CTimerSet::Get().Forget(this);
}

void CTimer::Start(bool restart)
{
    TRACE_VALUE(int32_t, interval);
    if (m_running && !restart)
        return;
    CTimerSet& set = CTimerSet::Get();
    if (!m_running) {
        set.Add(this);
        m_running = true;
    }
    start = CStopwatch();
    m_startPass = set.GetPassSerial();
}

void CTimer::Stop()
{
    if (!m_running)
        return;
    CTimerSet::Get().Remove(this);
    m_running = false;
}

void FireDueTimers()
{
    TRACE_POINT();
    CTimerSet::Get().FirePass();
}

int GetNextTimerDelay()
{
    return CTimerSet::Get().GetNextDelay();
}

int GetRunningTimerCount()
{
    return CTimerSet::Get().GetCount();
}
