// How the rig link reaches the radio: a serial CAT port here, the rig daemon over the
// network for the "Hamlib rigctld" entry. The link writes queries and commands and reads
// replies through this, whatever the line is.
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

namespace ditlog {

struct RigFamily;
struct RigSettings;

class RigTransport : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // Opens the line for the settings and the family (port, speed and framing, hardware
    // handshake, the connection-power line). False, with errorString() set, on failure.
    virtual bool open(const RigSettings& settings, const RigFamily& family) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    // The line carries bytes now (a network line that is open may still be connecting).
    virtual bool isReady() const { return isOpen(); }
    // Queues bytes; false (with errorString()) when they cannot be sent.
    virtual bool write(const QByteArray& bytes) = 0;
    // Hands queued bytes to the line at once (before a close).
    virtual void flush() = 0;
    virtual QByteArray readAll() = 0;
    // Bytes still waiting to go out.
    virtual qint64 bytesToWrite() const = 0;
    virtual QString errorString() const = 0;
    // The line's speed in characters per second (for the quiet gap that ends a reply).
    virtual int charactersPerSecond() const = 0;
    // A short description for the trace and the rig window ("/dev/ttyUSB0").
    virtual QString description() const = 0;
    // A line whose far end answers each command (the rig daemon) tells here, once, why
    // the last command was refused; empty when it was not, and always for a serial port.
    virtual QString takeRefusal() { return {}; }
    // The connection's state in words for the rig window; empty while a serial port is
    // in use.
    virtual QString status() const { return {}; }
    // While the line is lost and being looked for: one attempt now (the operator wants
    // the radio), so that a device already back is in use at once.
    virtual void retryNow() {}

Q_SIGNALS:
    void readyRead();
    // Everything queued has gone out.
    void drained();
    // The line ended by itself (device unplugged, daemon gone); it is closed.
    void failed(const QString& description);
    // status() changed.
    void statusChanged(const QString& status);
    // The line went away by itself and is being looked for (isOpen() stays true,
    // isReady() is false until lineRestored); told once per loss, in words.
    void lineLost(const QString& description);
    // The lost line is back and carries bytes again.
    void lineRestored(const QString& description);
};

} // namespace ditlog
