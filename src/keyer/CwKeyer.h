// The CW keyer: function-key messages with their wildcards, the send loop that feeds the
// keying engine (LoopThroughCWBuffer), the F1 repeat, speed, the serial keying port
// (CWSetup) and the keying settings with "CW.txt". The window thread's half of keying:
// the engine's events arrive here and become the documented effects (the remaining text
// on the main window, "!" logging the contact, the repeat timer, the port message).
#pragma once

#include "keyer/CwKeyerControl.h"
#include "keyer/CwSettings.h"
#include "keyer/KeyingEngine.h"

#include <QObject>

#include <memory>

class QTimer;

namespace ditlog {

class CatCwFeeder;
class CwBuffer;
class KeyingLine;
class KeyingOutputs;
class PortOwnership;
class RadioKeying;
class RealtimeKit;
class SerialPort;
class SettingsStore;
class SystemTimerClock;
class TimerClock;
class UserPrompts;

// What the keyer asks of the main window.
class CwKeyerHost {
public:
    virtual ~CwKeyerHost() = default;
    // The call and sent report as the fields hold them now (already cleaned).
    virtual QString callForMessages() const = 0;
    virtual QString reportSentForMessages() const = 0;
    // Logs the contact of the entry row (Mains) when its call field is not empty.
    virtual void logContact() = 0;
    virtual bool keyboardCwMode() const = 0;
    // The main window's status line (lblDialog).
    virtual void showKeyerStatus(const QString& text) = 0;
};

// The external keyer's side of the send loop, for the "WinKey" line.
class WinKeyerFeed {
public:
    virtual ~WinKeyerFeed() = default;
    // Feeds CwBuffer to the keyer (which empties it); ends at once when it cannot open.
    virtual void WKTransmit() = 0;
    virtual bool linkOpen() const = 0;
    // Characters handed over and not yet finished by the keyer (WinKeyStatus).
    virtual int pendingCharacters() = 0;
    virtual void clearKeyerBuffer() = 0;
    virtual void backspace() = 0;
    virtual void speedChanged(int wpm) = 0;
};

// Substitutes the message wildcards: "$" the call, "#" nothing, "*" the sent report
// ("5NN" for "599" or an empty report); values are trimmed and not scanned again.
QString substituteWildcards(const QString& message, const QString& call, const QString& report);

class CwKeyer final : public QObject, public CwKeyerControl {
    Q_OBJECT
public:
    CwKeyer(CwBuffer& buffer, KeyingEngine& engine, SerialPort& port, KeyingOutputs& outputs,
            PortOwnership& ports, SettingsStore& store, UserPrompts& prompts,
            QObject* parent = nullptr);
    ~CwKeyer() override;

    void setHost(CwKeyerHost* host) { m_host = host; }
    void setWinKeyer(WinKeyerFeed* feed) { m_winKeyer = feed; }
    // Who is asked for real-time priority when the kernel refuses it to the keying thread.
    void setRealtimeKit(RealtimeKit* kit);
    // The radio's own link, for "Rig port DTR", "Rig port RTS" and "Radio (CAT)"
    // (CwKeyerRadio.cpp); nullptr: none. The CAT send loop times itself on the clock
    // given (the steady clock when none is).
    void setRadio(RadioKeying* radio, TimerClock* clock = nullptr);
    RadioKeying* radio() const { return m_radio; }
    // Why the keying option cannot be chosen now (a rig-port line the rig link uses, a
    // radio without a CAT keyer), empty when it can.
    QString keyingLineRefusal(KeyingLineChoice line) const;
    CwBuffer& buffer() { return m_buffer; }
    KeyingEngine& engine() { return m_engine; }

    // Settings and "CW.txt".
    const CwSettings& settings() const { return m_settings; }
    void loadSettingsFile(const QString& workingFolder);
    // Writes all 18 lines atomically; the error text on failure.
    std::optional<QString> saveSettingsFile(const QString& workingFolder) const;
    void setMessage(int index, const QString& text);
    void setKeyingLine(KeyingLineChoice line);
    KeyingLineChoice keyingLine() const { return m_settings.keyingLine; }
    void setPortText(const QString& text); // the field's text as typed
    void setSpeedText(const QString& text);
    void setWordSpaceText(const QString& text);
    void setParallelText(const QString& text);
    void setDisplay(bool on);
    // Typing in the repeat field: a value from 0 up to but not including 60 takes effect
    // at once (0 ends a calling loop after the message being sent); others wait.
    void editRepeatText(const QString& text);
    // Leaving the repeat field: 0 <= value < 60 sets the interval; anything else resets
    // the field to "0" and stops the repeat. The field's new text.
    QString applyRepeatText(const QString& text);
    int repeatIntervalMs() const;
    QTimer* repeatTimer() const { return m_repeat; }

    // Timing method and loop calibration, kept in the settings store.
    TimingMethod timingMethod() const { return m_method; }
    void setTimingMethod(TimingMethod method);
    double loopsPer60ms() const { return m_loopsPer60ms; }
    void setLoopsPer60ms(double loops);
    // Measures this machine's loop count (on a worker thread); loopCalibrated follows.
    void CalibrateLoop();
    void storeTimingSettings();

    // Opens the serial keying port from the settings; false (after the message) when
    // the port is invalid.
    bool CWSetup();
    bool keyingPortOpen() const;
    // Releases the keying port (another user claims the port, or the line changed).
    void closeKeyingPort();

    // CwKeyerControl
    bool keyingLineSelected() const override;
    void FKeyCW(int keyCode) override;
    void UpDown1_UpClick() override;
    void UpDown1_DownClick() override;
    QString speedText() const override { return m_settings.speedText; }
    bool isSending() const override;
    void clearSendBuffer() override;
    void stopRepeat() override;
    void appendToBuffer(const QString& text) override;
    void removeLastUnsent() override;
    void LoopThroughCWBuffer() override;
    bool stopExternalKeyer() override;
    QString messageText(int keyCode) const override {
        const std::optional<int> index = messageIndexForKeyCode(keyCode);
        return index ? m_settings.messages[std::size_t(*index)] : QString();
    }
    // The settings store the keyer keeps its timing in (the CW window keeps more there).
    SettingsStore& settingsStore() const { return m_store; }

    bool repeatArmed() const { return m_repeatArmed; }
    // The WinKeyer's feeder handed a character over (as the keying thread's events do).
    void announceCharacter(QChar character, const QString& remaining);
    // The WinKeyer's feeder has handed over the last character (completed: the repeat
    // runs from now), or ended without sending it all (no keyer, link lost, stalled).
    void winKeyerFeedEnded(bool completed);

Q_SIGNALS:
    void settingsChanged();
    void speedChanged(const QString& speedText);
    void characterStarted(QChar character, const QString& remaining);
    void sendingFinished();
    // The port could not be used: the operator should see the CW window to fix it.
    void portRefused();
    void loopCalibrated(double loopsPer60ms);

private:
    void connectEngine();
    void handleEngineEvents();
    void pushParameters();
    bool prepareOutputs();
    void showInvalidPort(const QString& detail);
    void changeSpeed(int delta);
    // Gives the engine its line (nullptr: none); the engine is quiet on the old one then.
    void useLine(KeyingLine* line);
    // The line in force changed during a send: the next character goes to the new one.
    void continueOnNewLine();
    // Another use took the output the send was keying: the send ends, without a fault.
    void endSendForOtherUse();
    // The radio's link (CwKeyerRadio.cpp).
    void connectFeeder(TimerClock& clock);
    void claimRigLine();
    bool prepareRigLine();
    void sendThroughRadio();
    void tellRadioProblem(const QString& why);
    void radioSendFinished(bool completed);
    // A valid interval text becomes the repeat interval; false for a refused one.
    bool setRepeatInterval(const QString& text);
    void startRepeatIfArmed();

    CwBuffer& m_buffer;
    KeyingEngine& m_engine;
    SerialPort& m_port;
    KeyingOutputs& m_outputs;
    PortOwnership& m_ports;
    SettingsStore& m_store;
    UserPrompts& m_prompts;
    CwKeyerHost* m_host = nullptr;
    WinKeyerFeed* m_winKeyer = nullptr;
    RealtimeKit* m_realtimeKit = nullptr;
    RadioKeying* m_radio = nullptr;
    std::unique_ptr<SystemTimerClock> m_steadyClock;
    CatCwFeeder* m_cat = nullptr;
    QString m_radioToldAbout; // a radio problem told in a box once, until a send works

    CwSettings m_settings;
    TimingMethod m_method = TimingMethod::Timer;
    double m_loopsPer60ms = 0;
    double m_measuredLoopsPer60ms = 0; // this machine, this run
    bool m_repeatArmed = false;
    QTimer* m_repeat;
    KeyingLine* m_lineInUse = nullptr; // what the engine was given last
    bool m_portFailed = false;         // the keying port closed because the device failed
    // Lets other threads post to this object only while it lives.
    struct Bridge;
    std::shared_ptr<Bridge> m_bridge;
};

} // namespace ditlog
