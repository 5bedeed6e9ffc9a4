// The rig link: opens the radio's line, polls it at the chosen rate (a send tick with the
// family's queries, then a receive tick), collects each reply until it is whole, decodes
// it with the family's parser and reports frequency and mode; runs the queue of command
// steps that move the radio, pausing the poll while they run.
#pragma once

#include "rig/BandPlan.h"
#include "rig/RigCommand.h"
#include "rig/RigFamily.h"
#include "rig/RigReading.h"
#include "rig/RigSettings.h"
#include "rig/ReplyCollector.h"

#include <QObject>
#include <QSet>
#include <QString>

#include <deque>
#include <optional>

namespace ditlog {

class ClockTimer;
class RigTransport;
class TimerClock;

class RigLink : public QObject {
    Q_OBJECT
public:
    // Replies missing in a row before the radio counts as not answering.
    static constexpr int kSilentPollsForNoResponse = 3;

    // Times and timers come from the clock (the steady clock in the program).
    RigLink(RigTransport& transport, TimerClock& clock, QObject* parent = nullptr);
    ~RigLink() override;

    void setSettings(const RigSettings& settings);
    const RigSettings& settings() const { return m_settings; }
    const RigFamily& family() const { return rigFamily(m_settings.rigType); }
    // Rows of the band plan the commands pick a mode from (licence class "E").
    void setBandPlanTable(const QList<BandPlanRow>& rows) { m_bandPlan = rows; }
    const QList<BandPlanRow>& bandPlanTable() const { return m_bandPlan; }

    enum class StartResult { NoRadio, Polling, OpenFailed };
    // Opens the line (unless the family needs none), sends the family's wake-up bytes,
    // runs one poll tick at once and starts the poll timer.
    StartResult startPolling();
    // Stops the poll and any command, and closes the line.
    void stopPolling();
    // True from a successful start until stopPolling, a lost line or a failed command.
    bool isPolling() const { return m_polling; }
    bool isOpen() const;
    QString errorString() const;
    // The line, for its connection status (the rig daemon's).
    RigTransport& transport() const { return m_transport; }
    int pollIntervalMs() const;

    const RigStatus& status() const { return m_status; }
    void clearMode() { m_status.mode.clear(); }
    // Whether the radio answered lately (false after kSilentPollsForNoResponse silent polls).
    bool responding() const { return m_responding; }

    // The family's goodbye bytes, when polling (the rig window closes).
    void sendGoodbye();
    // Bytes written at once, outside the poll (the test window's raw command).
    bool writeRaw(const QByteArray& bytes);

    // Tunes the radio and, by the band plan, sets its mode, while polling; the poll pauses
    // meanwhile (RigLinkCommands.cpp). Frequencies not above zero are ignored.
    void ChangeFrequency(double mhz);
    // Sets the mode (empty: by the band plan for mhz) unless the radio is "None".
    void ChangeMode(double mhz, const QString& modeWord);

    // Commands run one after the other; a waiting command with the same key is replaced
    // (its outcome: Dropped).
    void enqueue(const RigCommand& command);
    // Drops the waiting commands with the key (not the one running).
    void dropWaiting(const QString& key);
    bool commandRunning() const { return m_command.has_value(); }
    int commandsWaiting() const { return int(m_queue.size()); }

    // The poll timer's tick (tmrGetData): a send tick or a receive tick.
    void tmrGetData_Timer();

Q_SIGNALS:
    // A reply was decoded (buffer as received); the status holds the result.
    void replyProcessed(const QByteArray& buffer);
    // The current frequency, for the main window's band ("Use Frequency").
    void frequencyReported(double mhz);
    // The current mode, unless the mode source is "Don't Use".
    void modeReported(const QString& mode);
    // The radio stopped answering, or answers again.
    void respondingChanged(bool responding);
    // The line ended while polling and will not come back by itself; polling has stopped.
    // (A line that went away and is looked for is the transport's lineLost.)
    void lineFailed(const QString& description);
    void pollingChanged(bool polling);
    // A command step failed: a message box with this title and text.
    void commandFailed(const QString& title, const QString& text);
    // Every queued command has run.
    void commandsFinished();
    // The line is about to close while open (End Test, a new radio, the program ends):
    // the last moment to write to it (writeRaw) and flush.
    void aboutToClose();

private:
    void sendTick();
    void receiveTick();
    void onReadyRead();
    void absorb(const QByteArray& bytes);
    void decodeExchange();
    void finishExchange();
    void noReply();
    void setResponding(bool responding);
    void onQuietGap();
    void onLineFailed(const QString& description);
    void onLineLost(const QString& description);
    void onLineRestored();
    qint64 quietGapNs() const;
    qint64 nowNs() const;
    QString traceTime() const;
    bool writeTraced(const QByteArray& bytes);
    void setPolling(bool polling);

    // Command steps (RigLinkCommands.cpp).
    void startNextCommand();
    void runStep();
    void stepDone();
    void stepFailed(const QString& description);
    void drainCheck();
    bool sendAlternative();
    // Ends the running command with its outcome (told to its caller).
    void endCommand(const RigOutcome& outcome = {});
    void endCommandEarly(const RigOutcome& outcome);
    void dropQueue();
    void tellOutcome(const RigCommand& command, const RigOutcome& outcome);
    void tellOutcomes();
    void checkAnswer();
    void answerTimedOut();

    RigTransport& m_transport;
    TimerClock& m_clock;
    RigSettings m_settings;
    QList<BandPlanRow> m_bandPlan;
    RigStatus m_status;

    ClockTimer* m_pollTimer;
    ClockTimer* m_quietTimer;
    bool m_polling = false;
    bool m_awaiting = false;          // awaiting-reply flag: the next tick reads
    bool m_lastWasFrequency = false;
    PollQueries m_sent;
    ReplyCollector m_collector;
    bool m_decoded = false;           // the exchange's reply has been decoded
    qsizetype m_decodedSize = 0;
    bool m_receiveDue = false;        // the receive tick passed while the reply arrived
    int m_receiveWaits = 0;
    int m_deferredSends = 0;
    int m_silentPolls = 0;
    bool m_responding = false;

    std::deque<RigCommand> m_queue;
    std::optional<RigCommand> m_command;
    int m_step = 0;
    bool m_stoppedPolling = false;    // the running command stopped the poll timer
    bool m_awaitingDrain = false;
    int m_lastWrite = -1;             // the running command's last Write step
    bool m_alternativeSent = false;   // its alternative went out after a refusal
    QSet<QString> m_refusedForms;     // refused since polling started: their alternatives go
    bool m_starting = false;          // the first poll tick of startPolling runs
    ClockTimer* m_stepTimer;
    ClockTimer* m_drainTimeout;
    ClockTimer* m_drainPoll;
    // What the radio sent since the running command's last write, for its Await steps.
    QByteArray m_answer;
    bool m_awaitingAnswer = false;
    ClockTimer* m_answerTimeout;
    // Outcomes to tell, from the event loop (a caller may enqueue again at once).
    std::deque<std::pair<std::function<void(const RigOutcome&)>, RigOutcome>> m_outcomes;
    ClockTimer* m_outcomeTimer;
};

} // namespace ditlog
