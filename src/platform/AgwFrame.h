// Frames of the AGW Packet Engine's TCP interface: a 36-byte little-endian header (port,
// kind, PID, call from, call to, data length) followed by the data; encoding, and a
// decoder that stays bounded and finds its way back after a damaged frame.
#pragma once

#include <QByteArray>
#include <QList>

namespace ditlog {

struct AgwFrame {
    quint8 port = 0;
    char kind = 0;
    quint8 pid = 0;
    QByteArray callFrom; // without the NUL padding
    QByteArray callTo;
    QByteArray data;

    bool operator==(const AgwFrame&) const = default;
};

constexpr int kAgwHeaderBytes = 36;
// The AX.25 protocol identifier of plain text (no layer 3).
constexpr quint8 kAgwTextPid = 0xF0;
constexpr int kAgwCallBytes = 10;
// Longer data than any engine sends; a header claiming more is damaged.
constexpr qint32 kAgwMaxDataBytes = 64 * 1024;

// Calls longer than 9 characters are cut so that each keeps its NUL.
QByteArray encodeAgwFrame(const AgwFrame& frame);

class AgwFrameDecoder {
public:
    // Damaged stretches of the stream met since the last takeDamage.
    struct Damage {
        int frames = 0;          // bad headers met
        qint64 skippedBytes = 0; // bytes dropped to find the next header
        qint32 lastClaimedLength = 0;
    };

    // Adds received bytes and returns the frames completed by them. A header that cannot
    // be one (data length negative or beyond the limit, a kind that is no letter) is
    // skipped up to the next place where a plausible header stands.
    QList<AgwFrame> feed(const QByteArray& bytes);
    Damage takeDamage();
    // Bytes held for an incomplete frame.
    qsizetype pendingBytes() const { return m_buffer.size(); }
    void clear();

private:
    // Skips to the next plausible header from at; false when the buffer ends first.
    bool resynchronise(qsizetype& at);

    QByteArray m_buffer;
    bool m_resyncing = false;
    Damage m_damage;
};

} // namespace ditlog
