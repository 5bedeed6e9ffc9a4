// Recording stand-ins for the keying outputs this machine lacks: a keying line that
// records (monotonic time, level) at every change, and a parallel port that records the
// control-register writes.
#pragma once

#include "platform/KeyingLine.h"
#include "platform/ParallelPort.h"

#include <QList>

#include <atomic>
#include <mutex>
#include <vector>

namespace ditlog::testing {

struct LineEdge {
    qint64 ns; // steady clock, nanoseconds
    bool down;
};

// Records every call (also repeated levels), safe from the keying thread.
class RecordingKeyingLine final : public KeyingLine {
public:
    explicit RecordingKeyingLine(std::size_t reserve = 1 << 16) { m_edges.reserve(reserve); }
    bool setKeyDown(bool down) noexcept override;

    std::vector<LineEdge> edges() const;
    // The levels alone, as a string of '1' and '0' per call.
    QString levels() const;
    // Changes of level only (repeated levels dropped).
    std::vector<LineEdge> changes() const;
    bool isDown() const { return m_down.load(); }
    void clear();
    // From now on every set fails (the port vanished); the level is still recorded.
    void setFailing(bool failing) { m_failing = failing; }

private:
    mutable std::mutex m_mutex;
    std::vector<LineEdge> m_edges;
    std::atomic<bool> m_down{false};
    std::atomic<bool> m_failing{false};
};

// A parallel port that accepts any address the base-address rule maps.
class RecordingParallelPort final : public ParallelPort {
public:
    bool open(int baseAddress) override;
    void close() override { m_open = false; }
    bool isOpen() const override { return m_open; }
    int baseAddress() const override { return m_base; }
    bool writeControl(quint8 value) noexcept override;
    QString errorString() const override { return m_error; }

    QList<quint8> writes() const;
    // The /dev/parportN the real port would have opened, -1 before the first open.
    int portNumber() const { return m_number; }
    void setOpenFails(bool fails) { m_openFails = fails; }

private:
    mutable std::mutex m_mutex;
    QList<quint8> m_writes;
    bool m_open = false;
    bool m_openFails = false;
    int m_base = 0;
    int m_number = -1;
    QString m_error;
};

} // namespace ditlog::testing
