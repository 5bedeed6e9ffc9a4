// Turns the widely shared amateur-radio country file in its CSV form ("cty.csv") into
// the prefix table "arrlpre2.txt" and the ADIF country-number table "ADIFCnt.txt", and
// tells what an update from one country file to another changes.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

namespace ditlog {

struct CountryFileProblem {
    int line = 0; // the record of the country file, counted from 1; 0 for the whole file
    QString text;
};

struct CountryFiles {
    QByteArray prefixFile;  // the content of "arrlpre2.txt"
    QByteArray countryFile; // the content of "ADIFCnt.txt"
    QStringList entities;   // in the order of the country file
    QStringList prefixes;   // in the order of the prefix table
    QString version;        // such as "20260611", from the file's "=VER" entry; may be empty
};

struct CountryConversion {
    std::optional<CountryFiles> files;
    CountryFileProblem problem; // why there are no files
};

// A larger file is not a country file.
constexpr qsizetype kMaxCountryFileBytes = 8 * 1024 * 1024;

// Every DXCC entity of the country file becomes one line of the country-number table
// and one line per prefix of the prefix table (entity, continent, longitude, latitude,
// CQ zone, ITU zone and UTC offset, numbers in their shortest plain form). Exact calls
// and entities that count for other awards only are left out, a prefix listed twice is
// kept once, per-prefix overrides are dropped, "United States" is stored as "USA", and
// the prefix lines are ordered by their first character (the file's order within one).
// Anything the tables cannot hold refuses the whole file.
CountryConversion convertCountryFile(const QByteArray& csv);

// What an update from the tables in use to a fresh conversion changes.
struct CountryDataChanges {
    QStringList entitiesAdded;
    QStringList entitiesRemoved;
    int prefixesAdded = 0;
    int prefixesRemoved = 0;
    int entityCount = 0;
    int prefixCount = 0;
    bool changesAnything() const {
        return !entitiesAdded.isEmpty() || !entitiesRemoved.isEmpty() || prefixesAdded != 0 ||
               prefixesRemoved != 0;
    }
};

// Compares the tables now in use (their file contents; either may be empty) with a fresh
// conversion. Entity names compare without regard to case, prefixes exactly.
CountryDataChanges compareCountryData(const QByteArray& oldPrefixFile,
                                      const QByteArray& oldCountryFile, const CountryFiles& fresh);

} // namespace ditlog
