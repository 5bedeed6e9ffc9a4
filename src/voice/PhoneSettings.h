// The voice keyer's settings: the wave file of each function key, the push-to-talk line
// and port, the parallel base address, the F1 repeat and the audio outputs, stored in
// "wave2.txt".
#pragma once

#include <QString>

#include <array>
#include <optional>

namespace ditlog {

inline constexpr char kWaveListFileName[] = "wave2.txt";

// PhonePttLine: numbered on its own, not like the CW keying line. 3 to 5 go through the
// radio's own link: a line of the port the rig link holds, or its transmit switch (CAT).
enum class PhonePttLine { Rts = 0, Dtr = 1, Parallel = 2, RigRts = 3, RigDtr = 4, RadioCat = 5 };

struct PhoneSettings {
    std::array<QString, 9> files; // F1 ... F9 (Text1 ... Text9)
    QString pttPort = QStringLiteral("0");             // Text10; 0 is none
    PhonePttLine pttLine = PhonePttLine::Rts;
    QString repeatSeconds = QStringLiteral("0");       // txtPHLoop; 0 is no repeat
    QString parallelAddress = QStringLiteral("&H378"); // Text11
    // Audio outputs by id (AudioOutputs), empty for the system's default: the messages
    // go to the radio, the prompts and speech to the operator.
    QByteArray keyerOutput;
    QByteArray promptOutput;

    friend bool operator==(const PhoneSettings&, const PhoneSettings&) = default;
};

// The PTT port number of the field: a whole number, 0 for none or anything else.
int pttPortNumber(const QString& field);

// The repeat interval in ms for the repeat field, when the field holds an accepted
// value (0 up to but not including 60 seconds, fractions allowed); nothing otherwise.
std::optional<int> repeatIntervalMs(const QString& field);

// "wave2.txt" in the working folder: the thirteen lines every version reads, then the
// keyer's and the prompts' output, lines that older versions never read. A file of
// thirteen lines plays on the default outputs. A missing file gives the defaults; a
// damaged one keeps the values read before the fault and the defaults for the rest.
struct WaveListLoad {
    PhoneSettings settings;
    bool found = false;
    bool damaged = false;
};
WaveListLoad readWaveList(const QString& workingFolder);
QByteArray waveListContent(const PhoneSettings& settings);
// Written whole to a temporary file and renamed over the old one; an error text on failure.
std::optional<QString> writeWaveList(const QString& workingFolder, const PhoneSettings& settings);

} // namespace ditlog
