// The steady clock's timers: a precise QTimer behind each.
#include "platform/TimerClock.h"

#include <QTimer>

namespace ditlog {

namespace {
class QtClockTimer final : public ClockTimer {
public:
    explicit QtClockTimer(QObject* parent) : ClockTimer(parent), m_timer(this) {
        m_timer.setTimerType(Qt::PreciseTimer);
        connect(&m_timer, &QTimer::timeout, this, &ClockTimer::timeout);
    }
    void start() override {
        m_timer.setSingleShot(isSingleShot());
        m_timer.start(interval());
    }
    void stop() override { m_timer.stop(); }
    bool isActive() const override { return m_timer.isActive(); }

private:
    QTimer m_timer;
};
} // namespace

ClockTimer* SystemTimerClock::createTimer(QObject* parent) {
    return new QtClockTimer(parent);
}

} // namespace ditlog
