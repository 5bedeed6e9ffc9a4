// The Ledra export: "LogExp.txt" in the working folder, one record line of sixteen
// values per contact for the separate contact-log program Ledra to import.
#pragma once

#include <QByteArray>
#include <QString>

namespace ditlog {

class ContactLog;
class UserPrompts;
struct ContactRecord;
struct DataFolders;

// One contact's line, CR LF included: call, date, band, "CW", power, time, report sent,
// report received, nothing, country, state, four times nothing, "Varns Contest " and
// the name. Text values are quoted; the empty slots are written as nothing.
QByteArray ledraLine(const ContactRecord& record, const QString& ExportPower);

// Every contact's line from the first to the last; empty for an empty log.
QByteArray ledraText(const ContactLog& log, const QString& ExportPower);

// The "Export for Ledra Import" menu command: asks for the power, writes "LogExp.txt"
// in the working folder and tells where it went; a failure is shown as "Unable to
// write file.". The log is only read.
void ExportLedra(const ContactLog& log, const DataFolders& folders, UserPrompts& prompts);

} // namespace ditlog
