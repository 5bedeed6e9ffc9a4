// The prefix table from "arrlpre2.txt" and what is looked up in it: the DX entity of a
// call, the entity-name completion, and the bearing and distance to an entity.
#pragma once

#include "log/RecordFile.h"

#include <QList>
#include <QString>
#include <QStringView>

#include <optional>

namespace ditlog {

struct PrefixEntry {
    QString prefix;      // such as K, KH6 or VE
    QString entity;      // such as USA, Hawaii, England
    QString continent;   // such as NA or EU
    float longitude = 0; // degrees, positive to the west
    float latitude = 0;  // degrees, positive to the north
};

// Entries 1 to count() in file order; the lookup relies on the file listing them in
// ascending order of their first character, ignoring case. Index 0, and any index
// outside the table, denotes an empty entry that matches nothing.
class PrefixTable {
public:
    static constexpr int MaxEntries = 10000;

    PrefixTable() = default;
    // Entries beyond MaxEntries are dropped.
    explicit PrefixTable(QList<PrefixEntry> entries);

    int count() const { return static_cast<int>(m_entries.size()); }
    bool isEmpty() const { return m_entries.isEmpty(); }
    const PrefixEntry& entry(int index) const;

private:
    QList<PrefixEntry> m_entries;
    PrefixEntry m_none;
};

// Parses the content of a prefix file: eight fields per entry (prefix, entity,
// continent, longitude, latitude and three that are not kept), records may span or
// share lines. A malformed file or one of more than MaxEntries entries gives the error
// and leaves the table empty. Faults the reader cannot place (too many entries, a
// position beyond single precision) come at line 0 with the entry number in the message.
std::optional<RecordError> LoadPrefixTable(PrefixTable& table, const QByteArray& content);

// The first existing "arrlpre2.txt" of the shared, data and working folders; empty
// when there is none.
QString findPrefixFile(const QString& sharedFolder, const QString& dataFolder,
                       const QString& workingFolder);

// Finds and reads the prefix file. No file leaves the table empty and is no error; a
// file that cannot be read is an error at line 0.
std::optional<RecordError> LoadPrefixTable(PrefixTable& table, const QString& sharedFolder,
                                           const QString& dataFolder, const QString& workingFolder);

// The part of a call that is looked up: after the first "/" when that part is longer
// than one character and shorter than half the call (W1ABC/VE3 gives VE3), otherwise
// the whole call (W1ABC/P, DL/W1ABC).
QStringView callForLookup(QStringView call);

// The entry with the longest prefix that begins the call (already reduced by
// callForLookup), the first met among equally long ones; 0 when none matches. Starts
// at an estimate from the call's first character and scans only towards and through
// that character's block of entries.
int findPrefixEntry(const PrefixTable& table, QStringView call, Qt::CaseSensitivity cs);

// The entry of a call's DX entity, as the call field's lookup finds it, USA and Canada
// included (KG4 calls other than KG4 with a two-letter suffix are the USA); 0 when none.
int entryOfCall(const PrefixTable& table, QStringView call);

// Name completion: the last entry whose entity name begins with the typed text; 0
// when none does.
int findEntityCompletion(const PrefixTable& table, QStringView typed, Qt::CaseSensitivity cs);

// Label texts for bearing (degrees) and distance (miles), each followed by one blank
// ("90 ", "6,214 "); both empty when the position cannot be computed (target at the own
// position or its antipode, rounding beyond the arc-cosine's range).
struct BearingDistance {
    QString bearing;
    QString distance;
};

// Great-circle bearing and distance from the own position to a target; latitudes
// positive to the north, longitudes positive to the west, in degrees.
BearingDistance HDCalc(float ownLatitude, float ownLongitude, float cntlat, float cntlong);

// What the main window shows after a change of the call.
struct CountryLookupResult {
    // False for an empty call: the SPC field and the labels are left as they are and
    // nothing below applies.
    bool ran = false;
    // Write spc into the SPC field; false leaves the operator's text (USA and Canada,
    // whose state or province is typed by hand).
    bool setSpc = false;
    QString spc;
    // Select the whole SPC text.
    bool selectSpc = false;
    QString continent; // Label19
    QString bearing;   // Label22
    QString distance;  // Label23
    // The entry whose continent and position are shown, 0 when none.
    int entryIndex = 0;
};

// The lookup run on every change of the call field. currentSpc is the SPC field's
// text before the lookup; it decides the labels when the field is left unchanged and
// already reads "Not Found".
CountryLookupResult CountryLookup(const PrefixTable& table, QStringView call,
                                  QStringView currentSpc, float ownLatitude, float ownLongitude);

} // namespace ditlog
