// A radio on the far end of a pseudo-terminal for the rig link's tests: it answers the
// poll queries of a Kenwood, a CI-V (Icom) or a Yaesu binary radio with the replies those
// radios send, takes their frequency and mode commands, and records what it received and
// when. Replies can be delayed, sent in pieces, preceded by noise, or not sent at all.
// The Kenwood and the CI-V radio also have a keyer that takes text (KY, command 17) with
// a buffer that can report full, a keyer speed (KS, 14 0C) and a transmit switch (TX/RX,
// 1C 00).
//
//   PseudoTerminal device;
//   ScriptedRadio radio(device, ScriptedRadio::Protocol::Kenwood);
//   radio.setFrequency(7.025);
//   radio.setReplyPieces(3, 15);   // each reply in three pieces, 15 ms apart
#pragma once

#include "PseudoTerminal.h"

#include <QElapsedTimer>
#include <QList>
#include <QObject>

namespace ditlog::testing {

class ScriptedRadio : public QObject {
    Q_OBJECT
public:
    enum class Protocol { Kenwood, Civ, YaesuBinary };

    // One complete query or command as received, and when (ms since the radio started).
    struct Received {
        QByteArray bytes;
        double atMs = 0;
    };

    ScriptedRadio(PseudoTerminal& device, Protocol protocol, QObject* parent = nullptr);

    void setFrequency(double mhz) { m_hz = qint64(mhz * 1e6 + 0.5); }
    double frequency() const { return double(m_hz) / 1e6; }
    // Kenwood mode digit (1 LSB, 2 USB, 3 CW, ...), CI-V mode byte, Yaesu mode byte.
    void setMode(int code) { m_mode = code; }
    int mode() const { return m_mode; }
    void setVfoB(bool b) { m_vfoB = b; }
    void setCivAddress(quint8 address) { m_civAddress = address; }
    // A CI-V interface hears its own queries: each is echoed before the reply.
    void setCivEcho(bool echo) { m_civEcho = echo; }

    void setAnswering(bool answering) { m_answering = answering; }
    void setReplyDelayMs(int ms) { m_replyDelayMs = ms; }
    void setReplyPieces(int pieces, int gapMs) {
        m_pieces = std::max(1, pieces);
        m_pieceGapMs = gapMs;
    }
    void setNoiseBeforeReply(const QByteArray& noise) { m_noise = noise; }

    // The text the radio's keyer took, in order (a Kenwood's field without its fill).
    QByteArray keyedText() const { return m_keyed; }
    // The next n questions for room (KY;) answer "full", or the next n CI-V texts are
    // refused (FA).
    void setKeyerFullAnswers(int n) { m_fullAnswers = n; }
    int keyerSpeed() const { return m_keyerSpeed; }
    bool keyerStopped() const { return m_keyerStops > 0; }
    bool transmitting() const { return m_transmitting; }

    const QList<Received>& received() const { return m_received; }
    // The received queries or commands that start with the bytes.
    QList<Received> receivedStartingWith(const QByteArray& prefix) const;
    void clearReceived() { m_received.clear(); }
    // When the radio started, on the monotonic clock (the base of Received::atMs).
    double startedAtMonotonicMs() const { return double(m_clock.msecsSinceReference()); }
    // When the last byte of the latest reply went out (steady clock, ns).
    qint64 lastReplyEndNs() const { return m_lastReplyEndNs; }

Q_SIGNALS:
    void queryReceived(const QByteArray& bytes);

private:
    void onBytes(const QByteArray& bytes);
    void handleKenwood(const QByteArray& command);
    bool handleKenwoodStation(const QByteArray& name, const QByteArray& argument);
    bool handleCivStation(quint8 command, const QByteArray& data, QByteArray& answer);
    void handleCiv(const QByteArray& frame);
    void handleYaesu(const QByteArray& command);
    void reply(const QByteArray& bytes);
    void record(const QByteArray& bytes);

    PseudoTerminal& m_device;
    Protocol m_protocol;
    QElapsedTimer m_clock;
    QByteArray m_input;
    QList<Received> m_received;
    qint64 m_hz = 14'025'000;
    int m_mode = 3;
    bool m_vfoB = false;
    quint8 m_civAddress = 0x64;
    bool m_civEcho = true;
    bool m_answering = true;
    int m_replyDelayMs = 0;
    int m_pieces = 1;
    int m_pieceGapMs = 0;
    QByteArray m_noise;
    qint64 m_lineFreeAtMs = 0;
    qint64 m_lastReplyEndNs = 0;
    QByteArray m_keyed;
    int m_fullAnswers = 0;
    int m_keyerSpeed = 0;
    int m_keyerStops = 0;
    bool m_transmitting = false;
};

} // namespace ditlog::testing
