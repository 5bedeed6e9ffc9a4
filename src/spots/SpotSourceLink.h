// Opening and closing the chosen spot source (TNC on a serial port, Telnet cluster, AGW
// Packet Engine), sending typed lines and commands, and the 333 ms reader that hands
// received text to the intake. The "Listening" state tells the window whether a source
// is open or being opened. A source that goes away while open (the TNC's port unplugged,
// the cluster or the packet engine ending the connection) is opened again by itself,
// told once on the console each way, while "Listening" stays (SpotSourceRecovery.cpp).
#pragma once

#include "platform/LinkRecovery.h"
#include "spots/ReceivedTextFilter.h"
#include "spots/SpotSourceSettings.h"

#include <QObject>
#include <QString>

#include <functional>

class QTimer;

namespace ditlog {

class AgwEngine;
class SerialPort;
class SpotConsole;
class SpotIntake;
class TcpClient;
class UserPrompts;
struct StationPreferences;

class SpotSourceLink : public QObject {
    Q_OBJECT
public:
    static constexpr int kTickMs = 333;
    static constexpr int kLabelRefreshTicks = 360;
    // Work taken in one go before the window thread gets its turn again.
    static constexpr qint64 kTelnetSliceBytes = 4 * 1024;
    static constexpr int kAgwSliceFrames = 200;

    SpotSourceLink(SpotSourceSettings& settings, SpotConsole& console, SpotIntake& intake,
                   SerialPort& tnc, TcpClient& telnet, AgwEngine& agw, UserPrompts& prompts,
                   const StationPreferences& prefs, QObject* parent = nullptr);
    ~SpotSourceLink() override;

    // The main window's caption, of which the packet engine is told the first 50 characters.
    void setProgramTitle(std::function<QString()> title) { m_title = std::move(title); }
    // Answer a cluster's login prompt with the own call, once per connection.
    void setAutoLogin(bool on) { m_autoLogin = on; }
    bool autoLogin() const { return m_autoLogin; }
    // Open a source again by itself after it went away (on unless switched off: then a
    // dropped connection closes the source, as the socket error rule says).
    void setReconnect(bool on) { m_reconnect = on; }
    bool reconnect() const { return m_reconnect; }
    // The state of the serial TNC's link and of the network source's (Telnet or AGW).
    const LinkRecovery& tncRecovery() const { return m_tncRecovery; }
    const LinkRecovery& networkRecovery() const { return m_networkRecovery; }

    void OpenSource();
    void CloseSource();
    // Enter in the send box.
    void SendLine(const QString& text);
    void SendAgwLine(const QString& text);
    // Esc or Ctrl+C: the TNC's command-mode character from the hex box; true when sent.
    bool sendCommandCharacter(const QString& hexText);
    // The spotting window closes with the program.
    void shutdown();

    bool listening() const { return m_listening; }
    bool timerRunning() const;
    bool telnetConnected() const;
    bool tncPortOpen() const;
    const QString& connectedStation() const;
    int labelUpdateTimeCounter() const { return m_labelCounter; }
    QTimer* timer() const { return m_timer; }
    void tick();

Q_SIGNALS:
    void listeningChanged(bool listening);
    void captionChanged(const QString& caption);
    void sendBoxFocusRequested();
    // A failure wants the window in view.
    void windowShowRequested();
    // The age colours of the band map are due for renewal.
    void bandMapRefreshDue();
    // The open source went away or came back: once each way, for the main window.
    void sourceNotice(const QString& text);

private:
    void setListening(bool on);
    void OpenTelnet();
    void OpenAgwEngine();
    void OpenTncPort();
    bool openTncDevice(bool* powered);
    void PollTnc();
    void PollAgwEngine();
    void readTelnet();
    void scheduleTelnetRead();
    void answerLogin(const QString& text);
    void onTelnetError(int code, const QString& description);
    void onTncError(const QString& description);
    void tncFailed(const QString& reason);
    void onAgwRegistered();
    void onAgwFailed(const QString& reason);
    void onAgwLost(const QString& reason);
    void handleAgwConnection(char kind, const QString& fromCall);
    void disconnectAgwStation();
    // Recovery (SpotSourceRecovery.cpp).
    void wireRecovery();
    void endRecovery();
    void tncLost(const QString& description);
    void retryTnc();
    void onTelnetConnected();
    bool telnetLost(const QString& text);
    void retryNetworkSource();
    bool agwLost(const QString& reason);
    bool agwAttemptFailed(const QString& reason);
    void networkAttemptFailed(const QString& text);

    SpotSourceSettings& m_settings;
    SpotConsole& m_console;
    SpotIntake& m_intake;
    SerialPort& m_tnc;
    TcpClient& m_telnet;
    AgwEngine& m_agw;
    UserPrompts& m_prompts;
    const StationPreferences& m_prefs;
    std::function<QString()> m_title;
    QTimer* m_timer;
    ReceivedTextFilter m_telnetFilter{ReceivedTextFilter::Protocol::Telnet};
    bool m_listening = false;
    bool m_autoLogin = true;
    bool m_reconnect = true;
    LinkRecovery m_tncRecovery{LinkRecovery::kDevicePauses};
    LinkRecovery m_networkRecovery{LinkRecovery::kNetworkPauses};
    QString m_telnetHost; // where the open connection goes, for connecting again
    quint16 m_telnetPort = 0;
    QString m_agwCall;
    QString m_agwTitle;
    bool m_loginAnswered = false;
    bool m_telnetReadScheduled = false;
    bool m_agwPollScheduled = false;
    bool m_agwOpen = false;
    int m_labelCounter = 0;
    QString m_lastPending; // the unfinished Telnet or packet line at the last tick
};

} // namespace ditlog
