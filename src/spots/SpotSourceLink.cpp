// Opening, closing, sending and polling the spot sources.
#include "spots/SpotSourceLink.h"

#include "log/StationPreferences.h"
#include "platform/AgwEngine.h"
#include "platform/SerialPort.h"
#include "platform/TcpClient.h"
#include "platform/UserPrompts.h"
#include "spots/SpotConsole.h"
#include "spots/SpotIntake.h"
#include "spots/SpotMessages.h"

#include <QLoggingCategory>
#include <QTimer>

Q_LOGGING_CATEGORY(lcSpots, "ditlog.spots", QtWarningMsg)

namespace ditlog {

namespace {
const QString& kCaption = SpotText::WindowCaption;

bool looksLikeLoginPrompt(const QString& text) {
    return text.contains(u"login:", Qt::CaseInsensitive) ||
           text.contains(u"enter your call", Qt::CaseInsensitive);
}
} // namespace

SpotSourceLink::SpotSourceLink(SpotSourceSettings& settings, SpotConsole& console,
                               SpotIntake& intake, SerialPort& tnc, TcpClient& telnet,
                               AgwEngine& agw, UserPrompts& prompts,
                               const StationPreferences& prefs, QObject* parent)
    : QObject(parent), m_settings(settings), m_console(console), m_intake(intake), m_tnc(tnc),
      m_telnet(telnet), m_agw(agw), m_prompts(prompts), m_prefs(prefs), m_timer(new QTimer(this)) {
    m_timer->setObjectName(QStringLiteral("Timer1"));
    m_timer->setInterval(kTickMs);
    connect(m_timer, &QTimer::timeout, this, &SpotSourceLink::tick);
    connect(&m_intake, &SpotIntake::spotPosted, this, [this] { m_labelCounter = 0; });
    connect(&m_intake, &SpotIntake::telnetLineReceived, this, &SpotSourceLink::answerLogin);
    connect(&m_tnc, &SerialPort::errorOccurred, this, &SpotSourceLink::onTncError);
    connect(&m_telnet, &TcpClient::readyRead, this, &SpotSourceLink::scheduleTelnetRead);
    connect(&m_telnet, &TcpClient::errorOccurred, this, &SpotSourceLink::onTelnetError);
    connect(&m_agw, &AgwEngine::registered, this, &SpotSourceLink::onAgwRegistered);
    connect(&m_agw, &AgwEngine::startFailed, this, &SpotSourceLink::onAgwFailed);
    connect(&m_agw, &AgwEngine::connectionLost, this, &SpotSourceLink::onAgwLost);
    connect(&m_agw, &AgwEngine::dataSkipped, this, [this](const QString& description) {
        m_console.show(QStringLiteral("\r\n** Skipped %1 **\r\n").arg(description));
    });
    wireRecovery();
}

SpotSourceLink::~SpotSourceLink() = default;

bool SpotSourceLink::timerRunning() const { return m_timer->isActive(); }

bool SpotSourceLink::telnetConnected() const { return m_telnet.isConnected(); }

bool SpotSourceLink::tncPortOpen() const { return m_tnc.isOpen(); }

const QString& SpotSourceLink::connectedStation() const { return m_intake.connectedStation(); }

void SpotSourceLink::setListening(bool on) {
    if (m_listening != on) {
        m_listening = on;
        Q_EMIT listeningChanged(on);
    }
}

// ---- open and close ----------------------------------------------------------------------

void SpotSourceLink::OpenSource() {
    m_console.replace(SpotText::AttemptingToOpen);
    endRecovery();
    // A source that is still open (another choice, a second open) is let go first.
    m_tnc.close();
    m_telnet.close();
    if (m_agwOpen) {
        disconnectAgwStation();
        m_agw.AGWClose();
        m_agwOpen = false;
    }
    const QString& source = m_settings.Source;
    if (SpotSource::is(source, SpotSource::None)) {
        return;
    }
    setListening(true);
    Q_EMIT sendBoxFocusRequested();
    m_intake.resetStreams();
    if (SpotSource::is(source, SpotSource::Tnc)) {
        OpenTncPort();
    } else if (SpotSource::is(source, SpotSource::Agw)) {
        OpenAgwEngine();
    } else if (SpotSource::is(source, SpotSource::Telnet)) {
        OpenTelnet();
    }
}

void SpotSourceLink::OpenTelnet() {
    m_telnet.close();
    m_telnetFilter.reset();
    m_loginAnswered = false;
    const QString host = m_settings.TelnetHost.trimmed();
    bool ok = false;
    const uint port = m_settings.TelnetPort.trimmed().toUInt(&ok);
    m_console.replace(QStringLiteral("Attempting connection to: %1:%2\r\n\r\n")
                          .arg(host, m_settings.TelnetPort.trimmed()));
    m_timer->start();
    if (!ok || port == 0 || port > 65535) {
        onTelnetError(10043, QStringLiteral("no such port"));
        return;
    }
    m_telnetHost = host;
    m_telnetPort = quint16(port);
    m_networkRecovery.opening();
    qCDebug(lcSpots) << "connecting to" << host << port;
    m_telnet.connectToHost(host, quint16(port));
}

void SpotSourceLink::OpenAgwEngine() {
    const QString call = m_prefs.OwnCall.trimmed();
    if (call.isEmpty()) {
        m_prompts.beep();
        m_prompts.message(SpotText::CallRequiredTitle, SpotText::CallRequiredText);
        // Nothing is open: the window must not say "Listening".
        setListening(false);
        return;
    }
    const QString title = m_title ? m_title().left(50).trimmed() : QString();
    m_agwOpen = true;
    m_agwCall = call;
    m_agwTitle = title;
    m_networkRecovery.opening();
    m_agw.AGWStartPoll(call, title);
}

void SpotSourceLink::onAgwRegistered() {
    if (!m_agwOpen) {
        return;
    }
    const bool again = m_networkRecovery.recovering();
    m_networkRecovery.opened();
    m_timer->start();
    m_console.append(again ? QStringLiteral("\r\n** Connected again to the AGW Packet Engine **\r\n\r\n")
                           : SpotText::AgwConnected);
    if (again) {
        Q_EMIT sourceNotice(QStringLiteral("Connected to the AGW Packet Engine again."));
    }
}

void SpotSourceLink::onAgwFailed(const QString& reason) {
    if (!m_agwOpen || agwAttemptFailed(reason)) {
        return;
    }
    m_agwOpen = false;
    m_prompts.message(SpotText::AgwFailedTitle, SpotText::agwFailedMessage());
    setListening(false);
    m_console.show(SpotText::agwFailedConsole());
    Q_EMIT windowShowRequested();
    CloseSource();
    m_timer->stop();
}

void SpotSourceLink::onAgwLost(const QString& reason) {
    if (!m_agwOpen) {
        return;
    }
    // What the engine sent before it went is still examined.
    PollAgwEngine();
    if (agwLost(reason)) {
        return;
    }
    m_console.show(QStringLiteral("\r\n** The AGW Packet Engine closed the connection (%1) **")
                       .arg(reason));
    m_prompts.beep();
    CloseSource();
}

void SpotSourceLink::CloseSource() {
    if (!m_listening) {
        return;
    }
    endRecovery();
    setListening(false);
    m_console.show(SpotText::PortClosed);
    m_tnc.close();
    m_telnet.close();
    if (m_agwOpen) {
        disconnectAgwStation();
        m_agw.AGWClose();
        m_agwOpen = false;
    }
    m_timer->stop();
}

void SpotSourceLink::disconnectAgwStation() {
    const QString station = m_intake.connectedStation();
    if (station.isEmpty()) {
        return;
    }
    m_agw.AGWPutData(station, {}, 'd');
    Q_EMIT captionChanged(kCaption);
    m_intake.setConnectedStation({});
}

void SpotSourceLink::shutdown() {
    endRecovery();
    m_timer->stop();
    m_tnc.close();
    m_telnet.close();
    if (m_agwOpen) {
        disconnectAgwStation();
        m_agw.AGWClose();
        m_agwOpen = false;
    }
    setListening(false);
}

// ---- sending -----------------------------------------------------------------------------

void SpotSourceLink::SendLine(const QString& text) {
    if (!m_listening) {
        OpenSource();
    }
    const QString& source = m_settings.Source;
    if (SpotSource::is(source, SpotSource::Tnc)) {
        if (!m_tnc.isOpen()) {
            m_tncRecovery.retryNow(); // a port already back is used at once
        }
        if (m_tnc.isOpen()) {
            m_tnc.write((text + QLatin1Char('\r')).toLatin1());
        }
    } else if (SpotSource::is(source, SpotSource::Telnet)) {
        if (m_telnet.isConnected()) {
            m_intake.endTelnetPrompt();
            m_telnet.send((text + SpotText::kCrLf).toLatin1());
        } else {
            m_networkRecovery.retryNow();
            m_console.show(SpotText::NotYetEstablished);
        }
    } else if (SpotSource::is(source, SpotSource::Agw) && m_timer->isActive()) {
        SendAgwLine(text);
    }
}

void SpotSourceLink::SendAgwLine(const QString& text) {
    const QString station = m_intake.connectedStation();
    if (text.startsWith(u':')) {
        const QChar letter = text.size() > 1 ? text.at(1).toUpper() : QChar();
        const QString argument = text.mid(2).trimmed();
        if (letter == u'D') {
            if (!station.isEmpty()) {
                m_agw.AGWPutData(station, {}, 'd');
            }
        } else if (letter == u'C') {
            const QString target = argument.toUpper();
            if (target.isEmpty()) {
                m_prompts.message(SpotText::ConnectCallTitle, SpotText::ConnectCallText);
            } else {
                m_agw.AGWPutData(target, {}, 'c');
                m_agw.AGWPutData(target, {}, 'P');
            }
        }
        return;
    }
    if (!station.isEmpty()) {
        m_agw.AGWPutData(station, (text + QLatin1Char('\r')).toLatin1(), 'D');
    }
}

bool SpotSourceLink::sendCommandCharacter(const QString& hexText) {
    if (SpotSource::is(m_settings.Source, SpotSource::Tnc) && !m_tnc.isOpen()) {
        m_tncRecovery.retryNow();
    }
    if (!SpotSource::is(m_settings.Source, SpotSource::Tnc) || !m_tnc.isOpen()) {
        return false;
    }
    bool ok = false;
    const uint code = hexText.trimmed().toUInt(&ok, 16);
    m_tnc.write(QByteArray(1, char(ok && code <= 0xFF ? code : 3)));
    return true;
}

// ---- receiving ---------------------------------------------------------------------------

void SpotSourceLink::tick() {
    if (SpotSource::is(m_settings.Source, SpotSource::Tnc)) {
        PollTnc();
    } else if (SpotSource::is(m_settings.Source, SpotSource::Agw)) {
        PollAgwEngine();
        // The connected station's unfinished line that sat for a whole tick is a prompt.
        const QString pending = m_intake.pendingAgwText();
        if (!pending.isEmpty() && pending == m_lastPending) {
            m_intake.showAgwPrompt();
        }
        m_lastPending = pending;
    } else if (SpotSource::is(m_settings.Source, SpotSource::Telnet)) {
        // A line that stays unfinished for a whole tick is a prompt.
        const QString pending = m_intake.pendingTelnetText();
        if (!pending.isEmpty() && pending == m_lastPending) {
            m_intake.endTelnetPrompt();
        }
        m_lastPending = m_intake.pendingTelnetText();
    }
    if (++m_labelCounter > kLabelRefreshTicks) {
        m_labelCounter = 0;
        Q_EMIT bandMapRefreshDue();
    }
}

void SpotSourceLink::OpenTncPort() {
    m_tnc.close();
    m_tncRecovery.opening();
    bool powered = true;
    if (!openTncDevice(&powered)) {
        m_tncRecovery.close();
        tncFailed(m_tnc.errorString());
        return;
    }
    m_tncRecovery.opened();
    m_timer->start();
    m_console.append(SpotText::TncOpen);
    if (!powered) {
        m_console.show(QStringLiteral("** The port refused to raise the power line **\r\n\r\n"));
    }
}

bool SpotSourceLink::openTncDevice(bool* powered) {
    // "RTS with XON/XOFF" has no equivalent here: hardware handshaking stands for it.
    const Handshake handshake = m_settings.Handshake == 2   ? Handshake::XonXoff
                                : m_settings.Handshake >= 3 ? Handshake::RtsCts
                                                            : Handshake::None;
    if (!m_tnc.open(m_settings.Port, m_settings.serialSettings(), handshake)) {
        return false;
    }
    // Lines a device has not (a pseudo-terminal) are no failure; a refused power line
    // is worth a word, since the TNC may depend on it.
    m_tnc.setDtr(false);
    if (handshake != Handshake::RtsCts) {
        m_tnc.setRts(false);
    }
    *powered = true;
    if (m_settings.PowerLine == QLatin1String("R") && handshake != Handshake::RtsCts) {
        *powered = m_tnc.setRts(true);
    } else if (m_settings.PowerLine == QLatin1String("D")) {
        *powered = m_tnc.setDtr(true);
    }
    return true;
}

void SpotSourceLink::tncFailed(const QString& reason) {
    m_prompts.beep();
    m_console.append(SpotText::TncFailed);
    if (!reason.isEmpty()) {
        m_console.show(QStringLiteral("(%1)\r\n\r\n").arg(reason));
    }
    m_prompts.message(SpotText::TncSettingsTitle, SpotText::TncSettingsText);
    Q_EMIT windowShowRequested();
    CloseSource();
    m_timer->stop();
}

void SpotSourceLink::onTncError(const QString& description) {
    if (!m_listening || !SpotSource::is(m_settings.Source, SpotSource::Tnc)) {
        return;
    }
    if (m_reconnect && m_tncRecovery.state() == LinkState::Open) {
        tncLost(description);
        return;
    }
    m_console.show(QStringLiteral("\r\n** The TNC serial port failed: %1 **").arg(description));
    m_prompts.beep();
    CloseSource();
}

void SpotSourceLink::PollTnc() {
    if (!m_tnc.isOpen()) {
        return;
    }
    const QByteArray received = m_tnc.readAll();
    if (!received.isEmpty()) {
        m_intake.SplitTncLines(received);
    }
}

void SpotSourceLink::scheduleTelnetRead() {
    if (!m_telnetReadScheduled) {
        m_telnetReadScheduled = true;
        QTimer::singleShot(0, this, &SpotSourceLink::readTelnet);
    }
}

void SpotSourceLink::readTelnet() {
    // One slice per turn of the event loop, so a flood never holds up the window.
    m_telnetReadScheduled = false;
    const QByteArray raw = m_telnet.read(kTelnetSliceBytes);
    if (raw.isEmpty()) {
        return;
    }
    const QByteArray clean = m_telnetFilter.filter(raw);
    if (const QByteArray replies = m_telnetFilter.takeReplies(); !replies.isEmpty()) {
        m_telnet.send(replies);
    }
    m_intake.ExamineTelnetBlock(clean);
    answerLogin(m_intake.pendingTelnetText());
    if (m_telnet.bytesAvailable() > 0) {
        scheduleTelnetRead();
    }
}

void SpotSourceLink::answerLogin(const QString& text) {
    if (!m_autoLogin || m_loginAnswered || !m_telnet.isConnected() || !looksLikeLoginPrompt(text)) {
        return;
    }
    m_loginAnswered = true;
    const QString call = m_prefs.OwnCall.trimmed();
    if (call.isEmpty()) {
        m_console.show(QStringLiteral(
            "\r\n** The cluster asks for your call: enter it on the setup form, or type it here "
            "**\r\n"));
        return;
    }
    m_intake.endTelnetPrompt();
    m_telnet.send((call + SpotText::kCrLf).toLatin1());
    m_console.show(call + SpotText::kCrLf);
}

void SpotSourceLink::onTelnetError(int code, const QString& description) {
    // The last lines the cluster sent before it went are still examined.
    while (m_telnet.bytesAvailable() > 0) {
        readTelnet();
    }
    QString text = socketErrorText(code);
    if (text.startsWith(QLatin1String("Error number"))) {
        text += QStringLiteral(" (%1)").arg(description);
    }
    if (telnetLost(text)) {
        return;
    }
    m_console.append(text);
    m_telnet.close();
    CloseSource();
    m_console.TrimConsole();
    m_prompts.beep();
}

void SpotSourceLink::PollAgwEngine() {
    // Every waiting frame is taken, a slice per turn of the event loop.
    m_agwPollScheduled = false;
    for (int taken = 0; taken < kAgwSliceFrames; ++taken) {
        std::optional<AgwFrame> frame = m_agw.AGWGetData();
        if (!frame) {
            return;
        }
        const QString fromCall = QString::fromLatin1(frame->callFrom);
        m_intake.ExamineAgwFrame(frame->kind, fromCall, frame->data);
        handleAgwConnection(frame->kind, fromCall);
        if (!m_agwOpen) {
            return;
        }
    }
    if (!m_agwPollScheduled) {
        m_agwPollScheduled = true;
        QTimer::singleShot(0, this, &SpotSourceLink::PollAgwEngine);
    }
}

void SpotSourceLink::handleAgwConnection(char kind, const QString& fromCall) {
    const QString station = m_intake.connectedStation();
    if (kind == 'd' && !station.isEmpty() && fromCall.compare(station, Qt::CaseInsensitive) == 0) {
        m_prompts.beep();
        m_prompts.beep();
        m_console.show(QStringLiteral("\r\n** Disconnected from %1 **\r\n").arg(station));
        Q_EMIT captionChanged(kCaption);
        m_intake.setConnectedStation({});
    } else if (kind == 'c' && station.isEmpty() && !fromCall.isEmpty()) {
        m_intake.setConnectedStation(fromCall);
        m_console.show(QStringLiteral("** Connected to %1 **").arg(fromCall));
        Q_EMIT captionChanged(kCaption + QStringLiteral(" - Connected to ") + fromCall);
        m_prompts.beep();
    }
}

} // namespace ditlog
