// System clock: Qt's wall time and the steady clock.
#include "platform/Clock.h"

#include <chrono>

namespace ditlog {

QDateTime SystemClock::localNow() const { return QDateTime::currentDateTime(); }

QDateTime SystemClock::utcNow() const { return QDateTime::currentDateTimeUtc(); }

qint64 SystemClock::monotonicNs() const {
    using namespace std::chrono;
    return duration_cast<nanoseconds>(steady_clock::now().time_since_epoch()).count();
}

} // namespace ditlog
