// Changes to the stored contacts outside normal logging: the checks of an edited record,
// deleting a record, and the named archive copy of the log and its restore.
#pragma once

#include "log/ContactLog.h"

#include <QDate>
#include <QList>
#include <QString>

#include <optional>

namespace ditlog {

class Clock;
class UserPrompts;

// ---- checks of an edited record -------------------------------------------------------

// One of the seven bands "160", "80", "40", "20", "15", "10", "6", exactly.
bool isLogBand(const QString& text);

// An edited date: "yyyy/m/d", "m/d/yyyy" or "yyyymmdd" naming a real day, rewritten in
// the stored form "yyyy/mm/dd"; nothing when it is not a date.
std::optional<QString> editedDate(const QString& text);

// An edited time: "h:m" or "h:m:s" naming a real time of day, rewritten "hh:mm" or
// "hh:mm:ss" (the seconds kept only when typed); nothing when it is not a time.
std::optional<QString> editedTime(const QString& text);

// The numbers of the records other than `number` whose call and band equal the given
// ones exactly (letter case counts).
QList<int> editDuplicates(const ContactLog& log, int number, const QString& call,
                          const QString& band);

// A 2-character SPC must equal one of the multiplier codes exactly; any other length
// passes.
bool editSectionPasses(const QString& spc);

// The points an edited text stands for: its numeric value, 0 when it is not a number
// or beyond what a stored single-precision value can hold.
float editedPoints(const QString& text);

// ---- deleting -------------------------------------------------------------------------

// Removes record `number` (1-based); the records after it move down one place. False,
// and nothing changed, when there is no such record. The caller rewrites and reloads.
bool deleteRecord(ContactLog& log, int number);

// ---- archive and restore --------------------------------------------------------------

inline constexpr char kLogFileFilter[] = "Log Files (*.log) | *.log";

// The archive name the save dialog proposes: the backup folder, the call's file stem and
// the local date "yyyy-mm-dd", then ".log".
QString archiveProposedPath(const QString& backupFolder, const QString& ownCall,
                            const QDate& localDate);

// Explains the archive, asks where to save, and copies the log file there durably. A
// cancelled dialog ends silently; a failure is shown as "Error Archiving Log". The log
// file is only read. True when an archive copy was written.
bool archiveLog(const QString& logPath, const QString& backupFolder, const QString& ownCall,
                UserPrompts& prompts, const Clock& clock);

// Explains the restore, asks for confirmation when the log has records, asks for the
// file and, when it reads as a valid log, puts it in place of the log file atomically.
// A file that is not a valid log is refused with the line at fault and the log file is
// left untouched. True when the log file was replaced and must be reloaded.
bool restoreLog(const ContactLog& log, const QString& logPath, const QString& backupFolder,
                UserPrompts& prompts);

} // namespace ditlog
