// Reading back a soak run: keying edges against the unit grid, the log file, /proc.
#include "SoakChecks.h"

#include "InternationalMorse.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTimeZone>

#include <algorithm>
#include <cmath>
#include <optional>
#include <utility>

#include <unistd.h>

namespace ditlog::testing {

std::vector<LineEdge> dtrEdges(const QByteArray& shimLog) {
    static const QRegularExpression record(
        QStringLiteral("^(\\d+) S\\d+ dtr=([01]) rts=[01] (\\S+)$"));
    std::vector<LineEdge> edges;
    bool started = false;
    bool level = false;
    for (const QByteArray& line : shimLog.split('\n')) {
        const auto m = record.match(QString::fromLatin1(line));
        if (!m.hasMatch() || m.captured(3) != u"ioctl") {
            continue; // the kernel's own raises and drops are not keying
        }
        const bool down = m.captured(2) == u"1";
        if (!started) {
            started = true; // the program's first write clears the line
            level = down;
            continue;
        }
        if (down != level) {
            edges.push_back({m.captured(1).toLongLong(), down});
            level = down;
        }
    }
    return edges;
}

namespace {

// The whole-unit length nearest to a measured one, among those a keyer may produce.
int nearestUnits(double units, bool mark) {
    if (mark) {
        return units < 2 ? 1 : 3;
    }
    if (units < 2) {
        return 1;
    }
    return units < 7 ? 3 : 11;
}

constexpr double kTolerance = 0.25; // of a unit

// Where an edge stands on the schedule kept so far (old) and on the one a late key-down
// after a gap would have begun (new).
struct HeldEdge {
    qint64 ns;
    qint64 oldUnits;
    qint64 newUnits;
};

constexpr double kOnScheduleNs = 500'000; // an edge this close to a schedule follows it
constexpr std::size_t kMaxHeld = 16;

struct DrainReader {
    double unitNs;
    KeyingFigures& figures;
    std::vector<double> errorsUs;
    std::vector<double> markErrorsUs;
    std::vector<std::pair<qint64, bool>> drain;
    double anchor = 0; // ns of unit 0 of the drain's schedule
    qint64 units = 0;
    // Edges since a late key-down after a gap, until one of them tells the schedules apart.
    std::vector<HeldEdge> held;

    void finishDrain() {
        decide();
        if (!drain.empty()) {
            figures.texts.append(decodeMorse(drain, qint64(unitNs)));
            drain.clear();
        }
    }
    void startDrain(const LineEdge& e) {
        finishDrain();
        ++figures.drains;
        anchor = double(e.ns);
        units = 0;
        drain.push_back({e.ns, e.down});
    }
    void measure(qint64 ns, double error) {
        if (std::abs(error) > double(KeyingFigures::kLateEdgeNs) &&
            figures.lateEdgeNs.size() < KeyingFigures::kMaxLateEdges) {
            figures.lateEdgeNs.push_back(ns);
        }
        if (std::abs(error) > kTolerance * unitNs) {
            ++figures.irregular;
            figures.irregularMs += std::abs(error) / 1e6;
            anchor += error; // the schedule moves on from the late (or early) edge
            return;
        }
        ++figures.edges;
        errorsUs.push_back(std::abs(error) / 1e3);
    }
    double oldError(const HeldEdge& h) const { return double(h.ns) - (anchor + double(h.oldUnits) * unitNs); }
    double newError(const HeldEdge& h) const {
        return double(h.ns) - (double(held.front().ns) + double(h.newUnits) * unitNs);
    }
    // The held edges measured against the schedule they follow: the old one (the key-down
    // was late and the engine kept its schedule) or the new one (the keyer began the
    // character when it came); undecided at the end, the one they keep closer to.
    void decide(std::optional<bool> waited = std::nullopt) {
        if (held.empty()) {
            return;
        }
        if (!waited) {
            double oldSum = 0;
            double newSum = 0;
            for (const HeldEdge& h : held) {
                oldSum += std::abs(oldError(h));
                newSum += std::abs(newError(h));
            }
            waited = newSum < oldSum;
        }
        const std::vector<HeldEdge> edges = std::exchange(held, {});
        if (*waited) {
            ++figures.waitedGaps;
            anchor = double(edges.front().ns);
            units = edges.back().newUnits;
            for (std::size_t i = 1; i < edges.size(); ++i) { // the key-down itself is unit 0
                measure(edges[i].ns, double(edges[i].ns) - (anchor + double(edges[i].newUnits) * unitNs));
            }
            return;
        }
        for (const HeldEdge& h : edges) {
            measure(h.ns, double(h.ns) - (anchor + double(h.oldUnits) * unitNs));
        }
    }
    void take(const LineEdge& previous, const LineEdge& e) {
        const double interval = double(e.ns - previous.ns) / unitNs;
        const bool mark = !e.down; // a key-up ends a mark
        const int n = nearestUnits(interval, mark);
        if (!mark && std::abs(interval - n) > kTolerance && interval > 3) {
            startDrain(e); // the keyer went idle: this key-down begins anew
            return;
        }
        drain.push_back({e.ns, e.down});
        if (mark) {
            markErrorsUs.push_back(std::abs(interval - n) * unitNs / 1e3);
        }
        units += n;
        if (!held.empty()) {
            const HeldEdge h{e.ns, units, held.back().newUnits + n};
            held.push_back(h);
            const bool onOld = std::abs(oldError(h)) <= kOnScheduleNs;
            const bool onNew = std::abs(newError(h)) <= kOnScheduleNs;
            if (onOld != onNew) {
                decide(onNew);
            } else if (held.size() >= kMaxHeld) {
                decide();
            }
            return;
        }
        const double error = double(e.ns) - (anchor + double(units) * unitNs);
        if (!mark && interval > n && error > double(KeyingFigures::kLateEdgeNs)) {
            held.push_back({e.ns, units, 0});
            return;
        }
        measure(e.ns, error);
    }
};

} // namespace

KeyingFigures analyseKeying(const std::vector<LineEdge>& edges, double wpm) {
    KeyingFigures figures;
    if (wpm <= 0) {
        return figures;
    }
    DrainReader reader{1.2e9 / wpm, figures, {}, {}, {}, 0, 0, {}};
    const LineEdge* previous = nullptr;
    for (const LineEdge& e : edges) {
        if (previous == nullptr) {
            if (!e.down) {
                continue; // a key-up before any key-down has no element to end
            }
            reader.startDrain(e);
        } else {
            reader.take(*previous, e);
        }
        previous = &e;
    }
    reader.finishDrain();
    figures.p50Us = percentileOf(reader.errorsUs, 0.5);
    figures.p99Us = percentileOf(reader.errorsUs, 0.99);
    figures.maxUs = percentileOf(reader.errorsUs, 1.0);
    figures.markP99Us = percentileOf(reader.markErrorsUs, 0.99);
    figures.markMaxUs = percentileOf(reader.markErrorsUs, 1.0);
    return figures;
}

LogReadBack readLogStrictly(const QByteArray& bytes) {
    LogReadBack out;
    if (bytes.isEmpty()) {
        return out;
    }
    if (!bytes.endsWith("\r\n")) {
        out.problem = QStringLiteral("the file does not end with CR LF");
        return out;
    }
    const QList<QByteArray> lines = bytes.left(bytes.size() - 2).split('\n');
    for (qsizetype n = 0; n < lines.size(); ++n) {
        QByteArray line = lines.at(n);
        const auto fail = [&](const QString& why) {
            out.problem = QStringLiteral("line %1: %2").arg(n + 1).arg(why);
        };
        if (n + 1 < lines.size()) {
            if (!line.endsWith('\r')) {
                fail(QStringLiteral("ends without CR"));
                return out;
            }
            line.chop(1);
        }
        if (line.contains('\r')) {
            fail(QStringLiteral("a CR inside the line"));
            return out;
        }
        QStringList fields;
        qsizetype at = 0;
        for (int f = 0; f < 11; ++f) {
            if (f > 0) {
                if (at >= line.size() || line.at(at) != ',') {
                    fail(QStringLiteral("field %1 missing").arg(f + 1));
                    return out;
                }
                ++at;
            }
            if (f == 9) { // points, bare
                qsizetype end = line.indexOf(',', at);
                end = end < 0 ? line.size() : end;
                const QString points = QString::fromLatin1(line.mid(at, end - at));
                static const QRegularExpression number(QStringLiteral("^\\d+(\\.\\d+)?$"));
                if (!number.match(points).hasMatch()) {
                    fail(QStringLiteral("points \"%1\" not a bare number").arg(points));
                    return out;
                }
                fields.append(points);
                at = end;
                continue;
            }
            const qsizetype close = line.indexOf('"', at + 1);
            if (at >= line.size() || line.at(at) != '"' || close < 0) {
                fail(QStringLiteral("field %1 not in double quotes").arg(f + 1));
                return out;
            }
            fields.append(QString::fromLatin1(line.mid(at + 1, close - at - 1)));
            at = close + 1;
        }
        if (at != line.size()) {
            fail(QStringLiteral("text after the eleventh field"));
            return out;
        }
        out.records.append(fields);
    }
    return out;
}

QStringList logDifferences(const QList<ExpectedContact>& expected,
                           const QList<QStringList>& actual) {
    QStringList out;
    if (expected.size() != actual.size()) {
        out.append(QStringLiteral("%1 records in the file, %2 logged")
                       .arg(actual.size())
                       .arg(expected.size()));
    }
    static const char* const names[] = {"call", "rstReceived", "exchange", "rstSent",
                                        "spc",  "date",        "time",     "name",
                                        "band", "points",      "frequency"};
    for (qsizetype i = 0; i < std::min(expected.size(), actual.size()); ++i) {
        const ExpectedContact& e = expected.at(i);
        const QStringList& a = actual.at(i);
        for (int f = 0; f < 11; ++f) {
            if (f == 5 || f == 6 || e.fields.value(f) == a.value(f)) {
                continue;
            }
            out.append(QStringLiteral("record %1 %2: \"%3\", typed \"%4\"")
                           .arg(i + 1)
                           .arg(QLatin1String(names[f]), a.value(f), e.fields.value(f)));
        }
        QDateTime when = QDateTime::fromString(a.value(5) + u' ' + a.value(6),
                                               QStringLiteral("yyyy/MM/dd HH:mm:ss"));
        when.setTimeZone(QTimeZone::utc());
        if (!when.isValid() || when < e.earliest.addSecs(-1) || when > e.latest.addSecs(1)) {
            out.append(QStringLiteral("record %1 stamped %2 %3, typed between %4 and %5")
                           .arg(i + 1)
                           .arg(a.value(5), a.value(6),
                                e.earliest.toString(QStringLiteral("HH:mm:ss")),
                                e.latest.toString(QStringLiteral("HH:mm:ss"))));
        }
    }
    return out;
}

ProcessSample sampleProcess(qint64 pid, bool withTargets) {
    ProcessSample s;
    const QString base = QStringLiteral("/proc/%1/").arg(pid);
    QFile status(base + QStringLiteral("status"));
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : status.readAll().split('\n')) {
            const QList<QByteArray> words = line.simplified().split(' ');
            if (words.size() >= 2 && words.at(0) == "VmRSS:") {
                s.rssKiB = words.at(1).toLongLong();
            } else if (words.size() >= 2 && words.at(0) == "VmHWM:") {
                s.peakRssKiB = words.at(1).toLongLong();
            }
        }
    }
    const QDir fds(base + QStringLiteral("fd"));
    if (fds.exists()) {
        const QStringList entries =
            fds.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);
        s.fds = int(entries.size());
        if (withTargets) {
            for (const QString& fd : entries) {
                char target[512];
                const QByteArray link = QFile::encodeName(fds.filePath(fd));
                const ssize_t n = ::readlink(link.constData(), target, sizeof target - 1);
                s.fdTargets.append(n > 0 ? QString::fromLocal8Bit(target, n) : QStringLiteral("?"));
            }
            s.fdTargets.sort();
        }
    }
    if (withTargets) {
        // The scheduling policy is the 41st field of a thread's stat, counted from the
        // state after the command name's closing parenthesis (the 3rd).
        s.realtimeThreads = 0;
        const QDir tasks(base + QStringLiteral("task"));
        for (const QString& task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
            QFile stat(tasks.filePath(task) + QStringLiteral("/stat"));
            if (!stat.open(QIODevice::ReadOnly)) {
                continue;
            }
            const QByteArray text = stat.readAll();
            const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
            const int policy = fields.value(41 - 3).toInt();
            if (policy == 1 || policy == 2) { // SCHED_FIFO, SCHED_RR
                ++s.realtimeThreads;
            }
        }
    }
    return s;
}

double percentileOf(std::vector<double> values, double fraction) {
    if (values.empty()) {
        return 0;
    }
    std::sort(values.begin(), values.end());
    const auto rank = std::size_t(std::ceil(fraction * double(values.size())));
    return values[std::min(values.size() - 1, rank == 0 ? 0 : rank - 1)];
}

} // namespace ditlog::testing
