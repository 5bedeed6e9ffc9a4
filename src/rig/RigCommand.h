// A command to the radio as a sequence of steps (write, wait for the output to drain,
// delay, ...) that the rig link runs on timers and the port's signals, one after the
// other, without ever waiting on the window thread.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace ditlog {

struct RigStep {
    enum class Kind {
        StopPolling,   // the poll timer stops; the exchange in progress is dropped
        DiscardInput,  // whatever the radio sent so far is thrown away
        Write,         // bytes to the radio
        Drain,  // until the port has sent everything, at most 2000 ms
        Delay,         // ms milliseconds; 0 lets pending events run once
        WriteFile,     // bytes written whole to path (the Pegasus command file)
        ResumePolling, // the poll timer starts again
    };
    Kind kind = Kind::Delay;
    QByteArray bytes;
    int ms = 0;
    QString path;
    int report = 0; // index into RigCommand::reports: how a failure here is told

    static RigStep stopPolling() { return {Kind::StopPolling, {}, 0, {}, 0}; }
    static RigStep discardInput() { return {Kind::DiscardInput, {}, 0, {}, 0}; }
    static RigStep write(const QByteArray& b, int report = 0) { return {Kind::Write, b, 0, {}, report}; }
    static RigStep drain(int report = 0) { return {Kind::Drain, {}, 0, {}, report}; }
    static RigStep delay(int ms, int report = 0) { return {Kind::Delay, {}, ms, {}, report}; }
    static RigStep writeFile(const QString& path, const QByteArray& b, int report = 0) {
        return {Kind::WriteFile, b, 0, path, report};
    }
    static RigStep resumePolling() { return {Kind::ResumePolling, {}, 0, {}, 0}; }
};

// How a failure is reported: a message box titled title with the fault's description
// followed by suffix. A failure that does not end the command skips the rest of the
// steps with the same report and goes on.
struct RigFailureReport {
    QString title;
    QString suffix;
    bool endsCommand = true;
};

struct RigCommand {
    // A command waiting in the queue is replaced by a newer one with the same key, so
    // that fast clicking or scanning never builds a backlog. Empty: never replaced.
    QString key;
    QList<RigStep> steps;
    QList<RigFailureReport> reports{RigFailureReport{}};
};

} // namespace ditlog
