// Fuzz targets of the voice keyer's readers.
#include "FuzzTargetsVoice.h"
#include "FuzzRules.h"

#include "log/RecordFile.h"
#include "platform/WaveFile.h"
#include "voice/PhoneSettings.h"

#include <QDir>
#include <QTemporaryDir>

namespace ditlog::testing {

void fuzzWaveHeader(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const auto info = parseWaveHeader(bytes.left(kWaveHeaderScanBytes), bytes.size());
    if (!info) {
        return;
    }
    require(info->dataBytes > 0, "accepted sound data is not empty");
    require(info->dataOffset >= 12 && info->dataOffset + info->dataBytes <= bytes.size(),
            "the sound data lies inside the file");
    require(info->channels >= 1 && info->channels <= 8, "a known channel count");
    require(info->sampleRate >= 1000 && info->sampleRate <= 384000, "a known sample rate");
    require(info->bitsPerSample % 8 == 0 && info->bitsPerSample >= 8 && info->bitsPerSample <= 32,
            "a known sample size");
    const qint64 perSecond = qint64(info->sampleRate) * info->channels * info->bitsPerSample / 8;
    require(info->durationMs == info->dataBytes * 1000 / perSecond, "the time matches the data");
}

void fuzzWaveList(const uint8_t* data, size_t size) {
    static QTemporaryDir dir;
    const QString path = QDir(dir.path()).filePath(QString::fromLatin1(kWaveListFileName));
    writeFileAtomically(path, QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    const PhoneSettings first = readWaveList(dir.path()).settings;
    require(int(first.pttLine) >= int(PhonePttLine::Rts) && int(first.pttLine) <= int(PhonePttLine::RadioCat),
            "a known PTT line");
    require(repeatIntervalMs(first.repeatSeconds).has_value(), "an accepted repeat interval");

    const QByteArray written = waveListContent(first);
    require(written.count("\r\n") == 15, "the thirteen lines and the two outputs are written");
    writeFileAtomically(path, written);
    const WaveListLoad again = readWaveList(dir.path());
    require(!again.damaged, "what was written reads back");
    require(waveListContent(again.settings) == written, "what was read back writes the same");
}

} // namespace ditlog::testing
