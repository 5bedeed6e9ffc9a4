// Opening a spot source again after it went away: the TNC's port looked for under its
// number, the cluster dialled again and the packet engine registered again with growing
// pauses. Each loss and each return is told once on the console (one beep for the loss);
// the attempts in between are quiet. A new connection starts clean: its login prompt is
// answered again and nothing left over from the old one is joined to its first line.
#include "spots/SpotSourceLink.h"

#include "platform/AgwEngine.h"
#include "platform/SerialPort.h"
#include "platform/TcpClient.h"
#include "platform/UserPrompts.h"
#include "spots/SpotConsole.h"
#include "spots/SpotIntake.h"
#include "spots/SpotMessages.h"

#include <QTimer>

namespace ditlog {

void SpotSourceLink::wireRecovery() {
    connect(&m_tncRecovery, &LinkRecovery::retryDue, this, &SpotSourceLink::retryTnc);
    connect(&m_networkRecovery, &LinkRecovery::retryDue, this, &SpotSourceLink::retryNetworkSource);
    connect(&m_telnet, &TcpClient::connected, this, &SpotSourceLink::onTelnetConnected);
}

void SpotSourceLink::endRecovery() {
    m_tncRecovery.close();
    m_networkRecovery.close();
}

// ---- the TNC -------------------------------------------------------------------------

void SpotSourceLink::tncLost(const QString& description) {
    m_console.show(
        QStringLiteral("\r\n** The TNC serial port is gone (%1); listening again when it is back **\r\n")
            .arg(description));
    m_prompts.beep();
    Q_EMIT sourceNotice(QStringLiteral("The TNC's serial port is gone; spots resume when it is back."));
    m_tncRecovery.lost(description);
}

void SpotSourceLink::retryTnc() {
    bool powered = true;
    if (!openTncDevice(&powered)) {
        m_tncRecovery.attemptFailed(m_tnc.errorString());
        return;
    }
    m_tncRecovery.opened();
    m_intake.resetStreams(); // half a line from before is not the start of the next one
    m_console.show(QStringLiteral("** The TNC serial port is back **\r\n\r\n"));
    Q_EMIT sourceNotice(QStringLiteral("The TNC's serial port is back."));
}

// ---- the network sources -------------------------------------------------------------

void SpotSourceLink::onTelnetConnected() {
    if (!m_listening || !SpotSource::is(m_settings.Source, SpotSource::Telnet)) {
        return;
    }
    const bool again = m_networkRecovery.recovering();
    m_networkRecovery.opened();
    if (!again) {
        return;
    }
    m_telnetFilter.reset();
    m_intake.resetStreams();
    m_loginAnswered = false;
    m_lastPending.clear();
    m_console.show(QStringLiteral("** Connected again to %1:%2 **\r\n\r\n").arg(m_telnetHost).arg(m_telnetPort));
    Q_EMIT sourceNotice(QStringLiteral("Connected to the DX cluster again."));
}

bool SpotSourceLink::telnetLost(const QString& text) {
    if (m_networkRecovery.recovering()) {
        networkAttemptFailed(text);
        return true;
    }
    if (!m_reconnect || m_networkRecovery.state() != LinkState::Open) {
        return false; // the operator's opening failed, or no reconnecting: the documented rule
    }
    m_console.append(text);
    m_console.show(QStringLiteral("\r\n\r\n** Connecting again to %1:%2 **\r\n").arg(m_telnetHost).arg(m_telnetPort));
    m_telnet.close();
    m_prompts.beep();
    Q_EMIT sourceNotice(QStringLiteral("The DX cluster closed the connection; connecting again."));
    m_networkRecovery.lost(text);
    return true;
}

bool SpotSourceLink::agwLost(const QString& reason) {
    if (!m_reconnect || m_networkRecovery.state() != LinkState::Open) {
        return false;
    }
    // A station connected through the engine went with it.
    if (!m_intake.connectedStation().isEmpty()) {
        Q_EMIT captionChanged(SpotText::WindowCaption);
        m_intake.setConnectedStation({});
    }
    m_console.show(
        QStringLiteral("\r\n** The AGW Packet Engine closed the connection (%1); connecting again **\r\n")
            .arg(reason));
    m_prompts.beep();
    Q_EMIT sourceNotice(QStringLiteral("The AGW Packet Engine closed the connection; connecting again."));
    m_networkRecovery.lost(reason);
    return true;
}

bool SpotSourceLink::agwAttemptFailed(const QString& reason) {
    if (!m_networkRecovery.recovering()) {
        return false;
    }
    networkAttemptFailed(reason);
    return true;
}

void SpotSourceLink::networkAttemptFailed(const QString& text) {
    // Said once, when the first attempt fails; the later ones are quiet.
    const bool first = m_networkRecovery.state() == LinkState::Lost;
    m_networkRecovery.attemptFailed(text);
    if (first) {
        m_console.show(QStringLiteral("** %1 Trying again. **\r\n").arg(text.trimmed()));
    }
}

void SpotSourceLink::retryNetworkSource() {
    if (SpotSource::is(m_settings.Source, SpotSource::Telnet)) {
        m_telnet.connectToHost(m_telnetHost, m_telnetPort);
    } else if (SpotSource::is(m_settings.Source, SpotSource::Agw)) {
        m_agw.AGWStartPoll(m_agwCall, m_agwTitle);
    } else {
        m_networkRecovery.close();
    }
}

} // namespace ditlog
