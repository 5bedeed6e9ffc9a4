// Checks a wave file before it is played: the RIFF/WAVE header, its format and data
// chunks, and the playing time they give. Damaged, empty and non-wave files are refused
// here, so that nothing is keyed for a file that cannot be heard.
#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace ditlog {

struct WaveFileInfo {
    int formatTag = 0; // 1 PCM, 3 IEEE float, 0xFFFE extensible
    int channels = 0;
    int sampleRate = 0;
    int bitsPerSample = 0;
    qint64 dataOffset = 0;
    qint64 dataBytes = 0;
    qint64 durationMs = 0;
};

// The part of a file the header check looks at; the data chunk must start within it.
constexpr qint64 kWaveHeaderScanBytes = 64 * 1024;
// Larger files are refused: voice messages are seconds long, and the whole file is
// loaded to be played.
constexpr qint64 kMaxWaveFileBytes = 64 * 1024 * 1024;

// head: the first bytes of the file (up to kWaveHeaderScanBytes); fileSize: the whole
// file's size. Nothing, with the reason in *why when asked, when the file cannot be played.
std::optional<WaveFileInfo> parseWaveHeader(const QByteArray& head, qint64 fileSize,
                                            QString* why = nullptr);

// Reads the head of the file at path and checks it.
std::optional<WaveFileInfo> inspectWaveFile(const QString& path, QString* why = nullptr);

} // namespace ditlog
