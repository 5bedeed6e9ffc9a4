// A serial port used for its control lines alone (the CW keying port, the push-to-talk
// port): no data, no speed. Linux raises DTR and RTS inside open() unless the port's
// speed was left at zero (B0) when it was last closed, and raises them again when a
// speed is set after zero. On a real station either is a key-down or a push-to-talk
// blip, so this port stays at zero speed from open to close, clears both lines as the
// first thing after opening, and leaves them down and the speed at zero when it closes,
// so that the next opening raises nothing.
//
// The port takes part in the emergency key-up: while it is open, a terminating or fatal
// signal drops both lines. Whatever the device sends is read and dropped; a device that
// hangs up (a USB adapter pulled, the far end of a pseudo-terminal closed) closes the port
// and is reported once by errorOccurred.
#pragma once

#include "platform/SerialPort.h"

class QSocketNotifier;

namespace ditlog {

class PortMap;

class ControlLinePort final : public SerialPort {
    Q_OBJECT
public:
    explicit ControlLinePort(const PortMap& map, QObject* parent = nullptr);
    ~ControlLinePort() override;

    // The settings and handshaking are ignored: the lines need neither.
    bool open(int portNumber, const QString& settings = {},
              Handshake handshake = Handshake::None) override;
    void close() override;
    bool isOpen() const override { return m_fd >= 0; }
    int portNumber() const override { return m_portNumber; }
    QString devicePath() const override { return isOpen() ? m_devicePath : QString(); }
    bool setSettings(const QString& settings) override;
    bool setHandshake(Handshake handshake) override;
    bool setDtr(bool on) override;
    bool setRts(bool on) override;
    // No data goes through this port: writing fails, nothing is ever read.
    qint64 write(const QByteArray& bytes) override;
    QByteArray readAll() override { return {}; }
    qint64 bytesToWrite() const override { return 0; }
    void clearBuffers() override {}
    int nativeHandle() const override { return m_fd; }
    QString errorString() const override { return m_error; }

private:
    bool setLine(int bit, bool on);
    QString systemError(const QString& what) const;
    void readAndDrop();

    const PortMap& m_map;
    int m_fd = -1;
    int m_portNumber = 0;
    int m_emergencySlot = -1;
    QSocketNotifier* m_notifier = nullptr;
    QString m_devicePath;
    QString m_error;
};

} // namespace ditlog
