// The shared send buffer (CwBuffer) and the sending flag (CwSending): the window thread
// edits the text (messages, typed keys, Esc, Backspace), the keying thread takes the
// characters from the front. One mutex guards both, so a drain never ends while a
// character is being added.
#pragma once

#include "keyer/PriorityMutex.h"

#include <QString>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <optional>

namespace ditlog {

class CwBuffer {
public:
    // Window-thread edits.
    void set(const QString& text);
    void append(const QString& text);
    void clear();
    // Drops the last unsent character; false when there was none.
    bool removeLast();
    QString text() const;
    bool isEmpty() const;
    // Takes the first character (the WinKeyer feeder and tests).
    std::optional<QChar> takeFirst();

    // The drain of the keying thread (CwSending). startDrain marks a drain as running
    // when the buffer holds text and none runs; true when it started one.
    bool startDrain();
    bool draining() const { return m_draining.load(); }
    // The number of the current (or last) drain.
    quint64 drainNumber() const { return m_drain.load(); }

    // Keying-thread side.
    // Waits until a drain is requested or stop is set; true for a drain.
    bool awaitDrain(const std::atomic<bool>& stop);
    // Takes the next character of the drain and what remains after it.
    std::optional<QChar> takeForKeying(QString* remaining);
    // Ends the drain if nothing has arrived meanwhile; false when there is more to send.
    bool finishDrainIfEmpty();
    // Ends the drain whatever the buffer holds, emptying it (failures, refused speed).
    void abortDrain();
    // Wakes a awaitDrain (for stopping the keying thread).
    void wakeAll();

private:
    mutable PriorityMutex m_mutex;
    std::condition_variable_any m_wake;
    QString m_text;
    std::atomic<bool> m_draining{false};
    std::atomic<quint64> m_drain{0};
};

} // namespace ditlog
