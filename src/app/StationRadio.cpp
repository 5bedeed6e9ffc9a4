// The keyers' lines and commands through the rig link.
#include "app/StationRadio.h"

#include "platform/DataPortLines.h"
#include "rig/CatCommands.h"
#include "rig/RigLink.h"
#include "rig/RigTransport.h"
#include "rig/TuningCommands.h"

#include <QLoggingCategory>
#include <QTimer>

namespace ditlog {

namespace {
using Signal = SerialControlLine::Signal;
using User = DataPortLines::User;

QString lineName(Signal line) {
    return DataPortLines::name(line);
}

// The caption of the option that keys a line, for messages.
QString cwOption(Signal line) {
    return line == Signal::Dtr ? QStringLiteral("\"Rig port DTR\" in the CW window")
                               : QStringLiteral("\"Rig port RTS\" in the CW window");
}

QString pttOption(Signal line) {
    return line == Signal::Dtr ? QStringLiteral("\"Rig port DTR\" in the voice keyer window")
                               : QStringLiteral("\"Rig port RTS\" in the voice keyer window");
}
} // namespace

StationRadio::StationRadio(RigLink& link, DataPortLines& lines, QObject* parent)
    : QObject(parent), m_link(link), m_lines(lines) {
    connect(&m_link, &RigLink::pollingChanged, this, [this](bool polling) {
        if (polling) {
            m_speedSent = -1; // the radio may have been set by hand meanwhile
        }
    });
    // Transmit never outlasts the link: it is switched off before the line closes.
    connect(&m_link, &RigLink::aboutToClose, this, [this] {
        if (!m_transmitting) {
            return;
        }
        m_transmitting = false;
        const EncodedCommand off =
            m_link.family().ptt.transmit != nullptr
                ? m_link.family().ptt.transmit(
                      false, rigCommandContext(m_link.settings(), m_link.status()))
                : EncodedCommand{};
        if (off.ok() && !off.bytes.isEmpty()) {
            m_link.writeRaw(off.bytes);
        }
    });
}

// ---- the rig port's lines ---------------------------------------------------------------

QString StationRadio::lineTakenByLink(Signal line) const {
    const RigSettings& settings = m_link.settings();
    const RigFamily& family = m_link.family();
    if (family.transport == RigTransportKind::Network ||
        family.transport == RigTransportKind::StatusFile) {
        return QStringLiteral(
                   "The rig link reaches the radio \"%1\" without a serial port: there is no %2 "
                   "line of the rig port to key.")
            .arg(family.name, lineName(line));
    }
    if (line == Signal::Rts && family.hardwareHandshake) {
        return QStringLiteral(
                   "The radio \"%1\" uses RTS of the rig port for handshaking: RTS cannot key.")
            .arg(family.name);
    }
    const QString powered = line == Signal::Dtr ? QStringLiteral("D") : QStringLiteral("R");
    if (settings.power == powered) {
        return QStringLiteral(
                   "The rig link raises %1 of the rig port to power the interface (Connection "
                   "Power in the Rig Interface window): %1 cannot key as well.")
            .arg(lineName(line));
    }
    return {};
}

QString StationRadio::keyingLineRefusal(Signal line) const {
    if (m_lines.use(User::VoicePtt) == line) {
        return QStringLiteral("%1 of the rig port is the voice keyer's push-to-talk (%2): CW "
                              "cannot key it too.")
            .arg(lineName(line), pttOption(line));
    }
    return lineTakenByLink(line);
}

QString StationRadio::pttLineRefusal(Signal line) const {
    if (m_lines.use(User::CwKeying) == line) {
        return QStringLiteral("%1 of the rig port keys CW (%2): push-to-talk cannot use it too.")
            .arg(lineName(line), cwOption(line));
    }
    return lineTakenByLink(line);
}

QString StationRadio::powerRefusal(const QString& power) const {
    const std::optional<Signal> line = power == QLatin1String("D")   ? std::optional(Signal::Dtr)
                                       : power == QLatin1String("R") ? std::optional(Signal::Rts)
                                                                     : std::nullopt;
    if (!line) {
        return {};
    }
    if (m_lines.use(User::CwKeying) == line) {
        return QStringLiteral(
                   "%1 of the rig port keys CW (%2): it cannot power the interface as well.")
            .arg(lineName(*line), cwOption(*line));
    }
    if (m_lines.use(User::VoicePtt) == line) {
        return QStringLiteral("%1 of the rig port keys push-to-talk (%2): it cannot power the "
                              "interface as well.")
            .arg(lineName(*line), pttOption(*line));
    }
    return {};
}

void StationRadio::useKeyingLine(std::optional<Signal> line) {
    m_lines.setUse(User::CwKeying, line);
}

void StationRadio::usePttLine(std::optional<Signal> line) {
    m_lines.setUse(User::VoicePtt, line);
}

KeyingLine* StationRadio::lineOf(int user, QString* why) {
    if (!m_lines.attached() || !m_link.isOpen()) {
        if (why != nullptr) {
            *why = QStringLiteral(
                "The rig link has not opened the radio's port: choose the radio and its "
                "port in the Rig Interface window and press Test.");
        }
        return nullptr;
    }
    return &m_lines.line(User(user));
}

KeyingLine* StationRadio::keyingLine(QString* why) {
    return lineOf(int(User::CwKeying), why);
}

KeyingLine* StationRadio::pttLine(QString* why) {
    return lineOf(int(User::VoicePtt), why);
}

// ---- the radio's keyer --------------------------------------------------------------------

QString StationRadio::linkNotReady() const {
    if (!m_link.isPolling()) {
        return QStringLiteral(
            "The rig link is not polling the radio: press Test in the Rig Interface window.");
    }
    if (!m_link.transport().isReady()) {
        const QString status = m_link.transport().status();
        return status.isEmpty() ? QStringLiteral("The rig link cannot reach the radio.") : status;
    }
    return {};
}

QString StationRadio::cwKeyerMissing() const {
    return catCwUnavailable(m_link.family());
}

QString StationRadio::cwUnavailable() const {
    const QString why = catCwUnavailable(m_link.family());
    return why.isEmpty() ? linkNotReady() : why;
}

int StationRadio::cwCharactersPerCommand() const {
    return m_link.family().cw.charactersPerCommand;
}

bool StationRadio::cwTrailingBlankLost() const {
    return m_link.family().cw.trailingBlankLost;
}

QByteArray StationRadio::cwCharacters(QChar c) const {
    const auto characters = m_link.family().cw.characters;
    return characters != nullptr ? characters(c) : QByteArray();
}

void StationRadio::sendCw(const QByteArray& characters, int wpm,
                          std::function<void(CwAnswer answer, const QString& why)> done) {
    if (const QString why = cwUnavailable(); !why.isEmpty()) {
        QTimer::singleShot(0, this, [done, why] { done(CwAnswer::Failed, why); });
        return;
    }
    const RigCommandContext context = rigCommandContext(m_link.settings(), m_link.status());
    if (wpm != m_speedSent) {
        m_speedSent = wpm;
        m_link.enqueue(catCwSpeedCommand(m_link.family(), context, wpm));
    }
    RigCommand text = catCwTextCommand(m_link.family(), context, characters);
    text.finished = [done](const RigOutcome& outcome) {
        switch (outcome.kind) {
        case RigOutcome::Kind::Done:
            done(CwAnswer::Taken, {});
            return;
        case RigOutcome::Kind::Refused:
            // A refused room query says "full"; a refused text says why.
            done(outcome.text.isEmpty() ? CwAnswer::Full : CwAnswer::Failed, outcome.text);
            return;
        case RigOutcome::Kind::NoAnswer:
            done(CwAnswer::Failed,
                 QStringLiteral("The radio did not answer: CW through the radio stopped."));
            return;
        case RigOutcome::Kind::Failed:
            done(CwAnswer::Failed, outcome.text);
            return;
        case RigOutcome::Kind::Dropped:
            done(CwAnswer::Failed,
                 QStringLiteral("The rig link stopped: CW through the radio stopped."));
            return;
        }
    };
    m_link.enqueue(text);
}

void StationRadio::setCwSpeed(int wpm) {
    if (!linkNotReady().isEmpty() || !catCwUnavailable(m_link.family()).isEmpty()) {
        m_speedSent = -1; // sent with the next text
        return;
    }
    m_speedSent = wpm;
    m_link.enqueue(catCwSpeedCommand(m_link.family(),
                                     rigCommandContext(m_link.settings(), m_link.status()), wpm));
}

void StationRadio::stopCw() {
    m_link.dropWaiting(kCwTextCommandKey);
    if (linkNotReady().isEmpty() && catCwUnavailable(m_link.family()).isEmpty()) {
        m_link.enqueue(catCwStopCommand(m_link.family(),
                                        rigCommandContext(m_link.settings(), m_link.status())));
    }
}

// ---- the radio's transmit switch -------------------------------------------------------------

QString StationRadio::transmitSwitchMissing() const {
    return catPttUnavailable(m_link.family());
}

QString StationRadio::transmitUnavailable() const {
    const QString why = catPttUnavailable(m_link.family());
    return why.isEmpty() ? linkNotReady() : why;
}

void StationRadio::setTransmit(bool on, std::function<void(bool ok, const QString& why)> done) {
    if (const QString why = transmitUnavailable(); !why.isEmpty()) {
        if (done) {
            QTimer::singleShot(0, this, [done, why] { done(false, why); });
        }
        return;
    }
    if (on) {
        m_transmitting = true;
    }
    RigCommand command = catTransmitCommand(
        m_link.family(), rigCommandContext(m_link.settings(), m_link.status()), on);
    command.finished = [this, on, done](const RigOutcome& outcome) {
        const bool ok = outcome.kind == RigOutcome::Kind::Done;
        if (!on && ok) {
            m_transmitting = false;
        }
        QString why = outcome.text;
        if (outcome.kind == RigOutcome::Kind::NoAnswer) {
            why = QStringLiteral("The radio did not acknowledge transmit.");
        } else if (outcome.kind == RigOutcome::Kind::Dropped && why.isEmpty()) {
            why = on ? QStringLiteral("Transmit was switched off before the radio acknowledged it.")
                     : QString();
        }
        if (done) {
            done(ok, why);
        }
    };
    m_link.enqueue(command);
}

} // namespace ditlog
