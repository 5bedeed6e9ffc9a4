// The link state machine and its retry pauses.
#include "platform/LinkRecovery.h"

#include "platform/TimerClock.h"

#include <algorithm>

namespace ditlog {

LinkRecovery::LinkRecovery(Pauses pauses, QObject* parent)
    : QObject(parent), m_pauses(pauses), m_ownClock(std::make_unique<SystemTimerClock>()),
      m_timer(m_ownClock->createTimer(this)), m_nextPauseMs(pauses.firstMs) {
    connectTimer();
}

LinkRecovery::LinkRecovery(Pauses pauses, TimerClock& clock, QObject* parent)
    : QObject(parent), m_pauses(pauses), m_timer(clock.createTimer(this)),
      m_nextPauseMs(pauses.firstMs) {
    connectTimer();
}

void LinkRecovery::connectTimer() {
    m_timer->setSingleShot(true);
    connect(m_timer, &ClockTimer::timeout, this, &LinkRecovery::attempt);
}

LinkRecovery::~LinkRecovery() = default;

int LinkRecovery::pendingPauseMs() const { return m_timer->isActive() ? m_timer->interval() : 0; }

void LinkRecovery::setState(LinkState state) {
    if (m_state != state) {
        m_state = state;
        Q_EMIT stateChanged(state, m_reason);
    }
}

void LinkRecovery::opening() {
    m_timer->stop();
    m_attempting = false;
    m_reason.clear();
    setState(LinkState::Opening);
}

void LinkRecovery::opened() {
    m_timer->stop();
    m_attempting = false;
    m_attempts = 0;
    m_nextPauseMs = m_pauses.firstMs;
    m_reason.clear();
    setState(LinkState::Open);
}

void LinkRecovery::lost(const QString& reason) {
    if (m_state != LinkState::Open) {
        return;
    }
    m_reason = reason;
    m_attempts = 0;
    m_nextPauseMs = m_pauses.firstMs;
    setState(LinkState::Lost);
    if (m_state == LinkState::Lost) { // whoever heard the loss may have closed the link
        schedule();
    }
}

void LinkRecovery::attemptFailed(const QString& reason) {
    if (!recovering()) {
        return;
    }
    m_attempting = false;
    if (m_state == LinkState::Lost) {
        m_reason = reason;
        setState(LinkState::Retrying);
        if (m_state != LinkState::Retrying) {
            return;
        }
    }
    schedule();
}

void LinkRecovery::close() {
    m_timer->stop();
    m_attempting = false;
    m_attempts = 0;
    m_nextPauseMs = m_pauses.firstMs;
    setState(LinkState::Closed);
}

void LinkRecovery::retryNow() {
    if (!recovering() || m_attempting) {
        return;
    }
    m_timer->stop();
    attempt();
}

void LinkRecovery::schedule() {
    m_timer->start(m_nextPauseMs);
    m_nextPauseMs = std::min(m_nextPauseMs * 2, m_pauses.longestMs);
}

void LinkRecovery::attempt() {
    if (!recovering()) {
        return;
    }
    m_attempting = true;
    ++m_attempts;
    Q_EMIT retryDue();
}

} // namespace ditlog
