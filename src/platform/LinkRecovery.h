// A link to a device or a server that may go away and come back (a USB adapter pulled and
// plugged in again, a radio switched off and on, a cluster that drops the connection): its
// state as a small machine (closed, opening, open, lost, retrying) told once per change,
// and the attempts to get it back after growing pauses. The owner does the opening; this
// says when, and keeps the count.
//
//   LinkRecovery recovery(LinkRecovery::kDevicePauses);
//   connect(&port, &SerialPort::errorOccurred, &recovery, &LinkRecovery::lost);
//   connect(&recovery, &LinkRecovery::retryDue, [&] {       // time for another attempt
//       if (port.open(number, settings)) {
//           recovery.opened();                             // set the lines again here
//       } else {
//           recovery.attemptFailed(port.errorString());    // quietly: the next one is due later
//       }
//   });
//   connect(&recovery, &LinkRecovery::stateChanged, ...);  // a status line, once per change
//
// The operator's own opening goes through opening() and opened() (or close() when it
// failed, told as the documented failure); only a link that was open is recovered. A use
// while it is lost may call retryNow() so that a device already back is found at once.
// The CW keying and push-to-talk ports (ControlLinePort) fit the same way: their
// errorOccurred to lost(), retryDue to a reopen of the same port number with both lines
// cleared, opened() after it; close() when the operator closes or another user claims.
#pragma once

#include <QObject>
#include <QString>

#include <memory>

namespace ditlog {

class ClockTimer;
class TimerClock;

enum class LinkState { Closed, Opening, Open, Lost, Retrying };

class LinkRecovery : public QObject {
    Q_OBJECT
public:
    // The pause before the first attempt after a loss, doubled after each failed attempt
    // up to the longest.
    struct Pauses {
        int firstMs;
        int longestMs;
    };
    // A serial device is looked for often: it is in use again within two seconds of its
    // return. Opening a device that is not there costs nothing.
    static constexpr Pauses kDevicePauses{250, 1000};
    // A server is dialled less often the longer it stays away.
    static constexpr Pauses kNetworkPauses{500, 8000};

    explicit LinkRecovery(Pauses pauses, QObject* parent = nullptr);
    // Timers from the clock given (a clock the tests move by hand).
    LinkRecovery(Pauses pauses, TimerClock& clock, QObject* parent = nullptr);
    ~LinkRecovery() override;

    LinkState state() const { return m_state; }
    // Lost or retrying: the link is wanted and not there.
    bool recovering() const { return m_state == LinkState::Lost || m_state == LinkState::Retrying; }
    // Why it was lost, or why the last attempt failed.
    QString reason() const { return m_reason; }
    // Attempts made since the loss.
    int attempts() const { return m_attempts; }
    // The pause before the next attempt is due (0 while one runs or none is due).
    int pendingPauseMs() const;

    // The operator opens: Opening (also from lost or retrying, which ends the recovery).
    void opening();
    // The link is open: Open; the pauses start again from the first.
    void opened();
    // An open link ended by itself: Lost, and the first attempt after the first pause.
    // Ignored in any other state (a second report of the same loss).
    void lost(const QString& reason);
    // An attempt (after retryDue) did not open: Retrying, the next one after a longer pause.
    void attemptFailed(const QString& reason);
    // The operator closed it, or gave the port to another use: Closed, no more attempts.
    void close();
    // While lost or retrying: an attempt now, unless one runs (retryDue at once).
    void retryNow();

Q_SIGNALS:
    // Once per change of state, with the reason of a loss or of the first failed attempt.
    void stateChanged(ditlog::LinkState state, const QString& reason);
    // Time for the owner to try opening again; it answers with opened() or attemptFailed().
    void retryDue();

private:
    void connectTimer();
    void setState(LinkState state);
    void schedule();
    void attempt();

    Pauses m_pauses;
    std::unique_ptr<TimerClock> m_ownClock;
    ClockTimer* m_timer;
    LinkState m_state = LinkState::Closed;
    QString m_reason;
    int m_nextPauseMs;
    int m_attempts = 0;
    bool m_attempting = false;
};

} // namespace ditlog
