// A soak run: the real program driven as an operator drives it through a sprint, with
// everything on at once, and the figures read back from it afterwards.
#pragma once

#include "SoakChecks.h"

#include "app/StallMonitor.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace ditlog::soak {

struct SoakOptions {
    int seconds = 1200;    // how long contacts are typed
    QString keepFolder;    // where the run's files are kept; empty: not kept
    bool progress = false; // a line on standard error every 30 s
    // The baseline: only the calling loop keying, the rig polled and the cluster quiet;
    // nothing typed.
    bool idle = false;
};

struct SoakFigures {
    QString failure; // why the run could not be carried out; empty when it was

    // The log
    int contactsTyped = 0;
    int contactsLogged = 0; // typed and not duplicates
    int duplicatesTyped = 0;
    int edits = 0;
    QStringList editFailures;
    int recordsInFile = 0;
    QStringList logDifferences; // empty: the file reads back exactly

    // The process
    qint64 rssStartKiB = 0;
    qint64 rssAfter2MinKiB = 0;
    qint64 rssEndKiB = 0;
    qint64 peakRssKiB = 0;
    int realtimeThreads = -1; // after the first contact: the keying thread, when granted
    int fdsStart = 0;
    int fdsEnd = 0;
    QStringList fdsGained; // descriptors open at the end that were not at the start
    QStringList fdsLost;
    int exitCode = -1;

    std::optional<StallSummary> stalls;
    // Each stall over LongStall::kThresholdMs, with what the operator had last begun.
    QStringList longStalls;
    testing::KeyingFigures keying;
    // The keying edges counted by what the operator had last begun when each was keyed.
    QStringList keyingByAction;

    // The spots
    int spotsSent = 0;
    int spotsShown = 0;
    int spotsExpected = 0;       // the newest sent, at most the 200 the list keeps
    QStringList spotDifferences; // empty: the list shows exactly the newest sent

    double seconds = 0;
};

SoakFigures runSoak(const SoakOptions& options);

// The figures as "name value" lines, for the benchmark's table and a failing test.
QStringList describe(const SoakFigures& figures);

} // namespace ditlog::soak
