// A command to the radio as a sequence of steps (write, wait for the output to drain,
// delay, ...) that the rig link runs on timers and the port's signals, one after the
// other, without ever waiting on the window thread.
#pragma once

#include <QByteArray>
#include <QList>
#include <QLocale>
#include <QString>

#include <cmath>
#include <functional>

namespace ditlog {

// What the radio has sent back to a command that it answers, as far as it has arrived.
enum class RigAnswer { Waiting, Accepted, Refused };
using RigAnswerCheck = std::function<RigAnswer(const QByteArray& received)>;

struct RigStep {
    enum class Kind {
        StopPolling,   // the poll timer stops; the exchange in progress is dropped
        DiscardInput,  // whatever the radio sent so far is thrown away
        Write,         // bytes to the radio
        Drain,  // until the port has sent everything, at most 2000 ms
        Delay,         // ms milliseconds; 0 lets pending events run once
        WriteFile,     // bytes written whole to path (the Pegasus command file)
        ResumePolling, // the poll timer starts again
        Fail,          // the command cannot go on: fails with text as the fault
        // What the radio sent from the last Write on is read until answer accepts (the
        // command goes on) or refuses it (the command ends, Refused), or ms pass (it ends,
        // NoAnswer).
        Await,
    };
    Kind kind = Kind::Delay;
    QByteArray bytes;
    int ms = 0;
    QString path;
    int report = 0; // index into RigCommand::reports: how a failure here is told
    QString text;   // Fail: the fault's description
    // Write: sent instead when the far end refuses bytes (a rig daemon that does not take
    // a newer form of a command); once refused, every write of the same form (the same
    // form name) goes out as its alternative at once for the rest of the run.
    QByteArray alternative;
    QString form;
    RigAnswerCheck answer; // Await: reads what has arrived

    static RigStep stopPolling() { return {Kind::StopPolling, {}, 0, {}, 0, {}, {}, {}, {}}; }
    static RigStep discardInput() { return {Kind::DiscardInput, {}, 0, {}, 0, {}, {}, {}, {}}; }
    static RigStep write(const QByteArray& b, int report = 0) {
        return {Kind::Write, b, 0, {}, report, {}, {}, {}, {}};
    }
    static RigStep writeOr(const QByteArray& b, const QByteArray& alternative, const QString& form,
                           int report = 0) {
        return {Kind::Write, b, 0, {}, report, {}, alternative, form, {}};
    }
    static RigStep drain(int report = 0) {
        return {Kind::Drain, {}, 0, {}, report, {}, {}, {}, {}};
    }
    static RigStep delay(int ms, int report = 0) {
        return {Kind::Delay, {}, ms, {}, report, {}, {}, {}, {}};
    }
    static RigStep writeFile(const QString& path, const QByteArray& b, int report = 0) {
        return {Kind::WriteFile, b, 0, path, report, {}, {}, {}, {}};
    }
    static RigStep resumePolling() { return {Kind::ResumePolling, {}, 0, {}, 0, {}, {}, {}, {}}; }
    static RigStep fail(const QString& why, int report = 0) {
        return {Kind::Fail, {}, 0, {}, report, why, {}, {}, {}};
    }
    // refusal: the outcome's text when the radio refuses.
    static RigStep await(RigAnswerCheck answer, int ms, const QString& refusal = {},
                         int report = 0) {
        return {Kind::Await, {}, ms, {}, report, refusal, {}, {}, std::move(answer)};
    }
};

// How a failure is reported: a message box titled title with the fault's description
// followed by suffix (none for an empty title: the command's caller tells, from its
// outcome). A failure that does not end the command skips the rest of the steps with the
// same report and goes on.
struct RigFailureReport {
    QString title;
    QString suffix;
    bool endsCommand = true;
};

// A command made by a family's encoder, or why it cannot be made (a frequency the radio's
// digits cannot hold, an address that is not hexadecimal). Empty bytes: the family has no
// such command and nothing is sent.
struct EncodedCommand {
    QByteArray bytes;
    QString fault;

    bool ok() const { return fault.isEmpty(); }
    static EncodedCommand failed(const QString& why) { return {{}, why}; }
};

// The frequency in MHz rounded to the hertz, as the shortest decimal text: 14.025.
inline QString shortestMegahertzText(double mhz) {
    return QString::number(std::round(mhz * 1e6) / 1e6, 'f', QLocale::FloatingPointShortest);
}

// The fault of a frequency that a radio's command cannot hold.
inline QString unsendableFrequency(double mhz) {
    return QStringLiteral("The frequency %1 MHz cannot be sent to this radio.").arg(mhz, 0, 'g', 10);
}

// What the encoders read from the link at call time.
struct RigCommandContext {
    QByteArray frequencyQuery; // the first two characters name the VFO of text radios
    QByteArray modeQuery;
    quint8 vfo = 10;           // "Kenwood 2": 1 = VFO B
    QString mode;              // the radio's mode as last reported
};

// How a command ended, for its caller.
struct RigOutcome {
    enum class Kind {
        Done,     // every step ran
        Refused,  // the radio refused it (an Await step's answer)
        NoAnswer, // the radio did not answer in time (an Await step)
        Failed,   // a step failed (the line, the rig daemon's refusal): text says why
        Dropped,  // never run or cut off: the link stopped, or a newer command replaced it
    };
    Kind kind = Kind::Done;
    QString text;
};

struct RigCommand {
    // A command waiting in the queue is replaced by a newer one with the same key, so
    // that fast clicking or scanning never builds a backlog. Empty: never replaced.
    QString key;
    QList<RigStep> steps;
    QList<RigFailureReport> reports{RigFailureReport{}};
    // Called once with the outcome, from the event loop after the command has ended.
    std::function<void(const RigOutcome&)> finished;
};

} // namespace ditlog
