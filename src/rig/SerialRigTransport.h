// The CAT port: the rig settings applied to a serial port opened by number.
#pragma once

#include "rig/RigTransport.h"

namespace ditlog {

class SerialPort;

class SerialRigTransport final : public RigTransport {
    Q_OBJECT
public:
    explicit SerialRigTransport(SerialPort& port, QObject* parent = nullptr);

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
    int m_charactersPerSecond = 480;
    QString m_error;
};

} // namespace ditlog
