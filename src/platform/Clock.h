// Wall time (local and UTC) and a monotonic counter, behind one interface so that time
// can be set in tests.
#pragma once

#include <QDateTime>

namespace ditlog {

class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime localNow() const = 0;
    virtual QDateTime utcNow() const = 0;
    virtual qint64 monotonicNs() const = 0;
};

class SystemClock final : public Clock {
public:
    QDateTime localNow() const override;
    QDateTime utcNow() const override;
    qint64 monotonicNs() const override;
};

} // namespace ditlog
