// How promptly the window thread answers, measured from inside: a 10 ms timer whose
// lateness is the wait any event arriving at that moment would have had. Made only with
// the hidden option --stall-report <file>, measuring from the end of the start-up on; the
// summary is written there at exit, followed by one line for each long stall (at most
// kMaxLongStalls) with its time on the system's monotonic clock, so that a driver can put
// each beside what it was doing at that moment.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>

#include <optional>
#include <vector>

namespace ditlog {

struct StallSummary {
    quint64 samples = 0;
    double seconds = 0; // how long the monitor ran
    double p50Ms = 0;
    double p99Ms = 0;
    double p999Ms = 0;
    double maxMs = 0;
    double maxAtSeconds = 0; // when the longest stall happened, from the monitor's start
    quint64 over16Ms = 0;    // samples later than one frame at 60 Hz
    quint64 over100Ms = 0;

    // One line of key=value pairs, the form the report file holds:
    // "stall-report samples=... seconds=... p50_ms=... p99_ms=... p999_ms=... max_ms=...
    //  max_at_s=... over16=... over100=..."
    QString line() const;
    // The line read back; nothing when it is not a stall report.
    static std::optional<StallSummary> fromLine(const QString& line);
};

// One stall over LongStall::kThresholdMs: when it began, in milliseconds of the monotonic
// clock every process of the machine shares, and how long it lasted.
struct LongStall {
    static constexpr qint64 kThresholdMs = 50;
    qint64 beganMs = 0;
    double lateMs = 0;

    // "stall-at began_ms=... late_ms=..."
    QString line() const;
    static std::optional<LongStall> fromLine(const QString& line);
};

// Lateness in a fixed histogram (20 us steps to 100 ms, 1 ms steps to 10 s), so that a run
// of any length takes the same memory.
class LatenessHistogram {
  public:
    LatenessHistogram();
    void add(qint64 latenessNs);
    quint64 count() const { return m_count; }
    double maxMs() const { return double(m_maxNs) / 1e6; }
    // The upper edge of the bucket holding the given fraction of the samples.
    double percentileMs(double fraction) const;
    quint64 countOver(qint64 ns) const;

  private:
    static std::size_t bucketOf(qint64 ns);
    static qint64 upperEdgeNs(std::size_t bucket);

    std::vector<quint32> m_buckets;
    quint64 m_count = 0;
    qint64 m_maxNs = 0;
};

class StallMonitor final : public QObject {
    Q_OBJECT
  public:
    static constexpr int kIntervalMs = 10;
    static constexpr int kMaxLongStalls = 500;

    // The summary goes to reportPath when the monitor ends.
    explicit StallMonitor(QString reportPath, QObject* parent = nullptr);
    ~StallMonitor() override;

    // Measuring begins (once; later calls do nothing).
    void start();

    StallSummary summary() const;
    // Writes the summary now (also done when the monitor ends); false when the file
    // cannot be written.
    bool writeReport() const;

  private:
    void tick();

    QString m_reportPath;
    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_dueNs = 0;
    qint64 m_maxAtNs = 0;
    LatenessHistogram m_histogram;
    std::vector<LongStall> m_longStalls;
};

} // namespace ditlog
