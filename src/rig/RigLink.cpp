// The poll cycle of the rig link: send ticks and receive ticks on the poll timer, replies
// collected until whole (or a quiet line), decoded and reported.
#include "rig/RigLink.h"

#include "platform/TimerClock.h"
#include "rig/BandConversion.h"
#include "rig/PegasusFile.h"
#include "rig/RigHex.h"
#include "rig/RigLogging.h"
#include "rig/RigTransport.h"

namespace ditlog {

namespace {
constexpr qint64 kNsPerMs = 1'000'000;
// A reply still arriving holds back the next query at most this many ticks, so that a
// radio that never stops sending does not stop the poll.
constexpr int kMaxDeferredSends = 2;
constexpr int kMaxReceiveWaits = 4;

// Printable characters as they are, the rest as <XX>.
QString traceText(const QByteArray& bytes) {
    QString out;
    for (const char c : bytes) {
        const auto b = quint8(c);
        if (b >= 0x20 && b < 0x7F) {
            out.append(QLatin1Char(c));
        } else {
            out.append(QStringLiteral("<%1>").arg(b, 2, 16, QLatin1Char('0')).toUpper());
        }
    }
    return out;
}
} // namespace

RigLink::RigLink(RigTransport& transport, TimerClock& clock, QObject* parent)
    : QObject(parent), m_transport(transport), m_clock(clock), m_pollTimer(clock.createTimer(this)),
      m_quietTimer(clock.createTimer(this)), m_stepTimer(clock.createTimer(this)),
      m_drainTimeout(clock.createTimer(this)), m_drainPoll(clock.createTimer(this)),
      m_answerTimeout(clock.createTimer(this)), m_outcomeTimer(clock.createTimer(this)) {
    m_pollTimer->setObjectName(QStringLiteral("tmrGetData"));
    m_quietTimer->setSingleShot(true);
    m_stepTimer->setSingleShot(true);
    m_drainTimeout->setSingleShot(true);
    m_drainPoll->setSingleShot(true);
    m_answerTimeout->setSingleShot(true);
    m_outcomeTimer->setSingleShot(true);
    connect(m_answerTimeout, &ClockTimer::timeout, this, &RigLink::answerTimedOut);
    connect(m_outcomeTimer, &ClockTimer::timeout, this, &RigLink::tellOutcomes);
    connect(m_pollTimer, &ClockTimer::timeout, this, &RigLink::tmrGetData_Timer);
    connect(m_quietTimer, &ClockTimer::timeout, this, &RigLink::onQuietGap);
    connect(m_stepTimer, &ClockTimer::timeout, this, &RigLink::stepDone);
    connect(m_drainTimeout, &ClockTimer::timeout, this, &RigLink::stepDone);
    connect(m_drainPoll, &ClockTimer::timeout, this, &RigLink::drainCheck);
    connect(&m_transport, &RigTransport::readyRead, this, &RigLink::onReadyRead);
    connect(&m_transport, &RigTransport::drained, this, &RigLink::drainCheck);
    connect(&m_transport, &RigTransport::failed, this, &RigLink::onLineFailed);
    connect(&m_transport, &RigTransport::lineLost, this, &RigLink::onLineLost);
    connect(&m_transport, &RigTransport::lineRestored, this, &RigLink::onLineRestored);
}

RigLink::~RigLink() = default;

void RigLink::setSettings(const RigSettings& settings) {
    m_settings = settings;
    m_pollTimer->setInterval(pollTimerIntervalMs(m_settings.pollRate));
}

int RigLink::pollIntervalMs() const {
    return m_pollTimer->interval();
}

qint64 RigLink::nowNs() const {
    return m_clock.nowNs();
}

bool RigLink::isOpen() const {
    return m_transport.isOpen();
}

QString RigLink::errorString() const {
    return m_transport.errorString();
}

RigLink::StartResult RigLink::startPolling() {
    stopPolling();
    const RigFamily& f = family();
    if (f.transport == RigTransportKind::None) {
        return StartResult::NoRadio;
    }
    if (f.transport != RigTransportKind::StatusFile) {
        if (!m_transport.open(m_settings, f)) {
            qCDebug(lcRig).noquote() << "open failed:" << m_transport.errorString();
            return StartResult::OpenFailed;
        }
        qCDebug(lcRig).noquote() << "opened" << m_transport.description() << "for" << f.name
                                 << m_settings.joinedPortSettings();
        if (!f.wakeUp.isEmpty()) {
            writeTraced(f.wakeUp);
        }
    }
    m_status.mode.clear();
    m_awaiting = false;
    m_lastWasFrequency = false;
    m_silentPolls = 0;
    m_responding = false;
    m_collector.clear();
    m_refusedForms.clear();
    setPolling(true);
    // A line that fails at the first query failed to open: told once, by the result.
    m_starting = true;
    tmrGetData_Timer();
    m_starting = false;
    if (m_polling) {
        m_pollTimer->start(pollTimerIntervalMs(m_settings.pollRate));
    }
    return m_polling ? StartResult::Polling : StartResult::OpenFailed;
}

void RigLink::stopPolling() {
    m_pollTimer->stop();
    m_quietTimer->stop();
    dropQueue();
    if (m_command) {
        endCommand({RigOutcome::Kind::Dropped, QStringLiteral("The rig link stopped.")});
    }
    m_awaiting = false;
    m_collector.clear();
    if (m_transport.isOpen()) {
        Q_EMIT aboutToClose();
        m_transport.close();
        qCDebug(lcRig) << "closed";
    }
    setPolling(false);
}

void RigLink::setPolling(bool polling) {
    if (m_polling != polling) {
        m_polling = polling;
        Q_EMIT pollingChanged(polling);
    }
}

void RigLink::sendGoodbye() {
    if (m_polling && !family().goodbye.isEmpty()) {
        writeTraced(family().goodbye);
        m_transport.flush();
    }
}

bool RigLink::writeRaw(const QByteArray& bytes) {
    if (!m_transport.isOpen() || !writeTraced(bytes)) {
        return false;
    }
    m_transport.flush(); // the line may close next: nothing stays in the port's buffer
    return true;
}

bool RigLink::writeTraced(const QByteArray& bytes) {
    const bool ok = m_transport.write(bytes);
    qCDebug(lcRig).noquote() << traceTime()
                             << (ok ? "sent" : "NOT sent") << traceText(bytes) << "|" << HexDump(bytes);
    return ok;
}

QString RigLink::traceTime() const {
    return QStringLiteral("%1 ms").arg(double(nowNs()) / kNsPerMs, 10, 'f', 3);
}

qint64 RigLink::quietGapNs() const {
    // Twenty milliseconds and four characters' time at the line's speed.
    const int cps = std::max(1, m_transport.charactersPerSecond());
    return (20 + (4000 + cps - 1) / cps) * kNsPerMs;
}

// ---- the poll cycle ----------------------------------------------------------------------

void RigLink::tmrGetData_Timer() {
    if (m_command) {
        return; // a command owns the line
    }
    if (!m_awaiting) {
        sendTick();
    } else {
        receiveTick();
    }
}

void RigLink::sendTick() {
    const RigFamily& f = family();
    if (f.transport == RigTransportKind::StatusFile) {
        m_awaiting = true;
        return;
    }
    const qint64 now = nowNs();
    if (!m_transport.isReady() || m_transport.bytesToWrite() > 0) {
        m_sent = {}; // the line is not up yet, or still busy with the last question
    } else if (m_collector.stillArriving(now, quietGapNs()) && m_deferredSends < kMaxDeferredSends) {
        ++m_deferredSends; // bytes still coming: no query on top of them
        return;
    } else {
        m_deferredSends = 0;
        const QByteArray leftovers =
            m_collector.bytes().mid(m_decoded ? m_decodedSize : 0) + m_transport.readAll();
        if (!leftovers.isEmpty()) {
            qCDebug(lcRig).noquote() << "dropped" << traceText(leftovers);
        }
        m_collector.clear();
        const RigQueries queries{m_settings.frequencyQuery.toLatin1(), m_settings.modeQuery.toLatin1()};
        m_sent = f.send(queries, m_lastWasFrequency, m_settings.convertToHex == 1);
        m_lastWasFrequency = m_sent.lastWasFrequency;
        for (const QByteArray& query : std::as_const(m_sent.writes)) {
            if (!writeTraced(query)) {
                onLineFailed(m_transport.errorString());
                return;
            }
        }
        // Out at the tick, not at the port's next turn in the event loop.
        m_transport.flush();
    }
    m_collector.clear();
    m_decoded = false;
    m_receiveDue = false;
    m_receiveWaits = 0;
    m_awaiting = true;
}

void RigLink::receiveTick() {
    if (family().transport == RigTransportKind::StatusFile) {
        m_collector.clear();
        decodeExchange();
        finishExchange();
        return;
    }
    absorb(m_transport.readAll());
    if (m_decoded) {
        finishExchange();
        return;
    }
    if (m_collector.isEmpty()) {
        noReply();
        finishExchange();
        return;
    }
    if (m_collector.stillArriving(nowNs(), quietGapNs()) &&
        m_receiveWaits < kMaxReceiveWaits) {
        // Part of the reply is still on its way: it is read when whole or when the line
        // goes quiet, and no query goes out before.
        ++m_receiveWaits;
        m_receiveDue = true;
        return;
    }
    decodeExchange();
    finishExchange();
}

void RigLink::finishExchange() {
    m_awaiting = false;
    m_receiveDue = false;
    m_quietTimer->stop();
}

void RigLink::onReadyRead() {
    absorb(m_transport.readAll());
}

void RigLink::absorb(const QByteArray& bytes) {
    if (bytes.isEmpty()) {
        return;
    }
    const qint64 now = nowNs();
    qCDebug(lcRig).noquote() << traceTime()
                             << "received" << traceText(bytes) << "|" << HexDump(bytes);
    const bool wasOverflowed = m_collector.overflowed();
    m_collector.add(bytes, now);
    if (m_command) {
        // For the command's Await steps; a radio that never stops sending cannot grow it.
        m_answer = (m_answer + bytes).right(ReplyCollector::kMaxBytes);
        if (m_awaitingAnswer) {
            checkAnswer();
        }
    }
    if (m_collector.overflowed() && !wasOverflowed) {
        qCDebug(lcRig) << "reply longer than" << ReplyCollector::kMaxBytes << "bytes: dropped";
    }
    if (!m_awaiting || m_decoded || m_command) {
        return;
    }
    if (m_sent.sendsAnything() && family().complete(m_collector.bytes(), m_sent)) {
        decodeExchange();
        if (m_receiveDue) {
            finishExchange();
        }
        return;
    }
    m_quietTimer->start(int(quietGapNs() / kNsPerMs));
}

void RigLink::onQuietGap() {
    if (m_awaiting && m_receiveDue && !m_decoded && !m_command) {
        if (m_collector.isEmpty()) {
            noReply();
        } else {
            decodeExchange();
        }
        finishExchange();
    }
}

void RigLink::decodeExchange() {
    m_decoded = true;
    m_decodedSize = m_collector.bytes().size();
    const RigFamily& f = family();
    const QByteArray buffer = m_collector.bytes();
    RigReading reading;
    if (f.transport == RigTransportKind::StatusFile) {
        reading = readPegasusStatus(m_settings.pegasusFolder.isEmpty() ? defaultPegasusFolder()
                                                                       : m_settings.pegasusFolder);
        m_status.apply(reading);
    } else if (f.parse != nullptr) {
        const RigQueries queries{m_settings.frequencyQuery.toLatin1(), m_settings.modeQuery.toLatin1()};
        reading = f.parse(buffer, queries, m_lastWasFrequency);
        m_status.apply(reading);
    }
    if (m_settings.modeSource == ModeSource::Frequency) {
        if (const auto mode = ModeFromFrequency(m_status.frequency)) {
            m_status.mode = *mode;
        }
    }
    qCDebug(lcRig).noquote() << "decoded" << (reading.frequency ? QString::number(*reading.frequency, 'f', 6) : QStringLiteral("-"))
                             << "MHz, mode" << reading.mode.value_or(QStringLiteral("-"))
                             << (reading.vfo ? QStringLiteral(", VFO %1").arg(*reading.vfo) : QString());
    // Replies of the user-defined family are not decoded: any reply is an answer.
    const bool decodes = f.parse != nullptr || f.transport == RigTransportKind::StatusFile;
    const bool answered = decodes ? reading.decodedAnything() : !buffer.isEmpty();
    if (answered) {
        m_silentPolls = 0;
        setResponding(true);
    } else {
        noReply();
    }
    Q_EMIT replyProcessed(buffer);
    if (m_settings.useFrequency == 1 && m_status.frequency > 0) {
        Q_EMIT frequencyReported(m_status.frequency);
    }
    if (m_settings.modeSource != ModeSource::DontUse) {
        Q_EMIT modeReported(m_status.mode);
    }
}

void RigLink::noReply() {
    if (!m_sent.sendsAnything() && family().transport != RigTransportKind::StatusFile) {
        return; // nothing was asked
    }
    if (++m_silentPolls >= kSilentPollsForNoResponse) {
        setResponding(false);
    }
}

void RigLink::setResponding(bool responding) {
    if (m_responding != responding) {
        m_responding = responding;
        qCDebug(lcRig) << (responding ? "radio answers" : "radio does not answer");
        Q_EMIT respondingChanged(responding);
    }
}

void RigLink::onLineFailed(const QString& description) {
    qCDebug(lcRig).noquote() << "line failed:" << description;
    const bool wasPolling = m_polling;
    if (m_command) {
        // The command's own report (a line lost in the mode part of a frequency change is
        // still a failed frequency change), once.
        const RigFailureReport report = m_command->reports.value(0);
        dropQueue();
        endCommand({RigOutcome::Kind::Failed, description});
        if (!report.title.isEmpty()) {
            Q_EMIT commandFailed(report.title, description + report.suffix);
        }
        stopPolling();
        return;
    }
    stopPolling();
    if (wasPolling && !m_starting) {
        Q_EMIT lineFailed(description);
    }
}

void RigLink::onLineLost(const QString& description) {
    // The poll goes on and finds nothing to ask until the line is back.
    qCDebug(lcRig).noquote() << "line lost:" << description;
    m_quietTimer->stop();
    m_awaiting = false;
    m_sent = {};
    m_collector.clear();
    setResponding(false);
    if (!m_command) {
        return;
    }
    // The command in hand fails, told once; nothing waits to reach the radio when the
    // line is back.
    const RigFailureReport report = m_command->reports.value(0);
    m_queue.clear();
    endCommand();
    m_transport.takeRefusal();
    if (m_polling) {
        m_pollTimer->start(pollTimerIntervalMs(m_settings.pollRate));
    }
    Q_EMIT commandFailed(report.title, description + report.suffix);
}

void RigLink::onLineRestored() {
    if (!m_polling || m_command) {
        return;
    }
    qCDebug(lcRig) << "line back";
    if (!family().wakeUp.isEmpty()) {
        writeTraced(family().wakeUp);
    }
    m_awaiting = false;
    m_lastWasFrequency = false;
    m_silentPolls = 0;
    m_collector.clear();
    // The radio is asked at once, not at the next tick of a slow poll.
    tmrGetData_Timer();
    m_pollTimer->start(pollTimerIntervalMs(m_settings.pollRate));
}

} // namespace ditlog
