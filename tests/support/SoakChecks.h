// What the soak run reads back from a run of the real program: the keying line's
// changes from the modem-line shim's record, measured against the Morse unit grid; the
// log file read back strictly and compared with the contacts typed; the process's memory
// and open descriptors from /proc.
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <vector>

namespace ditlog::testing {

struct LineEdge {
    qint64 ns = 0; // CLOCK_MONOTONIC
    bool down = false;
};

// The DTR changes of the shim's record ("<ns> S<n> dtr=<0|1> rts=<0|1> <cause>" lines),
// from the program's first own write on: the raise inside open() is the kernel's.
std::vector<LineEdge> dtrEdges(const QByteArray& shimLog);

struct KeyingFigures {
    int edges = 0;     // edges measured against the schedule
    int drains = 0;    // runs of keying that began from idle (each a schedule of its own)
    int irregular = 0; // marks or gaps off the unit grid by more than a quarter unit
    int waitedGaps = 0; // characters begun late after a gap, when they came (see below)
    double irregularMs = 0;
    double p50Us = 0;
    double p99Us = 0;
    double maxUs = 0;
    // Each mark's length against its 1 or 3 units, whatever schedule it stood on: two edges
    // of one character, which the keyer times alone whenever its text came.
    double markP99Us = 0;
    double markMaxUs = 0;
    QStringList texts; // what each drain keyed, read back with the International Morse Code
    // When the edges off their place by more than kLateEdgeNs were keyed (irregular ones
    // too), on CLOCK_MONOTONIC; at most kMaxLateEdges.
    static constexpr qint64 kLateEdgeNs = 1'000'000;
    static constexpr std::size_t kMaxLateEdges = 5000;
    std::vector<qint64> lateEdgeNs;
};

// Each edge against the ideal schedule of what was keyed: a drain's edges stand on whole
// units from its first key-down (marks of 1 or 3 units, gaps of 1, 3 or the word gap of 11
// units with no word-space adjustment). A key-up longer than a word gap, or between the
// character gap and the word gap, is the keyer going idle: the next key-down starts a new
// drain. An element or gap off the grid by more than a quarter unit counts as irregular,
// and the schedule moves on from it (as the keying engine's own does). A key-down more than
// kLateEdgeNs late after a gap longer than its whole-unit length (by up to a quarter unit)
// is judged by the edges after it: when they come back to the old schedule (the engine
// keeps it by shortening what follows) it was a late edge; when they follow one begun at
// the key-down, the keyer began the character when it came: counted among waitedGaps,
// not measured, and the schedule begins anew from it. (A key-down later than a quarter
// unit is re-timed the same way by the engine and counts there too.)
KeyingFigures analyseKeying(const std::vector<LineEdge>& edges, double wpm);

// "log.txt" read strictly: every line ends in CR LF and holds the eleven fields, ten text
// fields in double quotes and the points bare. problem says where it is not so.
struct LogReadBack {
    QList<QStringList> records; // fields as stored, points as written
    QString problem;
};
LogReadBack readLogStrictly(const QByteArray& bytes);

// One contact as the soak typed it: the eleven fields, date and time left empty and
// checked against the moments the contact was typed (UTC).
struct ExpectedContact {
    QStringList fields;
    QDateTime earliest;
    QDateTime latest;
};

// Where the file differs from the contacts: counts, fields, times. Empty when it agrees.
QStringList logDifferences(const QList<ExpectedContact>& expected,
                           const QList<QStringList>& actual);

struct ProcessSample {
    qint64 rssKiB = -1;
    qint64 peakRssKiB = -1;
    int fds = -1;
    QStringList fdTargets; // what each descriptor points at, when asked for
    int realtimeThreads = -1; // threads under a real-time policy, when asked for
};
ProcessSample sampleProcess(qint64 pid, bool withTargets = false);

double percentileOf(std::vector<double> values, double fraction);

} // namespace ditlog::testing
