// The operator's station data and preferences stored in "varnpref.txt", and the file
// stem made from a call sign.
#pragma once

#include "log/RecordFile.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace ditlog {

struct StationPreferences {
    QString OwnCall;
    QString OwnSpc;
    float UtcOffset = 0;
    QString Mode = QStringLiteral("CW");
    float OperatingTime = 0; // seconds
    QString OwnCountry;
    float OwnLongitude = 0;
    float OwnLatitude = 0;
    quint8 FormSizePercent = 100;
    qint32 WorkedColour = 0x0000FF;   // &HFF: red
    qint32 RemainingColour = 0x000000; // black
    QString Band = QStringLiteral("160");
    QString OwnContinent;
    QString OwnMemberNumber;
    quint8 VoiceNavigation = 0;
    QString RigType = QStringLiteral("None");
    QString OwnFirstName;
    QString DefaultRst = QStringLiteral("599");
    quint8 TaskbarMode = 0;
    quint8 ListPreviousContacts = 0;

    bool operator==(const StationPreferences&) const = default;
};

inline const QString kPreferenceFileName = QStringLiteral("varnpref.txt");

struct PreferenceLoad {
    enum class Status { Loaded, Missing, Malformed };
    Status status = Status::Missing;
    RecordError error; // for Malformed: where reading stopped
    // Values read but out of their range ("UtcOffset 1e+30"), which took their defaults.
    QStringList outOfRange;
    // The file holds something it should not: the caller keeps a copy of it.
    bool damaged() const { return status == Status::Malformed || !outOfRange.isEmpty(); }
};

// Reads the twenty values in order into prefs; values not read keep what prefs held.
// Every number has its range (UTC offset -14 to 14 hours, operating time 0 to 1e8 s,
// longitude -180 to 180, latitude -90 to 90, form size 30 to 100, colours 0 to &HFFFFFF,
// voice navigation 0 to 2, the flags 0 or 1), the mode is CW or PH, the band one of the
// seven and the default report up to three digits: a value outside takes the default.
PreferenceLoad readPreferences(const QByteArray& content, StationPreferences& prefs);

// Reads "varnpref.txt" from the working folder (documented defaults where it is missing
// or short).
PreferenceLoad LoadPreferences(const QString& workingFolder, StationPreferences& prefs);

QByteArray preferencesText(const StationPreferences& prefs);

// Rewrites "varnpref.txt" atomically; returns the error text on failure.
std::optional<QString> writePreferences(const QString& workingFolder,
                                        const StationPreferences& prefs);

// The leading run of "0"-"9" and "A"-"Z" of a call; "YourCall" when that run is empty.
QString CallFileStem(const QString& call);

} // namespace ditlog
