// The contest entry file: the club's header lines, the multiplier lines and one
// fixed-column QSO line per contact, built as the bytes to be written.
#pragma once

#include "log/ContactLog.h"
#include "log/MultiplierTable.h"
#include "log/Score.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace ditlog {

struct StationPreferences;

// What the operator fills in on the summary window.
struct SummaryFields {
    QString memberNumber;     // own member number
    QString clubName;
    QString clubMemberNumber; // the club's own member number
    QString name;
    QString addressLine1;
    QString addressLine2;
    QString email;
    QString soapbox; // may hold several lines
};

struct EntryFileInput {
    QString windowTitle;
    QString contest;  // "Winter Sprint", "Spring Sprint", ...
    QString category; // "QRP", "QRO" or "CLUB"
    QString ownCall;
    QString ownSpc;
    SummaryFields fields;
    ScoreTexts score;
    MultiplierTable multipliers; // the worked flags choose the state multipliers
    bool dxEntityListEmpty = true;
    int dxContacts = 0;
    QList<ContactRecord> records;
};

// Everything the entry file needs from the log and the station's preferences.
EntryFileInput entryFileInput(const ContactLog& log, const StationPreferences& prefs,
                              const QString& windowTitle, const QString& contest,
                              const QString& category, const SummaryFields& fields);

// The event named by the ticked option: "Winter Sprint" when none is ticked; a later
// season in the order Fall, Summer, Spring wins over an earlier one.
QString contestName(bool spring, bool summer, bool fall);
// "QRP" unless another category is ticked; QRO, then QRP, then Club win in that order.
QString entryCategory(bool qro, bool qrp, bool club);

// The QSO line's pieces, exposed for the column rules: the frequency designator of a
// band ("" for a band outside the seven), the "yyyy-mm-dd" date and the "hhmm" time.
QString bandDesignator(const QString& band);
QString entryDate(const QString& recordDate);
QString entryTime(const QString& recordTime);

// One "QSO:" line without its line end. Each item starts at its fixed column; an item
// longer than the room before the next column is cut so that one blank still separates
// it from the next item, and the later items keep their columns.
QString qsoLine(const ContactRecord& record);

// The whole file, CR LF line ends, one byte per character (Latin-1) so that columns
// counted in characters are columns in bytes.
QByteArray buildEntryFile(const EntryFileInput& input);

} // namespace ditlog
