// What one reply told about the radio, and the query strings the parsers look for.
#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace ditlog {

// A parser sets only what it decoded; the rest stays unset and keeps its old value.
struct RigReading {
    std::optional<double> frequency; // MHz
    std::optional<QString> mode;     // "CW", "PH"; "AM" or "FM" from some radios
    std::optional<quint8> vfo;       // "Kenwood 2": 1 = VFO B

    bool decodedAnything() const { return frequency || mode || vfo; }
    bool operator==(const RigReading&) const = default;
};

// The poll queries as configured: F reads the frequency, M the mode.
struct RigQueries {
    QByteArray frequency;
    QByteArray mode;
};

// Rounds to five decimals (10 Hz in MHz), as every parser reports a frequency.
double roundTo5(double mhz);

// The live state of the link that the parsers update.
struct RigStatus {
    double frequency = 0; // MHz; 0 until a reply was decoded
    QString mode;         // empty until known
    quint8 vfo = 10;      // set from "Kenwood 2" replies

    // Copies what the reading holds.
    void apply(const RigReading& reading);
};

} // namespace ditlog
