// The window thread's lateness: a re-armed 10 ms timer, a fixed histogram, and the
// summary line written at exit.
#include "app/StallMonitor.h"

#include <QFile>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>

namespace ditlog {

namespace {
constexpr qint64 kFineStepNs = 20'000;       // 20 us
constexpr qint64 kFineLimitNs = 100'000'000; // 100 ms
constexpr qint64 kCoarseStepNs = 1'000'000;  // 1 ms
constexpr qint64 kCoarseLimitNs = 10'000'000'000LL;
constexpr std::size_t kFineBuckets = std::size_t(kFineLimitNs / kFineStepNs);
constexpr std::size_t kBuckets =
    kFineBuckets + std::size_t((kCoarseLimitNs - kFineLimitNs) / kCoarseStepNs) + 1;
} // namespace

LatenessHistogram::LatenessHistogram() : m_buckets(kBuckets, 0) {
}

std::size_t LatenessHistogram::bucketOf(qint64 ns) {
    if (ns < kFineLimitNs) {
        return std::size_t(std::max<qint64>(ns, 0) / kFineStepNs);
    }
    if (ns >= kCoarseLimitNs) {
        return kBuckets - 1;
    }
    return kFineBuckets + std::size_t((ns - kFineLimitNs) / kCoarseStepNs);
}

qint64 LatenessHistogram::upperEdgeNs(std::size_t bucket) {
    if (bucket < kFineBuckets) {
        return qint64(bucket + 1) * kFineStepNs;
    }
    return kFineLimitNs + qint64(bucket - kFineBuckets + 1) * kCoarseStepNs;
}

void LatenessHistogram::add(qint64 latenessNs) {
    ++m_buckets[bucketOf(latenessNs)];
    ++m_count;
    m_maxNs = std::max(m_maxNs, latenessNs);
}

double LatenessHistogram::percentileMs(double fraction) const {
    if (m_count == 0) {
        return 0;
    }
    // The smallest bucket edge at or below which the fraction of samples lies.
    const auto wanted = quint64(std::ceil(fraction * double(m_count)));
    quint64 seen = 0;
    for (std::size_t i = 0; i < m_buckets.size(); ++i) {
        seen += m_buckets[i];
        if (seen >= std::max<quint64>(wanted, 1)) {
            return double(std::min(upperEdgeNs(i), std::max<qint64>(m_maxNs, 0))) / 1e6;
        }
    }
    return maxMs();
}

quint64 LatenessHistogram::countOver(qint64 ns) const {
    // Counted from the first bucket wholly above the threshold.
    quint64 n = 0;
    for (std::size_t i = bucketOf(ns) + 1; i < m_buckets.size(); ++i) {
        n += m_buckets[i];
    }
    return n;
}

QString StallSummary::line() const {
    return QStringLiteral("stall-report samples=%1 seconds=%2 p50_ms=%3 p99_ms=%4 p999_ms=%5 "
                          "max_ms=%6 max_at_s=%7 over16=%8 over100=%9")
        .arg(samples)
        .arg(seconds, 0, 'f', 1)
        .arg(p50Ms, 0, 'f', 2)
        .arg(p99Ms, 0, 'f', 2)
        .arg(p999Ms, 0, 'f', 2)
        .arg(maxMs, 0, 'f', 2)
        .arg(maxAtSeconds, 0, 'f', 1)
        .arg(over16Ms)
        .arg(over100Ms);
}

std::optional<StallSummary> StallSummary::fromLine(const QString& line) {
    if (!line.startsWith(QStringLiteral("stall-report "))) {
        return std::nullopt;
    }
    StallSummary s;
    int found = 0;
    static const QRegularExpression pair(QStringLiteral("(\\w+)=([0-9.]+)"));
    for (auto it = pair.globalMatch(line); it.hasNext();) {
        const auto m = it.next();
        const QString key = m.captured(1);
        const double value = m.captured(2).toDouble();
        ++found;
        if (key == u"samples") {
            s.samples = quint64(value);
        } else if (key == u"seconds") {
            s.seconds = value;
        } else if (key == u"p50_ms") {
            s.p50Ms = value;
        } else if (key == u"p99_ms") {
            s.p99Ms = value;
        } else if (key == u"p999_ms") {
            s.p999Ms = value;
        } else if (key == u"max_ms") {
            s.maxMs = value;
        } else if (key == u"max_at_s") {
            s.maxAtSeconds = value;
        } else if (key == u"over16") {
            s.over16Ms = quint64(value);
        } else if (key == u"over100") {
            s.over100Ms = quint64(value);
        } else {
            --found;
        }
    }
    return found == 9 ? std::optional(s) : std::nullopt;
}

QString LongStall::line() const {
    return QStringLiteral("stall-at began_ms=%1 late_ms=%2").arg(beganMs).arg(lateMs, 0, 'f', 1);
}

std::optional<LongStall> LongStall::fromLine(const QString& line) {
    static const QRegularExpression form(
        QStringLiteral("^stall-at began_ms=([0-9]+) late_ms=([0-9]+(?:\\.[0-9]+)?)$"));
    const auto m = form.match(line.trimmed());
    if (!m.hasMatch()) {
        return std::nullopt;
    }
    return LongStall{m.captured(1).toLongLong(), m.captured(2).toDouble()};
}

StallMonitor::StallMonitor(QString reportPath, QObject* parent)
    : QObject(parent), m_reportPath(std::move(reportPath)) {
    m_timer.setTimerType(Qt::PreciseTimer);
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &StallMonitor::tick);
}

void StallMonitor::start() {
    if (m_clock.isValid()) {
        return;
    }
    m_clock.start();
    m_dueNs = m_clock.nsecsElapsed() + qint64(kIntervalMs) * 1'000'000;
    m_timer.start(kIntervalMs);
}

StallMonitor::~StallMonitor() {
    writeReport();
}

void StallMonitor::tick() {
    const qint64 now = m_clock.nsecsElapsed();
    const qint64 late = now - m_dueNs;
    if (late > qint64(m_histogram.maxMs() * 1e6)) {
        m_maxAtNs = now;
    }
    m_histogram.add(late);
    if (late > LongStall::kThresholdMs * 1'000'000 && m_longStalls.size() < std::size_t(kMaxLongStalls)) {
        // The window thread stopped answering when this tick fell due.
        const qint64 beganMs = m_clock.msecsSinceReference() + m_dueNs / 1'000'000;
        m_longStalls.push_back(LongStall{beganMs, double(late) / 1e6});
    }
    // Re-armed from now: a long stall is one sample, not a burst of catching-up ticks.
    m_dueNs = now + qint64(kIntervalMs) * 1'000'000;
    m_timer.start(kIntervalMs);
}

StallSummary StallMonitor::summary() const {
    StallSummary s;
    s.samples = m_histogram.count();
    s.seconds = m_clock.isValid() ? double(m_clock.nsecsElapsed()) / 1e9 : 0;
    s.p50Ms = m_histogram.percentileMs(0.5);
    s.p99Ms = m_histogram.percentileMs(0.99);
    s.p999Ms = m_histogram.percentileMs(0.999);
    s.maxMs = m_histogram.maxMs();
    s.maxAtSeconds = double(m_maxAtNs) / 1e9;
    s.over16Ms = m_histogram.countOver(16'000'000);
    s.over100Ms = m_histogram.countOver(100'000'000);
    return s;
}

bool StallMonitor::writeReport() const {
    QFile file(m_reportPath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text)) {
        return false;
    }
    QString text = summary().line() + u'\n';
    for (const LongStall& stall : m_longStalls) {
        text += stall.line() + u'\n';
    }
    return file.write(text.toUtf8()) > 0;
}

} // namespace ditlog
