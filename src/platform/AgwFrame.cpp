// AGW frame encoding and the bounded, self-resynchronising decoder.
#include "platform/AgwFrame.h"

#include <QtEndian>

namespace ditlog {

namespace {

QByteArray callField(const QByteArray& call) {
    QByteArray field = call.left(kAgwCallBytes - 1);
    field.append(QByteArray(kAgwCallBytes - field.size(), '\0'));
    return field;
}

QByteArray callFrom(const char* at) {
    const QByteArray field(at, kAgwCallBytes);
    const qsizetype nul = field.indexOf('\0');
    return nul < 0 ? field : field.left(nul);
}

bool isLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

qint32 lengthAt(const char* header) { return qFromLittleEndian<qint32>(header + 28); }

// Enough for a frame to be taken as such.
bool validHeader(const char* h) {
    const qint32 length = lengthAt(h);
    return isLetter(h[4]) && length >= 0 && length <= kAgwMaxDataBytes;
}

// Stricter, for finding a header again in damaged data: reserved bytes zero, calls of
// printable characters padded with NUL.
bool plausibleHeader(const char* h) {
    if (!validHeader(h) || h[1] != 0 || h[2] != 0 || h[3] != 0 || h[5] != 0 || h[7] != 0) {
        return false;
    }
    for (int i = 8; i < 28; ++i) {
        const auto c = static_cast<unsigned char>(h[i]);
        if (c != 0 && (c < 0x20 || c > 0x7E)) {
            return false;
        }
    }
    return static_cast<unsigned char>(h[0]) < 64;
}

} // namespace

QByteArray encodeAgwFrame(const AgwFrame& frame) {
    QByteArray out(kAgwHeaderBytes, '\0');
    out[0] = char(frame.port);
    out[4] = frame.kind;
    out[6] = char(frame.pid);
    out.replace(8, kAgwCallBytes, callField(frame.callFrom));
    out.replace(18, kAgwCallBytes, callField(frame.callTo));
    qToLittleEndian<qint32>(qint32(frame.data.size()), out.data() + 28);
    out.append(frame.data);
    return out;
}

QList<AgwFrame> AgwFrameDecoder::feed(const QByteArray& bytes) {
    m_buffer.append(bytes);
    QList<AgwFrame> frames;
    qsizetype at = 0;
    while (true) {
        if (m_resyncing && !resynchronise(at)) {
            break;
        }
        if (m_buffer.size() - at < kAgwHeaderBytes) {
            break;
        }
        const char* h = m_buffer.constData() + at;
        if (!validHeader(h)) {
            // Damaged: look for the next plausible header from the byte after this one.
            ++m_damage.frames;
            m_damage.lastClaimedLength = lengthAt(h);
            ++m_damage.skippedBytes;
            ++at;
            m_resyncing = true;
            continue;
        }
        const qint32 length = lengthAt(h);
        if (m_buffer.size() - at < kAgwHeaderBytes + length) {
            break;
        }
        AgwFrame f;
        f.port = quint8(h[0]);
        f.kind = h[4];
        f.pid = quint8(h[6]);
        f.callFrom = callFrom(h + 8);
        f.callTo = callFrom(h + 18);
        f.data = m_buffer.mid(at + kAgwHeaderBytes, length);
        frames.append(std::move(f));
        at += kAgwHeaderBytes + length;
    }
    m_buffer.remove(0, at);
    return frames;
}

bool AgwFrameDecoder::resynchronise(qsizetype& at) {
    // Every place where a whole header can be seen is tried in turn; the bytes before
    // the first plausible one go. What is too short to tell waits for more.
    for (; at + kAgwHeaderBytes <= m_buffer.size(); ++at) {
        if (plausibleHeader(m_buffer.constData() + at)) {
            m_resyncing = false;
            return true;
        }
        ++m_damage.skippedBytes;
    }
    return false;
}

AgwFrameDecoder::Damage AgwFrameDecoder::takeDamage() {
    const Damage out = m_damage;
    m_damage = {};
    return out;
}

void AgwFrameDecoder::clear() {
    m_buffer.clear();
    m_damage = {};
    m_resyncing = false;
}

} // namespace ditlog
