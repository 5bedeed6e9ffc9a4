// The send loop for "Radio (CAT)": the send buffer is handed to the radio's own keyer in
// commands of as many characters as the radio takes, a little ahead of its sending, so
// that the radio never runs dry while Backspace can still take back what has not been
// handed over. The radio's time for what it has is reckoned from the Morse table at the
// speed, which is when the send counts as finished (the calling loop's interval runs
// from then). "!" logs the contact once the text before it is with the radio; a radio
// whose buffer is full is asked again; one that stays full or does not answer ends the
// send with the reason.
#pragma once

#include <QObject>
#include <QString>

namespace ditlog {

class ClockTimer;
class CwBuffer;
class RadioKeying;
class TimerClock;

class CatCwFeeder final : public QObject {
    Q_OBJECT
public:
    // Text is handed over while the radio has less than this left to send.
    static constexpr int kLeadMs = 2000;
    // A full radio is asked again after this, and given up on after kGiveUpMs.
    static constexpr int kRetryMs = 250;
    static constexpr int kGiveUpMs = 30000;

    CatCwFeeder(CwBuffer& buffer, TimerClock& clock, QObject* parent = nullptr);

    void setRadio(RadioKeying* radio) { m_radio = radio; }
    // Starts handing the buffer over (it goes on when a send is under way); false with
    // why when the radio cannot take CW.
    bool start(double wpm, QString* why);
    // Handing over, or the radio still sending what it was given.
    bool busy() const;
    // Esc: the buffer empties and the radio stops sending. False when nothing was sent.
    bool stop();
    void setSpeed(double wpm);

Q_SIGNALS:
    // A character went to the radio (what is left in the buffer after it).
    void characterHandedOver(QChar character, const QString& remaining);
    // "!" came up after the text before it went to the radio.
    void logContactReached();
    // The radio should have sent everything it was given (completed), or the send ended
    // early (stopped, failed).
    void finished(bool completed);
    // The send ended because the radio could not take the text: why, for the operator.
    void failed(const QString& why);

private:
    struct Chunk {
        QString characters; // as taken from the buffer
        QByteArray radioText;
        qint64 units = 0; // the radio's time for it, in Morse units
    };
    void step();
    void schedule(qint64 inNs);
    // The next hand-over from the buffer, up to a "!" (empty: nothing to send).
    Chunk takeChunk();
    void sendChunk();
    void answered(int answer, const QString& why);
    void endFeed();
    void fail(const QString& why);
    // Forgets the text, the pending command and every timer; nothing more goes out.
    void dropEverything();
    qint64 unitNs() const;

    CwBuffer& m_buffer;
    TimerClock& m_clock;
    RadioKeying* m_radio = nullptr;
    ClockTimer* m_stepTimer;
    ClockTimer* m_finishTimer;
    double m_wpm = 20;
    bool m_feeding = false;
    bool m_inFlight = false;
    Chunk m_pending;       // handed to the radio and not yet taken
    QString m_heldBlanks;  // blanks held back for the next hand-over
    qint64 m_airEndNs = 0; // when the radio should have sent what it has
    qint64 m_fullSinceNs = -1;
    quint64 m_generation = 0; // answers to a send that was stopped are not heeded
};

} // namespace ditlog
