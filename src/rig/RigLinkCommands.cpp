// The rig link's command queue: each command's steps run in order on single-shot timers
// and the port's drained signal; the poll timer stays stopped between a command's
// StopPolling and ResumePolling steps.
#include "rig/RigLink.h"

#include "log/RecordFile.h"
#include "platform/TimerClock.h"
#include "rig/RigLogging.h"
#include "rig/RigTransport.h"
#include "rig/RigctldTuning.h"
#include "rig/TuningCommands.h"

#include <QDir>

#include <algorithm>
#include <cmath>

namespace ditlog {

namespace {
constexpr int kDrainTimeoutMs = 2000;
}

void RigLink::ChangeFrequency(double mhz) {
    if (!m_polling || !std::isfinite(mhz) || mhz <= 0) {
        return;
    }
    QString why;
    switch (rigctldChangeFrequency(*this, mhz, &why)) {
    case RigctldTune::NotNetwork:
        break;
    case RigctldTune::Queued:
        return;
    case RigctldTune::NotSent:
        if (!why.isEmpty()) {
            Q_EMIT commandFailed(kErrorChangingFrequency, why);
        }
        return;
    }
    qCDebug(lcRig).noquote() << "change frequency to" << shortestMegahertzText(mhz) << "MHz";
    enqueue(changeFrequencyCommand(family(), m_settings, m_status, m_bandPlan, mhz));
}

void RigLink::ChangeMode(double mhz, const QString& modeWord) {
    QString why;
    switch (rigctldChangeMode(*this, mhz, modeWord, &why)) {
    case RigctldTune::NotNetwork:
        break;
    case RigctldTune::Queued:
        return;
    case RigctldTune::NotSent:
        if (!why.isEmpty()) {
            Q_EMIT commandFailed(kErrorChangingMode, why + QLatin1Char(' ') + modeWord);
        }
        return;
    }
    if (const auto command = changeModeCommand(family(), m_settings, m_status, m_bandPlan, mhz, modeWord)) {
        qCDebug(lcRig).noquote() << "change mode to" << (modeWord.isEmpty() ? QStringLiteral("band plan") : modeWord);
        enqueue(*command);
    }
}

void RigLink::enqueue(const RigCommand& command) {
    if (m_transport.isOpen() && !m_transport.isReady()) {
        // The line went away: the operator's use looks for it at once, and a command that
        // still cannot go is refused now rather than sent when the radio is back.
        m_transport.retryNow();
        if (!m_transport.isReady()) {
            const RigFailureReport report = command.reports.value(0);
            const QString why = m_transport.status().isEmpty() ? m_transport.errorString() : m_transport.status();
            qCDebug(lcRig).noquote() << "command refused, the line is not there:" << why;
            if (!report.title.isEmpty()) {
                Q_EMIT commandFailed(report.title, why + report.suffix);
            }
            return;
        }
    }
    if (!command.key.isEmpty()) {
        for (RigCommand& waiting : m_queue) {
            if (waiting.key == command.key) {
                tellOutcome(waiting, {RigOutcome::Kind::Dropped, {}});
                waiting = command; // the newer value wins; the order stays
                return;
            }
        }
    }
    m_queue.push_back(command);
    if (!m_command) {
        startNextCommand();
    }
}

void RigLink::dropWaiting(const QString& key) {
    for (auto it = m_queue.begin(); it != m_queue.end();) {
        if (it->key == key) {
            tellOutcome(*it, {RigOutcome::Kind::Dropped, {}});
            it = m_queue.erase(it);
        } else {
            ++it;
        }
    }
}

void RigLink::dropQueue() {
    for (const RigCommand& waiting : m_queue) {
        tellOutcome(waiting, {RigOutcome::Kind::Dropped, QStringLiteral("The rig link stopped.")});
    }
    m_queue.clear();
}

void RigLink::tellOutcome(const RigCommand& command, const RigOutcome& outcome) {
    if (command.finished) {
        m_outcomes.emplace_back(command.finished, outcome);
        m_outcomeTimer->start(0);
    }
}

void RigLink::tellOutcomes() {
    auto outcomes = std::exchange(m_outcomes, {});
    for (const auto& [finished, outcome] : outcomes) {
        finished(outcome);
    }
}

void RigLink::startNextCommand() {
    if (m_queue.empty()) {
        Q_EMIT commandsFinished();
        return;
    }
    m_command = m_queue.front();
    m_queue.pop_front();
    m_step = -1;
    m_lastWrite = -1;
    m_stoppedPolling = false;
    stepDone();
}

void RigLink::stepDone() {
    if (!m_command) {
        return;
    }
    m_awaitingDrain = false;
    m_drainTimeout->stop();
    m_drainPoll->stop();
    ++m_step;
    if (m_step >= m_command->steps.size()) {
        endCommand();
        startNextCommand();
        return;
    }
    runStep();
}

void RigLink::runStep() {
    const RigStep& step = m_command->steps.at(m_step);
    switch (step.kind) {
    case RigStep::Kind::StopPolling:
        m_pollTimer->stop();
        m_quietTimer->stop();
        m_awaiting = false;
        m_stoppedPolling = true;
        stepDone();
        return;
    case RigStep::Kind::DiscardInput:
        m_transport.readAll();
        m_collector.clear();
        stepDone();
        return;
    case RigStep::Kind::Write:
        if (!m_transport.isOpen()) {
            // The line is gone: the whole command fails, told once.
            onLineFailed(QStringLiteral("The port is not open."));
            return;
        }
        m_lastWrite = m_step;
        m_answer.clear(); // what answers this write arrives from now on
        m_alternativeSent = !step.alternative.isEmpty() && m_refusedForms.contains(step.form);
        if (!writeTraced(m_alternativeSent ? step.alternative : step.bytes)) {
            stepFailed(m_transport.errorString());
            return;
        }
        m_transport.flush(); // out at its step, not at the port's next turn
        stepDone();
        return;
    case RigStep::Kind::Drain:
        m_awaitingDrain = true;
        m_drainTimeout->start(kDrainTimeoutMs);
        drainCheck();
        return;
    case RigStep::Kind::Delay:
        m_stepTimer->start(std::max(0, step.ms));
        return;
    case RigStep::Kind::WriteFile:
        if (const auto error = writeFileAtomically(step.path, step.bytes)) {
            stepFailed(QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(step.path), *error));
            return;
        }
        qCDebug(lcRig).noquote() << "wrote" << step.path << step.bytes;
        stepDone();
        return;
    case RigStep::Kind::Fail:
        stepFailed(step.text);
        return;
    case RigStep::Kind::Await:
        m_awaitingAnswer = true;
        m_answerTimeout->start(std::max(0, step.ms));
        checkAnswer(); // it may have arrived while the write drained
        return;
    case RigStep::Kind::ResumePolling:
        m_stoppedPolling = false;
        if (m_polling) {
            m_awaiting = false;
            m_pollTimer->start();
        }
        stepDone();
        return;
    }
}

void RigLink::drainCheck() {
    if (!m_command || !m_awaitingDrain) {
        return;
    }
    const qint64 left = m_transport.bytesToWrite();
    if (left < 1) {
        // Continue from the event loop, not from inside the port's signal.
        m_awaitingDrain = false;
        m_drainTimeout->stop();
        m_drainPoll->stop();
        if (const QString refusal = m_transport.takeRefusal(); !refusal.isEmpty()) {
            if (!sendAlternative()) {
                stepFailed(refusal); // the rig daemon answered the command with an error
            }
            return;
        }
        m_stepTimer->start(0);
        return;
    }
    // The last bytes sit in the driver, which tells nothing when they are out: look again
    // when they should be.
    const int cps = std::max(1, m_transport.charactersPerSecond());
    m_drainPoll->start(int(std::clamp<qint64>((left * 1000 + cps - 1) / cps, 1, 100)));
}

bool RigLink::sendAlternative() {
    if (m_lastWrite < 0 || m_alternativeSent) {
        return false;
    }
    const RigStep& written = m_command->steps.at(m_lastWrite);
    if (written.alternative.isEmpty()) {
        return false;
    }
    m_refusedForms.insert(written.form);
    m_alternativeSent = true;
    qCDebug(lcRig).noquote() << "refused; the older form instead";
    if (!writeTraced(written.alternative)) {
        stepFailed(m_transport.errorString());
        return true;
    }
    m_transport.flush();
    m_awaitingDrain = true;
    m_drainTimeout->start(kDrainTimeoutMs);
    drainCheck();
    return true;
}

void RigLink::checkAnswer() {
    if (!m_command || !m_awaitingAnswer) {
        return;
    }
    const RigStep& step = m_command->steps.at(m_step);
    const RigAnswer answer = step.answer ? step.answer(m_answer) : RigAnswer::Accepted;
    if (answer == RigAnswer::Waiting) {
        return;
    }
    m_awaitingAnswer = false;
    m_answerTimeout->stop();
    if (answer == RigAnswer::Accepted) {
        m_stepTimer->start(0); // on from the event loop, not from inside the port's signal
        return;
    }
    qCDebug(lcRig) << "the radio refused";
    endCommandEarly({RigOutcome::Kind::Refused, step.text});
}

void RigLink::endCommandEarly(const RigOutcome& outcome) {
    // The rest of the command is skipped; a poll it stopped runs again.
    const bool resume = m_stoppedPolling && m_polling;
    endCommand(outcome);
    if (resume) {
        m_awaiting = false;
        m_pollTimer->start();
    }
    startNextCommand();
}

void RigLink::answerTimedOut() {
    if (!m_command || !m_awaitingAnswer) {
        return;
    }
    qCDebug(lcRig) << "no answer from the radio";
    endCommandEarly({RigOutcome::Kind::NoAnswer, {}});
}

void RigLink::stepFailed(const QString& description) {
    const RigFailureReport report = m_command->reports.value(m_command->steps.at(m_step).report);
    qCDebug(lcRig).noquote() << report.title << description;
    if (!report.endsCommand) {
        // Skip the rest of this part of the command and go on with the next part.
        const int failedReport = m_command->steps.at(m_step).report;
        while (m_step + 1 < m_command->steps.size() &&
               m_command->steps.at(m_step + 1).report == failedReport) {
            ++m_step;
        }
        if (!report.title.isEmpty()) {
            Q_EMIT commandFailed(report.title, description + report.suffix);
        }
        m_stepTimer->start(0);
        return;
    }
    // The poll stays stopped when this command stopped it; polling resumes with Test.
    const bool pollStopped = m_stoppedPolling;
    dropQueue();
    endCommand({RigOutcome::Kind::Failed, description});
    if (pollStopped) {
        m_pollTimer->stop();
        setPolling(false);
    }
    if (!report.title.isEmpty()) {
        Q_EMIT commandFailed(report.title, description + report.suffix);
    }
}

void RigLink::endCommand(const RigOutcome& outcome) {
    if (m_command) {
        tellOutcome(*m_command, outcome);
    }
    m_command.reset();
    m_awaitingAnswer = false;
    m_answerTimeout->stop();
    m_awaitingDrain = false;
    m_stepTimer->stop();
    m_drainTimeout->stop();
    m_drainPoll->stop();
    m_stoppedPolling = false;
}

} // namespace ditlog
