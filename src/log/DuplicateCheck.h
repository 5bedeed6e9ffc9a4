// Duplicate rules over the contact log: the same call on the same band, the earlier
// contacts of a call, and the possible duplicates of a call being typed.
#pragma once

#include <QList>
#include <QString>

namespace ditlog {

class ContactLog;

struct DuplicateFinding {
    int duplicate = 0;          // record of the same call on the band, 0 when none
    int earliest = 0;           // oldest record of the call on any band (fills the exchange)
    QList<int> earlierContacts; // records of the call, oldest first, up to the duplicate
};

// Scans records 1 to N, comparing whole calls and bands without regard to case; the
// scan stops at the first duplicate.
DuplicateFinding findDuplicate(const ContactLog& log, const QString& call, const QString& band);

// "Duplicate K1ABC 2007/03/04 14:05:33  Rec# 12"
QString duplicateText(const ContactLog& log, int record);

// Calls on the band that begin with the typed text, most recent first, each followed by
// a blank; the scan stops once the text is longer than 100 characters.
QString partialDuplicates(const ContactLog& log, const QString& typed, const QString& band);

// Keys that take part in the possible-duplicate search and the third-character check:
// codes 46 to 90.
inline bool isCallSearchKey(int key) { return key > 45 && key < 91; }

// A three-character call whose 2nd and 3rd characters are neither digits nor "/".
bool lacksDigitInSecondOrThird(const QString& typed);

} // namespace ditlog
