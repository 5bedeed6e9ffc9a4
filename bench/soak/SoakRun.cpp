// The soak run's operator: contacts typed every 3 s with the calling loop and the exchange
// keyed around them, the radio moved and tuned, and the figures gathered at the end.
#include "SoakRun.h"

#include "SoakStation.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QMap>
#include <QThread>
#include <QTimeZone>

#include <algorithm>
#include <cstdio>
#include <ctime>

namespace ditlog::soak {

namespace {

constexpr int kCycleMs = 3000;
constexpr int kSpotsListed = 200; // the rows the spot list keeps (the band map: 50)
// The exchange (F2, "SAM CT" at 40 WPM: 47 units of 30 ms) heard out before F1 calls again.
constexpr qint64 kExchangeMs = 1600;

// Where the radio is sent every 30 s, in turn: the CW end of five bands.
const QStringList kBandHz{QStringLiteral("7030000"), QStringLiteral("3550000"),
                          QStringLiteral("21030000"), QStringLiteral("28030000"),
                          QStringLiteral("14030000")};
const QStringList kStates{QStringLiteral("CT"), QStringLiteral("MA"), QStringLiteral("NY"),
                          QStringLiteral("TX"), QStringLiteral("CA"), QStringLiteral("OH"),
                          QStringLiteral("FL"), QStringLiteral("WA"), QStringLiteral("GA")};
const QStringList kNames{QStringLiteral("BOB"), QStringLiteral("SAM"), QStringLiteral("ANN"),
                         QStringLiteral("JOE"), QStringLiteral("SUE"), QStringLiteral("TOM")};
const QStringList kReports{QStringLiteral("599"), QStringLiteral("579"), QStringLiteral("589")};

QString bandOf(double mhz) {
    struct Range {
        double low, high;
        const char* band;
    };
    static const Range ranges[] = {{1.8, 2.0, "160"},   {3.5, 4.0, "80"},    {7.0, 7.3, "40"},
                                   {14.0, 14.35, "20"}, {21.0, 21.45, "15"}, {28.0, 29.7, "10"},
                                   {50.0, 54.0, "6"}};
    for (const Range& r : ranges) {
        if (mhz >= r.low && mhz <= r.high) {
            return QLatin1String(r.band);
        }
    }
    return {};
}

// A call of its own for every contact: K, W or N, a digit, three letters.
QString contactCall(int n) {
    static const char* const prefixes[] = {"K", "W", "N"};
    const int digit = (n / 3) % 10;
    const int rest = n / 30;
    QString call = QLatin1String(prefixes[n % 3]) + QString::number(digit);
    for (int k : {2, 1, 0}) {
        int div = 1;
        for (int i = 0; i < k; ++i) {
            div *= 26;
        }
        call += QChar(u'A' + (rest / div) % 26);
    }
    return call;
}

// Now on CLOCK_MONOTONIC, the clock the program's stall report and the line shim use.
qint64 monotonicMs() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return qint64(t.tv_sec) * 1000 + t.tv_nsec / 1'000'000;
}

// What the operator began at a moment of the run.
struct ActionMark {
    qint64 ms; // CLOCK_MONOTONIC
    const char* what;
};

class Operator {
  public:
    Operator(SoakStation& station, const SoakOptions& options, SoakFigures& figures)
        : m_station(station), m_options(options), m_figures(figures) {}

    void run();
    QList<testing::ExpectedContact> expected() const { return m_expected; }
    void finishTyping();
    // The process once everything is in use: after the first contact, with the calling
    // loop keying, the rig polled and the spots flowing.
    const testing::ProcessSample& atStart() const { return m_atStart; }
    const std::vector<ActionMark>& marks() const { return m_marks; }

  private:
    void mark(const char* what) { m_marks.push_back({monotonicMs(), what}); }
    void sampleMemory(qint64 elapsedMs);
    void turnRadio();
    void tuneFromPanel();
    std::optional<double> radioMhz();
    void typeContact(int n);
    // Every 50th contact: the newest contact's name corrected in the edit window.
    void correctName(const QString& corrected);
    // The last contact was stamped by now at the latest: a window thread that fell behind
    // the keys under load still stamps each contact before the next one is begun.
    void closeWindow(const QDateTime& now) {
        if (!m_expected.isEmpty() && m_expected.last().latest < now) {
            m_expected.last().latest = now;
        }
    }
    void waitUntil(qint64 ms) {
        while (m_clock.elapsed() < ms) {
            QThread::msleep(20);
        }
    }

    SoakStation& m_station;
    const SoakOptions& m_options;
    SoakFigures& m_figures;
    QElapsedTimer m_clock;
    QList<testing::ExpectedContact> m_expected;
    QHash<QString, QString> m_lastCallOnBand;
    int m_band = 0;
    qint64 m_nextProgress = 30000;
    testing::ProcessSample m_atStart;
    std::vector<ActionMark> m_marks;
};

void Operator::run() {
    m_clock.start();
    XSession& x = m_station.x();
    x.key({QStringLiteral("F1")}); // the calling loop
    if (m_options.idle) {
        QThread::msleep(3000);
        m_atStart = testing::sampleProcess(m_station.programPid(), true);
        m_figures.rssStartKiB = m_atStart.rssKiB;
        m_figures.fdsStart = m_atStart.fds;
        m_figures.realtimeThreads = m_atStart.realtimeThreads;
        waitUntil(qint64(m_options.seconds) * 1000);
        m_figures.seconds = double(m_clock.elapsed()) / 1000;
        return;
    }
    const int contacts = std::max(1, m_options.seconds * 1000 / kCycleMs);
    for (int n = 0; n < contacts && m_station.programRunning(); ++n) {
        const qint64 start = qint64(n) * kCycleMs;
        waitUntil(start);
        if (n > 0 && n % 10 == 0) {
            turnRadio(); // every 30 s
        }
        if (n % 20 == 5) {
            tuneFromPanel(); // every 60 s
        }
        waitUntil(start + 600); // the rig link polls the new frequency in
        typeContact(n);
        if (n == 0) {
            QThread::msleep(500);
            m_atStart = testing::sampleProcess(m_station.programPid(), true);
            m_figures.rssStartKiB = m_atStart.rssKiB;
            m_figures.fdsStart = m_atStart.fds;
            m_figures.realtimeThreads = m_atStart.realtimeThreads;
        }
        sampleMemory(m_clock.elapsed());
    }
    m_figures.seconds = double(m_clock.elapsed()) / 1000;
}

void Operator::finishTyping() {
    closeWindow(QDateTime::currentDateTimeUtc());
}

void Operator::sampleMemory(qint64 elapsedMs) {
    if (m_figures.rssAfter2MinKiB == 0 && elapsedMs >= 120000) {
        m_figures.rssAfter2MinKiB = testing::sampleProcess(m_station.programPid()).rssKiB;
    }
    if (m_options.progress && elapsedMs >= m_nextProgress) {
        m_nextProgress += 30000;
        const auto s = testing::sampleProcess(m_station.programPid());
        std::fprintf(stderr, "soak %4llds: %d contacts typed, rss %lld KiB, %d fds\n",
                     static_cast<long long>(elapsedMs / 1000), m_figures.contactsTyped,
                     static_cast<long long>(s.rssKiB), s.fds);
    }
}

void Operator::turnRadio() {
    m_band = (m_band + 1) % int(kBandHz.size());
    mark("band turned at the radio");
    m_station.radio().rigctl({QStringLiteral("F"), kBandHz.at(m_band)});
}

void Operator::tuneFromPanel() {
    const QString panel = QStringLiteral(" Change Frequency and Mode (Ctrl G (Go))");
    const auto mhz = radioMhz();
    if (!mhz) {
        return;
    }
    XSession& x = m_station.x();
    mark("tune panel: Ctrl+G");
    x.key({QStringLiteral("ctrl+g")});
    if (!x.waitForWindow(panel, 10000) || !x.focus(panel)) {
        m_station.focusMain();
        return;
    }
    // Up 2 kHz from where the radio stands, typed into the panel and sent with Enter.
    QStringList keys(12, QStringLiteral("BackSpace"));
    x.key(keys);
    x.type(QString::number(*mhz + 0.002, 'f', 3));
    mark("tune panel: Enter");
    x.key({QStringLiteral("Return")});
    QThread::msleep(500);
    mark("tune panel: Done");
    x.key({QStringLiteral("alt+d")});
    x.waitWindowGone(panel, 10000);
    m_station.focusMain();
}

std::optional<double> Operator::radioMhz() {
    const auto hz = m_station.radio().rigctl({QStringLiteral("f")});
    bool ok = false;
    const double value = hz ? hz->trimmed().section(u'\n', 0, 0).toDouble(&ok) : 0;
    return ok ? std::optional(value / 1e6) : std::nullopt;
}

void Operator::typeContact(int n) {
    const auto mhz = radioMhz();
    const QString band = mhz ? bandOf(*mhz) : QString();
    QString call = contactCall(n);
    const bool duplicate = n % 20 == 19 && m_lastCallOnBand.contains(band);
    if (duplicate) {
        call = m_lastCallOnBand.value(band);
    }
    const QString rstR = kReports.at(n % kReports.size());
    const QString rstS = kReports.at((n / 3) % kReports.size());
    const QString spc = kStates.at(n % kStates.size());
    const QString name = kNames.at(n % kNames.size());
    const QString exchange = n % 7 == 3 ? QStringLiteral("100W") : QString::number(1000 + n % 9000);

    const QDateTime earliest = QDateTime::currentDateTimeUtc();
    closeWindow(earliest);
    XSession& x = m_station.x();
    if (duplicate) {
        // Leaving the call field finds the duplicate: the row is emptied and the red
        // message shown; the operator clears it and calls again.
        mark("duplicate typed");
        x.type(call + u' ');
        QThread::msleep(500);
        x.key({QStringLiteral("Escape"), QStringLiteral("Escape"), QStringLiteral("F1")});
        ++m_figures.contactsTyped;
        ++m_figures.duplicatesTyped;
        return;
    }
    // The call, F2 for the exchange (typing on does not stop it), the rest of the row,
    // Enter, and F1 to call again once the exchange has been heard out.
    mark("contact: call and F2");
    x.type(call);
    x.key({QStringLiteral("F2")});
    QElapsedTimer keyed;
    keyed.start();
    x.type(QStringLiteral(" %1 %2 %3 %4 %5").arg(rstR, spc, name, exchange, rstS));
    mark("contact: Enter");
    x.key({QStringLiteral("Return")});
    QThread::msleep(std::max<qint64>(0, kExchangeMs - keyed.elapsed()));
    mark("contact: F1");
    x.key({QStringLiteral("F1")});
    const QDateTime latest = QDateTime::currentDateTimeUtc();

    ++m_figures.contactsTyped;
    m_lastCallOnBand.insert(band, call);
    const QString points = exchange.endsWith(u'W') ? QStringLiteral("2") : QStringLiteral("5");
    const QString frequency = mhz ? QString::number(*mhz, 'f', 3) : QString();
    m_expected.append(
        {{call, rstR, exchange, rstS, spc, QString(), QString(), name, band, points, frequency},
         earliest,
         latest});
    ++m_figures.contactsLogged;
    if (n % 50 == 14) { // the first within a minute, for the short run
        correctName(QStringLiteral("ED") + name);
    }
}

void Operator::correctName(const QString& corrected) {
    // The file is rewritten and read back, and must still hold every contact.
    QString why;
    mark("edit window");
    if (m_station.editNewestContact(corrected, &why)) {
        m_expected.last().fields[7] = corrected;
        ++m_figures.edits;
    } else {
        m_figures.editFailures.append(why);
        m_station.focusMain();
    }
    m_station.x().key({QStringLiteral("F1")});
}

// The newest spots sent against the rows of the list, call and frequency.
void compareSpots(const QString& recordPath, const QStringList& shown, SoakFigures& figures) {
    QFile file(recordPath);
    QStringList sent;
    if (file.open(QIODevice::ReadOnly)) {
        sent = QString::fromLatin1(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
    }
    figures.spotsSent = int(sent.size());
    figures.spotsShown = int(shown.size());
    figures.spotsExpected = std::min<int>(kSpotsListed, int(sent.size()));
    if (figures.spotsShown != figures.spotsExpected) {
        figures.spotDifferences.append(QStringLiteral("%1 rows shown, %2 expected")
                                           .arg(figures.spotsShown)
                                           .arg(figures.spotsExpected));
    }
    for (int row = 0; row < std::min(figures.spotsShown, figures.spotsExpected); ++row) {
        const QStringList want = sent.at(sent.size() - 1 - row).split(u' ');
        const QStringList got = shown.at(row).split(u'\t');
        const bool sameCall = want.value(1) == got.value(0).trimmed();
        const bool sameKhz =
            std::abs(want.value(2).toDouble() - got.value(1).toDouble() * 1000) < 0.05;
        if (!sameCall || !sameKhz) {
            figures.spotDifferences.append(QStringLiteral("row %1: \"%2\", sent \"%3 %4\"")
                                               .arg(row + 1)
                                               .arg(shown.at(row), want.value(1), want.value(2)));
        }
    }
}

// The newest mark at or before a moment; null before the first.
const ActionMark* markBefore(const std::vector<ActionMark>& marks, qint64 ms) {
    const auto after = std::upper_bound(marks.begin(), marks.end(), ms,
                                        [](qint64 t, const ActionMark& m) { return t < m.ms; });
    return after == marks.begin() ? nullptr : &*(after - 1);
}

// Each long stall beside what the operator had last begun, and the keying edges (all, and
// those more than a millisecond off) counted by the same.
void attribute(const std::vector<ActionMark>& marks, const std::vector<LongStall>& stalls,
               const std::vector<testing::LineEdge>& edges, SoakFigures& figures) {
    const qint64 startMs = marks.empty() ? 0 : marks.front().ms;
    for (const LongStall& stall : stalls) {
        const ActionMark* m = markBefore(marks, stall.beganMs);
        figures.longStalls.append(
            QStringLiteral("%1 ms at %2 s, %3")
                .arg(stall.lateMs, 0, 'f', 0)
                .arg(double(stall.beganMs - startMs) / 1000, 0, 'f', 1)
                .arg(m ? QStringLiteral("%1 ms after \"%2\"").arg(stall.beganMs - m->ms).arg(QLatin1String(m->what))
                       : QStringLiteral("before the first action")));
    }
    QMap<QString, QPair<int, int>> byAction; // all edges, late edges
    const auto actionAt = [&marks](qint64 ns) {
        const ActionMark* m = markBefore(marks, ns / 1'000'000);
        return m ? QLatin1String(m->what) : QLatin1String("start");
    };
    for (const testing::LineEdge& e : edges) {
        ++byAction[actionAt(e.ns)].first;
    }
    for (const qint64 ns : figures.keying.lateEdgeNs) {
        ++byAction[actionAt(ns)].second;
    }
    for (auto it = byAction.cbegin(); it != byAction.cend(); ++it) {
        figures.keyingByAction.append(QStringLiteral("after \"%1\": %2 edges, %3 over 1 ms")
                                          .arg(it.key())
                                          .arg(it.value().first)
                                          .arg(it.value().second));
    }
}

QStringList difference(const QStringList& a, const QStringList& b) {
    QStringList out;
    QStringList rest = b;
    for (const QString& item : a) {
        if (!rest.removeOne(item)) {
            out.append(item);
        }
    }
    return out;
}

void finish(SoakStation& station, Operator& op, const SoakOptions& options, SoakFigures& figures) {
    const testing::ProcessSample& atStart = op.atStart();
    XSession& x = station.x();
    station.focusMain();
    x.key({QStringLiteral("Escape"), QStringLiteral("Escape")}); // the calling loop stopped
    QThread::msleep(1500);
    const auto atEnd = testing::sampleProcess(station.programPid(), true);
    figures.rssEndKiB = atEnd.rssKiB;
    figures.peakRssKiB = atEnd.peakRssKiB;
    figures.fdsEnd = atEnd.fds;
    figures.fdsGained = difference(atEnd.fdTargets, atStart.fdTargets);
    figures.fdsLost = difference(atStart.fdTargets, atEnd.fdTargets);

    station.stopCluster();
    QThread::msleep(1500); // the last spots drawn
    if (!options.keepFolder.isEmpty()) {
        QDir().mkpath(options.keepFolder);
        x.screenshot(QDir(options.keepFolder).filePath(QStringLiteral("end.png")));
    }
    QString why;
    const QStringList shown = station.readSpotList(&why);
    if (shown.isEmpty() && !why.isEmpty()) {
        figures.spotDifferences.append(QStringLiteral("the list could not be read: %1").arg(why));
    }
    compareSpots(station.clusterRecordPath(), shown, figures);

    figures.exitCode = station.exitProgram();
    op.finishTyping();
    QFile log(station.logPath());
    const auto read =
        testing::readLogStrictly(log.open(QIODevice::ReadOnly) ? log.readAll() : QByteArray());
    figures.recordsInFile = int(read.records.size());
    if (!read.problem.isEmpty()) {
        figures.logDifferences.append(read.problem);
    }
    figures.logDifferences += testing::logDifferences(op.expected(), read.records);

    std::vector<LongStall> longStalls;
    QFile stalls(station.stallReportPath());
    if (stalls.open(QIODevice::ReadOnly)) {
        const QStringList report = QString::fromLatin1(stalls.readAll()).split(u'\n', Qt::SkipEmptyParts);
        figures.stalls = StallSummary::fromLine(report.value(0));
        for (const QString& line : report) {
            if (const auto stall = LongStall::fromLine(line)) {
                longStalls.push_back(*stall);
            }
        }
    }
    std::vector<testing::LineEdge> edges;
    QFile lines(station.shimLogPath());
    if (lines.open(QIODevice::ReadOnly)) {
        edges = testing::dtrEdges(lines.readAll());
        figures.keying = testing::analyseKeying(edges, station.plan().wpm);
    }
    attribute(op.marks(), longStalls, edges, figures);
}

} // namespace

SoakFigures runSoak(const SoakOptions& options) {
    SoakFigures figures;
    const QString missing = SoakStation::missingPrograms(true);
    if (!missing.isEmpty()) {
        figures.failure = QStringLiteral("missing: %1").arg(missing);
        return figures;
    }
    StationPlan plan;
    if (options.idle) {
        plan.spotsPerSecond = 0.01; // the cluster connected, and quiet
    }
    SoakStation station{plan};
    QString why;
    if (!station.start(&why)) {
        figures.failure = why;
        if (!options.keepFolder.isEmpty()) {
            station.keepFiles(options.keepFolder);
        }
        return figures;
    }
    Operator op(station, options, figures);
    op.run();
    if (!station.programRunning()) {
        figures.failure = QStringLiteral("the program ended during the run");
    }
    finish(station, op, options, figures);
    if (!options.keepFolder.isEmpty()) {
        station.keepFiles(options.keepFolder);
    }
    return figures;
}

QStringList describe(const SoakFigures& f) {
    QStringList out;
    const auto add = [&out](const char* name, const QString& value) {
        out.append(QStringLiteral("%1 %2").arg(QLatin1String(name), value));
    };
    if (!f.failure.isEmpty()) {
        add("failure", f.failure);
    }
    add("seconds", QString::number(f.seconds, 'f', 0));
    add("contacts_typed", QString::number(f.contactsTyped));
    add("duplicates_typed", QString::number(f.duplicatesTyped));
    add("contacts_logged", QString::number(f.contactsLogged));
    add("edits", QString::number(f.edits));
    for (const QString& d : f.editFailures.mid(0, 5)) {
        add("  edit_failed", d);
    }
    add("records_in_log", QString::number(f.recordsInFile));
    add("contacts_lost", QString::number(std::max(0, f.contactsLogged - f.recordsInFile)));
    add("log_differences", QString::number(f.logDifferences.size()));
    for (const QString& d : f.logDifferences.mid(0, 10)) {
        add("  log", d);
    }
    add("rss_start_kib", QString::number(f.rssStartKiB));
    add("rss_after_2min_kib", QString::number(f.rssAfter2MinKiB));
    add("rss_end_kib", QString::number(f.rssEndKiB));
    add("rss_peak_kib", QString::number(f.peakRssKiB));
    add("rss_growth_after_2min_kib",
        QString::number(f.rssAfter2MinKiB > 0 ? f.rssEndKiB - f.rssAfter2MinKiB : 0));
    add("realtime_threads", QString::number(f.realtimeThreads));
    add("fds_start", QString::number(f.fdsStart));
    add("fds_end", QString::number(f.fdsEnd));
    for (const QString& d : f.fdsGained) {
        add("  fd_gained", d);
    }
    for (const QString& d : f.fdsLost) {
        add("  fd_lost", d);
    }
    if (f.stalls) {
        add("stall", f.stalls->line());
    } else {
        add("stall", QStringLiteral("no report"));
    }
    for (const QString& d : f.longStalls) {
        add("  long_stall", d);
    }
    const auto& k = f.keying;
    add("keying", QStringLiteral("drains=%1 edges=%2 irregular=%3 waited_gaps=%7 p50_us=%4 p99_us=%5 max_us=%6")
                      .arg(k.drains)
                      .arg(k.edges)
                      .arg(k.irregular)
                      .arg(k.p50Us, 0, 'f', 0)
                      .arg(k.p99Us, 0, 'f', 0)
                      .arg(k.maxUs, 0, 'f', 0)
                      .arg(k.waitedGaps));
    add("  marks", QStringLiteral("p99_us=%1 max_us=%2").arg(k.markP99Us, 0, 'f', 0).arg(k.markMaxUs, 0, 'f', 0));
    add("  keyed", QStringList(k.texts.mid(0, 12)).join(QStringLiteral(" | ")));
    for (const QString& d : f.keyingByAction) {
        add("  keying", d);
    }
    add("spots_sent", QString::number(f.spotsSent));
    add("spots_shown", QString::number(f.spotsShown));
    add("spots_expected", QString::number(f.spotsExpected));
    for (const QString& d : f.spotDifferences.mid(0, 10)) {
        add("  spots", d);
    }
    add("exit_code", QString::number(f.exitCode));
    return out;
}

} // namespace ditlog::soak
