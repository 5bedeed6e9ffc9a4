// Monotonic time and the timers that run on it, for the state machines of the window
// thread (the rig link's poll and command steps). Tests give them a clock they move by
// hand, so that sequences are asserted to the millisecond instead of within margins.
#pragma once

#include <QObject>

#include <QElapsedTimer>

namespace ditlog {

// A timer shaped like QTimer: single-shot or repeating, started with an interval in
// milliseconds; timeout() arrives on the thread that owns it.
class ClockTimer : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    void setSingleShot(bool singleShot) { m_singleShot = singleShot; }
    bool isSingleShot() const { return m_singleShot; }
    void setInterval(int ms) { m_interval = ms < 0 ? 0 : ms; }
    int interval() const { return m_interval; }
    // Starts (or restarts) with the interval given, which becomes the interval.
    void start(int ms) {
        setInterval(ms);
        start();
    }
    virtual void start() = 0;
    virtual void stop() = 0;
    virtual bool isActive() const = 0;

Q_SIGNALS:
    void timeout();

private:
    bool m_singleShot = false;
    int m_interval = 0;
};

class TimerClock {
public:
    virtual ~TimerClock() = default;
    // Nanoseconds on a monotonic clock.
    virtual qint64 nowNs() const = 0;
    // A new stopped timer that the parent owns.
    virtual ClockTimer* createTimer(QObject* parent) = 0;
};

// The steady clock, with precise QTimers on the event loop.
class SystemTimerClock final : public TimerClock {
public:
    SystemTimerClock() { m_started.start(); }
    qint64 nowNs() const override { return m_started.nsecsElapsed(); }
    ClockTimer* createTimer(QObject* parent) override;

private:
    QElapsedTimer m_started;
};

} // namespace ditlog
