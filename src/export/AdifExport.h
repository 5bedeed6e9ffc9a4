// The ADIF export: the file text built from the log, and the menu operation that asks
// for power and comment, reads the country-number table and writes the chosen file.
#pragma once

#include <QByteArray>
#include <QString>

namespace ditlog {

class AdifCountryTable;
class Clock;
class ContactLog;
class UserPrompts;
struct ContactRecord;
struct DataFolders;
struct ExportFields;

// The header lines up to and including "<EOH>" and the empty line after it.
// windowTitle is cut to 60 characters; exportedOn is shown as given.
QByteArray adifHeader(const QString& windowTitle, const QString& exportedOn);

// One contact's fields, ending with "<eor>", a line break and an empty line.
QByteArray adifRecord(const ContactRecord& record, const ExportFields& fields,
                      const QString& ExportPower, const QString& ExportComment);

// The whole file: the header and every record from the first to the last. Text is
// written as Latin-1, and every field length counts the bytes written.
QByteArray adifText(const ContactLog& log, const AdifCountryTable& table,
                    const QString& windowTitle, const QString& exportedOn,
                    const QString& ExportPower, const QString& ExportComment);

// The "Export ADIF File" menu command. Failures are shown to the operator; a cancelled
// save dialog ends it silently. The log is only read.
void ExportAdif(const ContactLog& log, const DataFolders& folders, UserPrompts& prompts,
                const Clock& clock, const QString& windowTitle);

} // namespace ditlog
