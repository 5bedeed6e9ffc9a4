// The voice message keyer: F1 ... F9 play their wave files into the transmitter with
// push-to-talk keyed on RTS or DTR of a serial port or on the parallel port, and F1 can
// repeat at a fixed interval. The end of each playback releases push-to-talk. A message
// is never played while a push-to-talk line that is set up cannot be keyed.
#pragma once

#include "voice/PhoneSettings.h"

#include <QObject>

class QTimer;

namespace ditlog {

class KeyingLine;
class ParallelPort;
class PortOwnership;
class RadioTransmit;
class SerialPort;
class UserPrompts;
class WavePlayer;

class PhoneKeyer : public QObject {
    Q_OBJECT
public:
    static constexpr int kF1 = 112;
    static constexpr int kF9 = 120;

    // pttPort: the serial port this keyer keys (its own object); parallel: the station's
    // parallel port, shared with the CW keyer; ownership: the rule that the CW keying
    // port, this port and the WinKeyer close each other's port.
    PhoneKeyer(WavePlayer& player, SerialPort& pttPort, ParallelPort& parallel,
               PortOwnership& ownership, UserPrompts& prompts, QObject* parent = nullptr);
    ~PhoneKeyer() override;

    const PhoneSettings& settings() const { return m_settings; }
    // Takes new settings (read at start, or from the window's "Done"). The repeat
    // interval follows the repeat field; a changed port number is opened anew on next use;
    // the player takes the keyer's output at its next file.
    void setSettings(const PhoneSettings& settings);

    // The radio's own link, for push-to-talk on "Rig port RTS", "Rig port DTR" and "Radio
    // (CAT)" (PhoneKeyerRadio.cpp); nullptr: none (push-to-talk is released first).
    void setRadio(RadioTransmit* radio);
    // Why the push-to-talk option cannot be chosen (a rig-port line the rig link or CW
    // uses, a radio without a transmit switch), empty when it can.
    QString pttLineRefusal(PhonePttLine line) const;

    // Plays the file of a function key (112 = F1 ... 120 = F9); other codes do nothing.
    void FKeyPhone(int keyCode);
    // Esc: the message playing (or waiting for the radio to transmit) stops, push-to-talk
    // is released and F1 no longer repeats. False when none was playing.
    bool stopMessage();
    // "Stop": F1 no longer repeats; the file being played is not cut off.
    void stopRepeat();
    // Leaving the repeat field: 0 up to but not including 60 seconds becomes the
    // interval, anything else makes the field "0" and stops the repeat. Returns the
    // field's text afterwards.
    QString setRepeatField(const QString& text);
    // Leaving the port field: a non-numeric entry becomes "0"; the port is opened.
    QString setPttPortField(const QString& text);

    // Opens the PTT serial port (for a port number above 0): the WinKeyer link and the
    // CW keying port let go first. False after the "Invalid port." message.
    bool openPttPort();
    void closePttPort();

    bool repeatArmed() const { return m_repeatArmed; }
    bool pttKeyed() const { return m_pttKeyed; }
    bool isPlaying() const { return m_awaitingEnd || m_awaitingTransmit; }
    int repeatIntervalMs() const { return m_repeatMs; }

Q_SIGNALS:
    void repeatArmedChanged(bool armed);
    void settingsChanged();
    // The PTT port could not be opened and the operator was told: the settings window
    // shows itself so that the port can be corrected.
    void pttPortRefused();
    // A message was not played, or was stopped, because push-to-talk could not be keyed
    // or was lost; why says so in a line for the status line. Emitted every time, while
    // the message box comes once.
    void notKeyed(const QString& why);

private:
    // Keys every line that is set up; false (the operator told) when one cannot be.
    bool keyPtt();
    bool keySerial();
    bool keyParallel();
    void releasePtt();
    void endOfPlayback();
    // Push-to-talk is gone while a message plays: the sound stops with it, and so does
    // the repeat.
    void lostPtt(const QString& why);
    void abandon(const QString& why);
    void setRepeatArmed(bool armed);
    void applyRepeatInterval();
    // Tells a failure once for the same port and line: a beep and a message box.
    void tellOnce(const QString& which, const QString& title, const QString& text);
    void tellRefused(const QString& which);
    // Push-to-talk through the radio's link (PhoneKeyerRadio.cpp): the opened file plays
    // once the line is keyed or the radio acknowledged transmit.
    bool throughRadio() const;
    void claimRadioLine();
    void keyRadioAndPlay();
    void transmitAnswered(bool ok, const QString& why);
    void releaseRadio();
    void playOpened();
    void tellRadioProblem(const QString& why);

    WavePlayer& m_player;
    SerialPort& m_port;
    ParallelPort& m_parallel;
    PortOwnership& m_ownership;
    UserPrompts& m_prompts;
    PhoneSettings m_settings;
    QTimer* m_repeat = nullptr;
    int m_repeatMs = 0;
    bool m_repeatArmed = false; // PhoneRepeatArmed
    bool m_pttKeyed = false;
    // What was keyed, so that the same line is released even if the choice changed.
    bool m_serialDtrKeyed = false;
    bool m_serialRtsKeyed = false;
    bool m_parallelKeyed = false;
    bool m_awaitingEnd = false;
    RadioTransmit* m_radio = nullptr;
    KeyingLine* m_rigLineKeyed = nullptr;  // the rig port's line, keyed
    bool m_awaitingTransmit = false;       // transmit asked of the radio, not yet acknowledged
    bool m_radioTransmitting = false;      // the radio acknowledged transmit
    quint64 m_transmitRequest = 0;         // answers to an older request are not heeded
    QString m_radioToldAbout;              // a radio problem told in a box once
    // The port and line whose failure the operator has been told about ("3", "3 RTS",
    // or "&H278" for the parallel port): told once, not again at every repeat or key
    // until it changes or has worked.
    QString m_refused;
};

} // namespace ditlog
