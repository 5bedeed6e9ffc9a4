// The log-on / log-off operating-time clock: accumulated seconds plus the running
// time since log-on.
#pragma once

#include <QDateTime>

namespace ditlog {

class OperatingTime {
public:
    void setAccumulated(double seconds) { m_accumulated = seconds; }
    double accumulated() const { return m_accumulated; }
    bool loggedOn() const { return m_loggedOn; }

    void logOn(const QDateTime& now) {
        m_loggedOn = true;
        m_since = now;
    }
    // Keeps the time counted so far as the new accumulated time.
    void logOff(const QDateTime& now) {
        m_accumulated = running(now);
        m_loggedOn = false;
    }
    // |accumulated + seconds since log-on| while logged on, else the accumulated time.
    double running(const QDateTime& now) const {
        if (!m_loggedOn) {
            return m_accumulated;
        }
        const double total = m_accumulated + double(m_since.secsTo(now));
        return total < 0 ? -total : total;
    }
    void reset() {
        m_loggedOn = false;
        m_accumulated = 0;
    }

private:
    bool m_loggedOn = false;
    double m_accumulated = 0;
    QDateTime m_since;
};

} // namespace ditlog
