// The logs of earlier events that the call history learns from: the backups and archives
// ("*.log") in the data folder and its backup folder.
#pragma once

#include "log/ContactLog.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace ditlog {

// At most this many files are read, the newest first.
constexpr int kMaxEarlierLogs = 1000;

// The "*.log" files of both folders, newest first; a folder that does not exist adds none.
QStringList earlierLogFiles(const QString& dataFolder, const QString& backupFolder);

// The good records of one earlier log, line by line (a damaged line is left out); none
// when the file cannot be read or is not a text file.
QList<ContactRecord> earlierLogRecords(const QString& path);

} // namespace ditlog
