// Doubles for the rig link's tests: a clock moved by hand with its timers, and a line to
// a radio that records what was written and when (on that clock), spends the line time a
// serial port would, answers by script after a delay, refuses writes when told, and
// reports the lines it was asked to raise.
//
//   ManualTimerClock clock;
//   ScriptedRigTransport line(clock);
//   line.answer = [](const QByteArray& q) { return q == "FA;" ? "FA00014025000;" : ""; };
//   RigLink link(line, clock);
//   link.startPolling();
//   clock.advanceMs(1000);              // every timer due fires at its own deadline
//   line.writes().at(1).atMs            // when the second write went out
#pragma once

#include "platform/TimerClock.h"
#include "rig/RigTransport.h"

#include <QList>

#include <functional>

namespace ditlog::testing {

class ManualClockTimer;

class ManualTimerClock final : public TimerClock {
public:
    ~ManualTimerClock() override;
    qint64 nowNs() const override { return m_now; }
    double nowMs() const { return double(m_now) / 1e6; }
    ClockTimer* createTimer(QObject* parent) override;

    // Moves time on, firing every timer that falls due on the way at its own deadline,
    // in deadline order (timers started in a timeout that fall due still fire).
    void advanceMs(double ms);
    // Moves on in steps of stepMs until done() holds; false after maxMs.
    bool advanceUntil(const std::function<bool()>& done, double maxMs, double stepMs = 1);

private:
    friend class ManualClockTimer;
    ManualClockTimer* nextDue(qint64 until) const;

    QList<ManualClockTimer*> m_timers;
    qint64 m_now = 0;
    quint64 m_sequence = 0;
};

class ScriptedRigTransport final : public RigTransport {
    Q_OBJECT
public:
    struct Write {
        QByteArray bytes;
        double atMs = 0; // when it went out on the line
    };

    // A thousand characters a second: every line time is whole milliseconds.
    explicit ScriptedRigTransport(ManualTimerClock& clock, int charactersPerSecond = 1000);

    bool open(const RigSettings& settings, const RigFamily& family) override;
    void close() override;
    bool isOpen() const override { return m_open; }
    bool write(const QByteArray& bytes) override;
    void flush() override {}
    QByteArray readAll() override { return std::exchange(m_unread, {}); }
    qint64 bytesToWrite() const override;
    QString errorString() const override { return m_error; }
    int charactersPerSecond() const override { return m_cps; }
    QString description() const override { return QStringLiteral("scripted line"); }

    // The radio's answer to each write (empty: none), sent replyDelayMs after the write
    // has left the line, in `pieces` pieces pieceGapMs apart.
    std::function<QByteArray(const QByteArray&)> answer;
    double replyDelayMs = 5;
    int pieces = 1;
    double pieceGapMs = 0;

    void setOpenFails(bool fails) { m_openFails = fails; }
    void setWriteFails(bool fails) { m_writeFails = fails; }
    // Bytes arriving unasked at the given delay.
    void sendLater(const QByteArray& bytes, double delayMs);

    const QList<Write>& writes() const { return m_writes; }
    // The writes that start with the bytes.
    QList<Write> writesStartingWith(const QByteArray& prefix) const;
    void clearWrites() { m_writes.clear(); }
    // The time one write of n characters spends on the line.
    double lineMs(qsizetype characters) const { return double(characters) * 1000.0 / m_cps; }
    // The power line the link asked for at the last opening ("N", "R", "D").
    QString powerAsked() const { return m_power; }

private:
    struct Arrival {
        qint64 atNs = 0;
        QByteArray bytes; // empty: the line has drained
    };
    void schedule(qint64 atNs, const QByteArray& bytes);
    void deliver();

    ManualTimerClock& m_clock;
    int m_cps;
    ClockTimer* m_timer;
    QList<Arrival> m_arrivals;
    QList<Write> m_writes;
    QByteArray m_unread;
    qint64 m_lineFreeNs = 0;
    bool m_open = false;
    bool m_openFails = false;
    bool m_writeFails = false;
    QString m_error;
    QString m_power;
};

} // namespace ditlog::testing
