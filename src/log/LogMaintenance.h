// Keeping the log safe and right: backups, the new-log question, the UTC offset check,
// and the log's own clock (computer time shifted by the station's UTC offset).
#pragma once

#include "log/ContactLog.h"

#include <QDateTime>
#include <QString>

#include <optional>

namespace ditlog {

class Clock;
class UserPrompts;

// The computer's local wall time plus UtcOffset hours, as a plain date-time.
QDateTime logNow(const Clock& clock, float utcOffset);

// "yyyymmddhhnn.log" for the local time of the backup.
QString backupFileName(const QDateTime& local);

// Copies the log file into the backup folder when the log is not empty and its count
// differs from the backup reference count. Never changes the log file; failures are
// ignored (returns whether a copy was written).
bool Backup(const ContactLog& log, const QString& logPath, const QString& backupFolder,
            const Clock& clock);

// The "start a new log" question; true when the operator typed YES (any letter case).
bool askNewLog(UserPrompts& prompts);

// The offset the clocks suggest: (UTC - local) in hours, rounded to 2 decimals.
double recommendedUtcOffset(const Clock& clock);

// Offers the recommended offset when it differs from the current one; returns the new
// value when the operator accepted a numeric answer.
std::optional<float> UtcOffsetCheck(const Clock& clock, UserPrompts& prompts, float current);

// "hh:mm:ss" of a number of seconds, each part below 10 with a leading zero.
QString operatingTimeText(double seconds);

} // namespace ditlog
