// Serial ports by port number: the settings text ("4800,N,8,2"), handshaking, the DTR and
// RTS lines, writing, reading what has arrived, and the count of bytes still to send.
//
// Every serial feature of the program (CW keying line, WinKeyer, voice push-to-talk, rig
// CAT, packet TNC) opens its port through this interface:
//
//   SerialPort& port = ...;                       // QtSerialPort in the program
//   if (!port.open(3, QStringLiteral("4800,N,8,2"), Handshake::None)) {
//       show(port.errorString());                 // "Invalid port." and the like
//   }
//   port.setDtr(false);                           // lines are set after opening
//   port.write("FA;");
//   connect(&port, &SerialPort::readyRead, ... port.readAll() ...);
//   connect(&port, &SerialPort::allSent, ...);    // the program's buffer is empty
//   connect(&port, &SerialPort::errorOccurred, ...); // the port has been closed
//
// Port numbers 1 to 16 (and above) are resolved to device paths by the PortMap; tests map
// a number to one end of a pseudo-terminal. The interface never blocks: there are no
// waits, writes are queued and reported by bytesWritten/allSent.
//
// Signals are emitted on the thread that owns the object (the window thread). The
// native descriptor (nativeHandle) is for control-line ioctls from the keying thread
// through KeyingLine; whoever holds it must drop it on aboutToClose.
#pragma once

#include <QObject>
#include <QString>

#include <optional>

class QSerialPort;

namespace ditlog {

class PortMap;

enum class SerialParity { None, Even, Odd, Mark, Space };
enum class SerialStopBits { One, OneAndHalf, Two };

// Speed, parity, data bits and stop bits as in "9600,N,8,1".
struct SerialSettings {
    int baud = 9600;
    SerialParity parity = SerialParity::None;
    int dataBits = 8;
    SerialStopBits stopBits = SerialStopBits::One;

    friend bool operator==(const SerialSettings&, const SerialSettings&) = default;
};

// Reads a settings text: speed, parity letter (N, E, O, M, S in either case), data bits
// (5 to 8) and stop bits (1, 1.5 or 2) joined by commas; blanks around the items are
// allowed ("4800 ,N,8,2"). Nothing for anything else.
std::optional<SerialSettings> parseSerialSettings(const QString& text);
// The settings text of a value, "4800,N,8,2".
QString serialSettingsText(const SerialSettings& settings);

// Handshaking: none, software (XON/XOFF) or hardware (RTS/CTS). With RTS/CTS the driver
// owns RTS, and setRts is refused.
enum class Handshake { None, XonXoff, RtsCts };

class SerialPort : public QObject {
    Q_OBJECT
public:
    explicit SerialPort(QObject* parent = nullptr) : QObject(parent) {}

    // Opens a port number through the port map. An empty settings text leaves the
    // device's speed and framing at the serial service's defaults (9600,N,8,1), which is
    // what users of the control lines alone want. A port already open is closed first.
    // False (with errorString set) when the number has no device, the settings text is
    // invalid, or the device cannot be opened (absent, in use, no permission).
    virtual bool open(int portNumber, const QString& settings = {},
                      Handshake handshake = Handshake::None) = 0;
    // Closes the port; aboutToClose is emitted first. Nothing happens when it is closed.
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    // The number and device path of the open port (0 and empty when closed).
    virtual int portNumber() const = 0;
    virtual QString devicePath() const = 0;

    // Changes speed and framing or handshaking of the open port.
    virtual bool setSettings(const QString& settings) = 0;
    virtual bool setHandshake(Handshake handshake) = 0;

    // Control lines. False when the port is closed or the device refuses (a
    // pseudo-terminal has no modem lines and refuses both).
    virtual bool setDtr(bool on) = 0;
    virtual bool setRts(bool on) = 0;

    // Queues bytes for sending; the number queued, or -1 when the port is closed.
    virtual qint64 write(const QByteArray& bytes) = 0;
    // Everything that has arrived and not been read yet.
    virtual QByteArray readAll() = 0;
    // Bytes waiting to be sent: those queued here plus those still in the driver's
    // output queue.
    virtual qint64 bytesToWrite() const = 0;
    // Drops everything not yet sent or not yet read.
    virtual void clearBuffers() = 0;
    // Hands what is queued to the driver at once, as far as it takes it without waiting,
    // so that bytes written just before a close still go out. False when nothing went.
    virtual bool flush() { return false; }

    // The operating system's descriptor of the open device, -1 when closed.
    virtual int nativeHandle() const = 0;
    // The description of the last failure, for messages.
    virtual QString errorString() const = 0;

Q_SIGNALS:
    void readyRead();
    // Some bytes went from the program's queue to the driver; stillToWrite is what the
    // program still holds.
    void bytesWritten(qint64 bytes, qint64 stillToWrite);
    // The program's queue became empty (the driver may still be sending its last bytes).
    void allSent();
    // The port is about to close (by close(), or after a failure): drop the descriptor.
    void aboutToClose();
    // A failure that ended the use of the port (device unplugged, read or write error).
    // The port is closed when this arrives.
    void errorOccurred(const QString& description);
};

// The real ports: QSerialPort on the device the port map names.
class QtSerialPort final : public SerialPort {
    Q_OBJECT
public:
    explicit QtSerialPort(const PortMap& map, QObject* parent = nullptr);
    ~QtSerialPort() override;

    bool open(int portNumber, const QString& settings = {},
              Handshake handshake = Handshake::None) override;
    void close() override;
    bool isOpen() const override;
    int portNumber() const override { return m_portNumber; }
    QString devicePath() const override;
    bool setSettings(const QString& settings) override;
    bool setHandshake(Handshake handshake) override;
    bool setDtr(bool on) override;
    bool setRts(bool on) override;
    qint64 write(const QByteArray& bytes) override;
    QByteArray readAll() override;
    qint64 bytesToWrite() const override;
    void clearBuffers() override;
    bool flush() override;
    int nativeHandle() const override;
    QString errorString() const override { return m_error; }

    // Input beyond this many unread bytes waits in the driver (flow stops) until read.
    static constexpr qint64 kReadBufferBytes = 256 * 1024;

private:
    bool applySettings(const SerialSettings& settings);
    void handleError(int error);
    void fail(const QString& text);

    const PortMap& m_map;
    QSerialPort* m_port;
    int m_portNumber = 0;
    QString m_devicePath;
    QString m_error;
};

} // namespace ditlog
