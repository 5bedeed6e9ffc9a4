// Scoring rules: the section check of an SPC entry, the score panel's texts, the 20- and
// 60-minute contact rates, the "New" entity rule and the multiplier hover summary.
#pragma once

#include <QDateTime>
#include <QString>

#include <optional>

namespace ditlog {

class ContactLog;
class MultiplierTable;
class UserPrompts;
struct StationPreferences;

// The multiplier row whose code equals the SPC text ignoring case; 0 when none (the
// entry is then an invalid section).
int SectionCheck(const MultiplierTable& table, const QString& spc);

// A number rounded half away from zero and written with "," between thousands whatever
// the system locale ("1,234,567"); the "###,###,###,##0" display form.
QString groupedNumber(double value);

// DX contacts plus state and province multipliers worked.
int totalMultipliers(const ContactLog& log);
// Total points times total multipliers.
double totalScore(const ContactLog& log);

// The four score values as the score panel shows them.
struct ScoreTexts {
    QString totalContacts;
    QString totalPoints;
    QString totalMultipliers;
    QString totalScore;
};
ScoreTexts scoreTexts(const ContactLog& log);

// "State / Prov Multipliers Worked: " and the count.
QString multipliersWorkedText(int worked);

// Contact rates per hour as shown: contacts of the last 60 minutes, and three times the
// contacts of the last 20 minutes.
struct ContactRates {
    int rate60 = 0;
    int rate20 = 0;
    bool operator==(const ContactRates&) const = default;
};

// Scans from the newest record back and stops at the first one an hour old or older
// (records are in time order). now is the log's UTC clock; only whole seconds count.
// Records dated after now count in both rates. Nothing when a record reached by the scan
// has an unreadable date or time.
std::optional<ContactRates> TimeStats(const ContactLog& log, const QDateTime& now);

// A record's "yyyy/mm/dd" date and "hh:mm:ss" or "hh:mm" time as seconds on one scale
// (days since the epoch of the Julian calendar times 86400 plus seconds of the day).
std::optional<qint64> recordSeconds(const QString& date, const QString& time);

// Whether the "New" label beside the SPC field shows: the text names a DX entity (longer
// than 2 characters, none of "Not Found", "Canada", "USA") that is not yet on the entity
// list. All comparisons ignore letter case.
bool NewIndicator(const ContactLog& log, const QString& spcText);

// Records whose spc equals the code, ignoring case.
int countSpc(const ContactLog& log, const QString& code);

// The hover text of multiplier row 1..62: its full name, two blanks, "    Total =" and the
// number of records logged with its code ("Connecticut      Total =3").
QString multiplierSummary(const ContactLog& log, int row);

// 8 points scaled by the screen width against 9600 twips and by the form size percent.
double summaryFontPointSize(int screenWidthTwips, int formSizePercent);

// The summary file needs the station's call: refused with a message when OwnCall is
// shorter than 3 characters.
bool writeSummaryAllowed(const StationPreferences& prefs, UserPrompts& prompts);

} // namespace ditlog
