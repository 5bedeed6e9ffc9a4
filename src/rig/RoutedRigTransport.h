// The rig link's one line, whichever the radio needs: the serial CAT port for the serial
// families, the rig daemon's connection for "Hamlib rigctld". The choice is made when the
// line opens, from the family; only the chosen line's signals reach the link.
#pragma once

#include "rig/RigTransport.h"

namespace ditlog {

class RoutedRigTransport final : public RigTransport {
    Q_OBJECT
public:
    RoutedRigTransport(RigTransport& serial, RigTransport& network, QObject* parent = nullptr);

    bool open(const RigSettings& settings, const RigFamily& family) override;
    void close() override;
    bool isOpen() const override { return m_active->isOpen(); }
    bool isReady() const override { return m_active->isReady(); }
    bool write(const QByteArray& bytes) override { return m_active->write(bytes); }
    void flush() override { m_active->flush(); }
    QByteArray readAll() override { return m_active->readAll(); }
    qint64 bytesToWrite() const override { return m_active->bytesToWrite(); }
    QString errorString() const override { return m_active->errorString(); }
    int charactersPerSecond() const override { return m_active->charactersPerSecond(); }
    QString description() const override { return m_active->description(); }
    QString takeRefusal() override { return m_active->takeRefusal(); }
    QString status() const override { return m_active->status(); }
    void retryNow() override { m_active->retryNow(); }

    RigTransport& active() const { return *m_active; }

private:
    void follow(RigTransport& line);

    RigTransport& m_serial;
    RigTransport& m_network;
    RigTransport* m_active;
};

} // namespace ditlog
