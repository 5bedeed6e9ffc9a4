// Wave header check: walks the RIFF chunks within the scanned head of the file.
#include "platform/WaveFile.h"

#include <QFile>
#include <QFileInfo>
#include <QtEndian>

namespace ditlog {

namespace {

quint32 le32(const QByteArray& b, qint64 at) {
    return qFromLittleEndian<quint32>(b.constData() + at);
}

quint16 le16(const QByteArray& b, qint64 at) {
    return qFromLittleEndian<quint16>(b.constData() + at);
}

std::optional<WaveFileInfo> refuse(QString* why, const char* reason) {
    if (why != nullptr) {
        *why = QString::fromLatin1(reason);
    }
    return std::nullopt;
}

bool knownFormat(const WaveFileInfo& f) {
    const bool integer = f.formatTag == 1 && (f.bitsPerSample == 8 || f.bitsPerSample == 16 ||
                                              f.bitsPerSample == 24 || f.bitsPerSample == 32);
    const bool floating = f.formatTag == 3 && f.bitsPerSample == 32;
    const bool extensible = f.formatTag == 0xFFFE && f.bitsPerSample % 8 == 0 &&
                            f.bitsPerSample >= 8 && f.bitsPerSample <= 32;
    return (integer || floating || extensible) && f.channels >= 1 && f.channels <= 8 &&
           f.sampleRate >= 1000 && f.sampleRate <= 384000;
}

} // namespace

std::optional<WaveFileInfo> parseWaveHeader(const QByteArray& head, qint64 fileSize,
                                            QString* why) {
    if (fileSize <= 0) {
        return refuse(why, "empty file");
    }
    if (fileSize > kMaxWaveFileBytes) {
        return refuse(why, "file too large");
    }
    if (head.size() < 12 || !head.startsWith("RIFF") || head.mid(8, 4) != "WAVE") {
        return refuse(why, "not a wave file");
    }
    WaveFileInfo info;
    bool haveFormat = false;
    qint64 at = 12;
    while (at + 8 <= head.size()) {
        const QByteArray id = head.mid(at, 4);
        const qint64 size = le32(head, at + 4);
        const qint64 body = at + 8;
        if (id == "fmt ") {
            if (size < 16 || body + 16 > head.size()) {
                return refuse(why, "damaged format chunk");
            }
            info.formatTag = le16(head, body);
            info.channels = le16(head, body + 2);
            info.sampleRate = int(le32(head, body + 4));
            info.bitsPerSample = le16(head, body + 14);
            if (!knownFormat(info)) {
                return refuse(why, "unsupported sample format");
            }
            haveFormat = true;
        } else if (id == "data") {
            if (!haveFormat) {
                return refuse(why, "data before format");
            }
            if (size == 0) {
                return refuse(why, "no sound data");
            }
            if (body + size > fileSize) {
                return refuse(why, "truncated sound data");
            }
            info.dataOffset = body;
            info.dataBytes = size;
            const qint64 bytesPerSecond =
                qint64(info.sampleRate) * info.channels * (info.bitsPerSample / 8);
            info.durationMs = info.dataBytes * 1000 / bytesPerSecond;
            return info;
        }
        // Chunks are padded to an even length.
        at = body + size + (size & 1);
    }
    return refuse(why, haveFormat ? "no sound data" : "no format chunk");
}

std::optional<WaveFileInfo> inspectWaveFile(const QString& path, QString* why) {
    // Only plain files: a pipe or device would hold the window while it is opened.
    if (!QFileInfo(path).isFile()) {
        return refuse(why, "no such file");
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return refuse(why, "cannot open file");
    }
    const QByteArray head = file.read(kWaveHeaderScanBytes);
    return parseWaveHeader(head, file.size(), why);
}

} // namespace ditlog
