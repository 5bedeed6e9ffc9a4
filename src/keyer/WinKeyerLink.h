// The WinKeyer link: its settings and "WK.txt", sending them (ApplyWinKeySettings), the
// open and close rules, and the feeder that hands CwBuffer to the keyer one character
// at a time whenever fewer than five are pending (WKTransmit), driven by the keyer's
// status and a short timer instead of a waiting loop. A keyer that goes away while open
// (cable pulled, keyer switched off) is looked for on its port until it answers again;
// nothing that was waiting to be sent is sent then.
#pragma once

#include "keyer/CwKeyer.h"
#include "platform/LinkRecovery.h"

#include <QElapsedTimer>
#include <QObject>

#include <functional>

class QTimer;

namespace ditlog {

class PortOwnership;
class UserPrompts;
class WinKeyer;

struct WinKeySettings {
    int comPort = 0; // WinKeyComPort
    QString wpm = QStringLiteral("18");
    QString weight = QStringLiteral("50");
    QString leadIn = QStringLiteral("0");
    QString tail = QStringLiteral("0");
    QString ratio = QStringLiteral("50");
    int pinConfig = 6; // WinKeyPinConfig: 5 PTT, 6 Tone, 4 P5 Off P3 Key Out, 8 P5 Key Out P3 Off
    int mode = 0;      // WinKeyMode: 16 Iambic A, 0 Iambic B, 32 Ultimatic, 48 Bug Keyer

    friend bool operator==(const WinKeySettings&, const WinKeySettings&) = default;
};

// "WK.txt": port (bare byte), speed, weight, lead-in, tail, ratio (quoted), pin
// configuration and mode (bare bytes, optional). Values not read keep their defaults.
WinKeySettings readWinKeySettings(const QByteArray& content);
QByteArray writeWinKeySettings(const WinKeySettings& settings);
inline constexpr char kWinKeySettingsFileName[] = "WK.txt";

class WinKeyerLink final : public QObject, public WinKeyerFeed {
    Q_OBJECT
public:
    WinKeyerLink(WinKeyer& keyer, CwKeyer& cw, PortOwnership& ports, UserPrompts& prompts,
                 QString dataFolder, QObject* parent = nullptr);
    // The pauses between attempts after a loss on the clock given (tests).
    WinKeyerLink(WinKeyer& keyer, CwKeyer& cw, PortOwnership& ports, UserPrompts& prompts,
                 QString dataFolder, TimerClock& clock, QObject* parent = nullptr);
    ~WinKeyerLink() override;

    // The operator's own call, for "Test".
    void setOwnCall(std::function<QString()> ownCall) { m_ownCall = std::move(ownCall); }

    // Loading: defaults for pins and mode, "WK.txt" when present, the CW window's speed.
    void load();
    std::optional<QString> save() const;
    WinKeySettings& settings() { return m_settings; }

    // "Open" and "Close".
    void Open();
    void Close();
    int WinKeyOpen() const { return m_version; }
    QString statusText() const { return m_status; }
    QString versionText() const;

    // Sends every setting the keyer accepts; fields that are not numbers get their
    // default texts (see the leave* rules).
    void ApplyWinKeySettings();
    // The rules of leaving each field; they return the field's text afterwards.
    QString leaveSpeed(const QString& text);
    QString leaveWeight(const QString& text);
    QString leaveLeadIn(const QString& leadIn, const QString& tail);
    QString leaveTail(const QString& leadIn, const QString& tail);
    QString leaveRatio(const QString& text);
    QString leavePort(const QString& text);
    void choosePinConfig(int pins);
    void chooseMode(int mode);

    // The window's test inputs.
    void Test();
    void BufferTest();
    void Stop();
    void typeAhead(QChar c);

    bool feeding() const { return m_feeding; }
    // The link's state: open, lost and looked for, closed.
    const LinkRecovery& recovery() const { return m_recovery; }
    // How long the keyer may report five or more pending without any progress before
    // the feeder gives up.
    void setGiveUpMs(int ms) { m_giveUpMs = ms; }

    // WinKeyerFeed
    void WKTransmit() override;
    bool linkOpen() const override { return m_version != 0; }
    int pendingCharacters() override;
    void clearKeyerBuffer() override;
    void backspace() override;
    void speedChanged(int wpm) override;

Q_SIGNALS:
    void statusTextChanged(const QString& text);
    void versionTextChanged(const QString& text);
    void settingsChanged();
    // An opening ended (the window moves the focus to "&Done").
    void openFinished(bool linked);
    // The keyer went away or came back: once each way, for the main window's status line.
    void linkNotice(const QString& text);

private:
    void wire();
    void opened(int result, int version);
    void feedStep();
    void stopFeeding(bool ended);
    void setStatus(const QString& text);
    void linkLost(const QString& description);
    void retry();
    void retryOutcome(int result, int version);
    int number(const QString& text, int low, int high, bool* inRange) const;

    WinKeyer& m_keyer;
    CwKeyer& m_cw;
    PortOwnership& m_ports;
    UserPrompts& m_prompts;
    QString m_dataFolder;
    std::function<QString()> m_ownCall;
    WinKeySettings m_settings;
    int m_version = 0; // WinKeyOpen
    QString m_status = QStringLiteral("Closed");
    bool m_feeding = false;
    bool m_inStep = false; // a feed step is running (the keyer's status may change in it)
    bool m_sendWhenOpen = false;
    QTimer* m_feed;
    QElapsedTimer m_progress;
    LinkRecovery m_recovery;
    bool m_retrying = false; // the opening under way is an attempt after a loss
    int m_lastPending = 0;
    int m_giveUpMs = 20000;
};

} // namespace ditlog
