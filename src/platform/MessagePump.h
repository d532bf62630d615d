#pragma once
// Letting pending messages through during long work (reading archives,
// printing rows), so that the abort button and repainting keep working. The
// pump calls QCoreApplication::processEvents at most once per interval
// (30 ms by default), checked with a monotonic timer: the same effect as
// pumping after every line at a fraction of the cost. Callers read their abort
// flag after each Pump().
#include <QElapsedTimer>
#include <functional>

namespace platform {

class MessagePump {
public:
    using Action = std::function<void()>;

    static constexpr int DefaultIntervalMs = 30;

    explicit MessagePump(int intervalMs = DefaultIntervalMs);

    // Runs the action when the interval has passed since the last run (the
    // first call always runs it). True when it ran.
    bool Pump();
    // As Pump(), for callers that call it for many short steps (every line of
    // an archive): the clock is read only every so many calls, as many as
    // take about a millisecond at the pace seen so far, so messages still
    // get through about once per interval. True when the action ran.
    bool PumpSometimes();
    // Runs the action now and starts the interval anew.
    void PumpNow();

    // Replaces what a pump does (tests count calls); an empty action restores
    // QCoreApplication::processEvents.
    void SetAction(Action action);
    void SetIntervalMs(int intervalMs) { intervalMs_ = intervalMs; }
    int IntervalMs() const { return intervalMs_; }
    // Forgets the last run, so that the next Pump() runs the action.
    void Restart()
    {
        timer_.invalidate();
        untilCheck_ = 0;
        stride_ = 1;
    }

    // The instance the program uses.
    static MessagePump& Default();

private:
    void Run();

    Action action_;
    QElapsedTimer timer_;
    int intervalMs_;
    // PumpSometimes: calls left until the next clock read, calls between two
    // reads, and the time of the last read.
    int untilCheck_ = 0;
    int stride_ = 1;
    qint64 lastCheckNs_ = 0;
};

} // namespace platform
