// The external WinKeyer (K1EL WK1, WK2, WK3 and compatibles) through its serial host
// protocol: the twelve wk_ operations and their result codes, over a SerialPort at
// 1200 baud 8N2 with DTR on and RTS off.
//
// Opening is the only operation with waits (400 ms after the port opens, up to 2 s for
// the echo test and for the version byte). It runs as timer steps and ends with
// opened(result, version); nothing blocks. The status the program compares with 0 and 4
// (wk_getstatus) is the number of characters handed to the keyer that it has not
// finished: characters given minus those the keyer echoed back as sent, 0 whenever the
// keyer reports it is idle, and at least 5 while it reports XOFF (its buffer is two
// thirds full). Unsolicited bytes (status, speed pot, echo) are decoded as they come.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>

#include <functional>

class QTimer;

namespace ditlog {

class SerialPort;

enum class WinKeyResult : int {
    Success = 0,
    NoEchoResponse = 1,
    EchoMismatch = 2,
    NoOpenResponse = 3,
    ComOpenFailed = 4,
    GetComStFailed = 5,
    SetComStFailed = 6,
    AlreadyOpen = 8,
    NotOpen = 9,
};
// The status text of a result code ("WK Success!" ...); empty for other codes.
QString winKeyResultText(int result);

// One decoded byte from the keyer.
struct WinKeyerByte {
    enum class Kind { Status, SpeedPot, Echo };
    Kind kind;
    quint8 value; // status bits, pot value (wpm above the pot minimum), or the character
};
// Status bits.
constexpr quint8 kWkXoff = 0x01;
constexpr quint8 kWkBreakIn = 0x02;
constexpr quint8 kWkBusy = 0x04;
constexpr quint8 kWkKeyDown = 0x08;
constexpr quint8 kWkWait = 0x10;
// Classifies a byte the keyer sent unasked: 0xC0 | bits status, 0x80 | value speed pot,
// anything else the echo of a character it has sent.
WinKeyerByte decodeWinKeyerByte(quint8 byte);

class WinKeyer : public QObject {
    Q_OBJECT
public:
    explicit WinKeyer(QObject* parent = nullptr) : QObject(parent) {}

    // Starts opening port; opened() follows. While open: AlreadyOpen at once (through
    // opened). While an opening runs, a second call is ignored (false).
    virtual bool wk_open(int portNumber) = 0;
    virtual int wk_close() = 0;
    virtual int wk_char(quint8 character) = 0;
    virtual int wk_clearbuf() = 0;
    virtual int wk_getstatus() = 0;
    virtual int wk_backspace() = 0;
    virtual int wk_wpm(quint8 wpm) = 0;
    virtual int wk_weight(quint8 weight) = 0;
    virtual int wk_ptt_leadtail(quint8 leadIn, quint8 tail) = 0;
    virtual int wk_ditdah_ratio(quint8 ratio) = 0;
    virtual int wk_pincfg(quint8 pins) = 0;
    virtual int wk_setmode(quint8 mode) = 0;

    virtual bool isOpen() const = 0;
    virtual bool opening() const = 0;
    virtual int version() const = 0;

Q_SIGNALS:
    void opened(int result, int version);
    // The pending count may have changed (status byte, echo, characters given).
    void statusChanged();
    // The keyer sent a character (its echo).
    void characterEchoed(QChar character);
    void speedPotMoved(int value);
    // The port failed while open (keyer unplugged); the link is closed.
    void linkLost(const QString& description);
};

// The host protocol over a serial port.
class HostWinKeyer final : public WinKeyer {
    Q_OBJECT
public:
    struct Timing {
        int settleMs = 400;   // after the port opens
        int answerMs = 2000;  // for the echo and for the version byte
        int statusPollMs = 500; // asks for the status while characters are pending
    };

    HostWinKeyer(SerialPort& port, Timing timing, QObject* parent = nullptr);
    explicit HostWinKeyer(SerialPort& port, QObject* parent = nullptr)
        : HostWinKeyer(port, Timing{}, parent) {}
    ~HostWinKeyer() override;

    bool wk_open(int portNumber) override;
    int wk_close() override;
    int wk_char(quint8 character) override;
    int wk_clearbuf() override;
    int wk_getstatus() override;
    int wk_backspace() override;
    int wk_wpm(quint8 wpm) override;
    int wk_weight(quint8 weight) override;
    int wk_ptt_leadtail(quint8 leadIn, quint8 tail) override;
    int wk_ditdah_ratio(quint8 ratio) override;
    int wk_pincfg(quint8 pins) override;
    int wk_setmode(quint8 mode) override;

    bool isOpen() const override { return m_open; }
    bool opening() const override { return m_step != Step::Idle; }
    int version() const override { return m_version; }
    // The mode register asks for serial echo-back (bit 2) on top of what it is given,
    // so that the pending count follows the characters actually sent.
    static constexpr quint8 kEchoBack = 0x04;

private:
    enum class Step { Idle, Settling, Echo, Version };
    int command(const QByteArray& bytes);
    void readBytes();
    void handleUnsolicited(quint8 byte);
    void stepTimedOut();
    void finishOpen(WinKeyResult result);
    void lost(const QString& description);

    SerialPort& m_port;
    Timing m_timing;
    QTimer* m_stepTimer;
    QTimer* m_poll;
    Step m_step = Step::Idle;
    bool m_open = false;
    int m_version = 0;
    quint8 m_echoProbe = 0x55;
    int m_given = 0;   // characters handed over since the keyer was last idle
    int m_echoed = 0;  // of those, echoed back as sent
    bool m_busy = false;
    bool m_xoff = false;
    QElapsedTimer m_lastGive;
};

} // namespace ditlog
