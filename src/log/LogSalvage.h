// What can be kept of a damaged "log.txt": the records of its whole, readable lines,
// and the copy of the file that keeps the damaged lines for repair by hand.
#pragma once

#include "log/ContactLog.h"

#include <QDateTime>
#include <QList>
#include <QString>

namespace ditlog {

struct LogSalvage {
    QList<ContactRecord> records; // the good records, in file order
    QList<int> damagedLines;      // 1-based numbers of the lines set aside
};

// Reads the file line by line, one record to a line as the program writes them: a
// line that is not one whole record (cut short, a stray quote, a number out of range)
// is set aside, and so is every line beyond the most records a log can hold.
LogSalvage salvageLog(const QByteArray& content);

// The dated copy beside the log: "log.txt" becomes "log.txt.20261208-140533.bad".
QString damagedCopyPath(const QString& logPath, const QDateTime& localNow);

// "lines 7, 9 and 12" (at most ten named, then "and 3 more").
QString lineListText(const QList<int>& lines);

} // namespace ditlog
