// The CAT port: the rig settings applied to a serial port opened by number. A port that
// goes away while in use (a USB adapter pulled, a radio switched off with its USB port)
// is looked for again under the same number until it is back, then set up as before.
// Its DTR and RTS may key CW and push-to-talk (DataPortLines): those lines go down first
// thing after every opening, and the connection power never raises a line that keys.
#pragma once

#include "platform/LinkRecovery.h"
#include "rig/RigSettings.h"
#include "rig/RigTransport.h"

namespace ditlog {

class DataPortLines;
class SerialPort;
class TimerClock;

class SerialRigTransport final : public RigTransport {
    Q_OBJECT
public:
    explicit SerialRigTransport(SerialPort& port, QObject* parent = nullptr);
    // The pauses between attempts on the clock given (a clock the tests move by hand).
    SerialRigTransport(SerialPort& port, TimerClock& clock, QObject* parent = nullptr);
    // The keying lines on this port, attached as soon as it opens.
    void setKeyedLines(DataPortLines* lines) { m_lines = lines; }

    bool open(const RigSettings& settings, const RigFamily& family) override;
    void close() override;
    // Open, or lost and being looked for.
    bool isOpen() const override;
    bool isReady() const override;
    bool write(const QByteArray& bytes) override;
    void flush() override;
    QByteArray readAll() override;
    qint64 bytesToWrite() const override;
    QString errorString() const override;
    int charactersPerSecond() const override { return m_charactersPerSecond; }
    QString description() const override;
    QString status() const override { return m_status; }
    void retryNow() override { m_recovery.retryNow(); }

    const LinkRecovery& recovery() const { return m_recovery; }

private:
    void connectPort();
    bool openPort();
    void onPortFailed(const QString& description);
    void onRetryDue();
    void setStatus(const QString& status);

    SerialPort& m_port;
    LinkRecovery m_recovery;
    RigSettings m_settings;
    bool m_hardwareHandshake = false;
    QString m_devicePath;
    DataPortLines* m_lines = nullptr;
    int m_charactersPerSecond = 480;
    QString m_error;
    QString m_status;
};

} // namespace ditlog
