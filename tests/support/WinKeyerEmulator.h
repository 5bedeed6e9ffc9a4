// A WinKeyer on the far end of a pseudo-terminal, for tests: it speaks the host protocol
// (echo test, host open with a version byte, host close, the setting commands, clear
// buffer, backspace, status request), keeps a 160-character buffer, reports XOFF above
// two thirds and BUSY while keying with unsolicited status bytes, echoes each character
// it has sent when serial echo-back is on, and keys on a clock the test moves.
#pragma once

#include "PseudoTerminal.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>
#include <QTemporaryDir>

namespace ditlog::testing {

class WinKeyerEmulator : public QObject {
    Q_OBJECT
public:
    struct Options {
        int version = 23;       // answered to host open
        bool answers = true;    // false: a port with nothing on it
        bool garbage = false;   // the echo test comes back wrong
        bool opens = true;      // false: echoes, but host open is never answered
        bool hostModeLeftOn = false; // left in host mode: status bytes from the start
        bool stuckBusy = false; // never keys, always BUSY and XOFF
    };

    explicit WinKeyerEmulator(Options options, QObject* parent = nullptr);
    explicit WinKeyerEmulator(QObject* parent = nullptr) : WinKeyerEmulator(Options{}, parent) {}

    QString devicePath() const { return m_device.devicePath(); }
    // Keys what is buffered for this long of the keyer's time.
    void advanceMs(double ms);
    // The cable is pulled: the device node goes with it.
    void unplug() { m_device.hangUp(); }
    // Plugged back in under the same name, a keyer just powered up (closed, buffer empty);
    // what it received and keyed before stays counted.
    bool plugIn();

    static constexpr int kBufferSize = 160;

    bool hostOpen = false;
    int hostOpens = 0;      // host-open commands received
    QString keyed;          // characters sent on the air, in order
    QString buffer;         // characters waiting, the one being keyed first
    int maxBufferedOnArrival = 0;
    int charactersReceived = 0;
    QList<int> speeds, weights, ratios, pins, modes;
    QList<QPair<int, int>> leadTails;
    int clears = 0;
    int backspaces = 0;

Q_SIGNALS:
    void commandReceived(quint8 command);

private:
    void received(const QByteArray& bytes);
    void execute(const QByteArray& command);
    static int argumentCount(quint8 command, quint8 firstArgument);
    void reportStatus();

    Options m_options;
    QTemporaryDir m_names;
    PseudoTerminal m_device;
    QByteArray m_command; // a command being received
    int m_wpm = 20;
    bool m_echo = false;
    double m_elapsedInCharacter = 0;
    quint8 m_lastStatus = 0xFF;
};

} // namespace ditlog::testing
