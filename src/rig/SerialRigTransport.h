// The CAT port: the rig settings applied to a serial port opened by number. Its DTR and
// RTS may key CW and push-to-talk (DataPortLines): those lines go down first thing after
// opening, and the connection power never raises a line that keys.
#pragma once

#include "rig/RigTransport.h"

namespace ditlog {

class DataPortLines;
class SerialPort;

class SerialRigTransport final : public RigTransport {
    Q_OBJECT
public:
    explicit SerialRigTransport(SerialPort& port, QObject* parent = nullptr);
    // The keying lines on this port, attached as soon as it opens.
    void setKeyedLines(DataPortLines* lines) { m_lines = lines; }

    bool open(const RigSettings& settings, const RigFamily& family) override;
    void close() override;
    bool isOpen() const override;
    bool write(const QByteArray& bytes) override;
    void flush() override;
    QByteArray readAll() override;
    qint64 bytesToWrite() const override;
    QString errorString() const override;
    int charactersPerSecond() const override { return m_charactersPerSecond; }
    QString description() const override;

private:
    SerialPort& m_port;
    DataPortLines* m_lines = nullptr;
    int m_charactersPerSecond = 480;
    QString m_error;
};

} // namespace ditlog
