// "LogExp.txt" lines for Ledra and the export command that writes them.
#include "export/LedraExport.h"

#include "export/ExportRules.h"
#include "log/ContactLog.h"
#include "log/DataFolders.h"
#include "log/RecordFile.h"
#include "platform/UserPrompts.h"

#include <QDir>

#include <optional>

namespace ditlog {

namespace {
// Quoted text; anything that would break the record (quotes, line breaks) is left out.
void appendText(QByteArray& line, const QString& value) {
    line += '"';
    line += stripUnstorable(value).toLatin1();
    line += '"';
}
} // namespace

QByteArray ledraLine(const ContactRecord& record, const QString& ExportPower) {
    QString country;
    QString state;
    exportCountryAndState(record.spc, record.call, &country, &state);

    // Each entry is a quoted value, or nothing for an empty slot.
    const std::optional<QString> values[] = {
        record.call,  record.date,  record.band,    QStringLiteral("CW"),
        ExportPower,  record.time,  record.rstSent, record.rstReceived,
        std::nullopt, country,      state,          std::nullopt,
        std::nullopt, std::nullopt, std::nullopt,   QStringLiteral("Varns Contest ") + record.name,
    };
    QByteArray line;
    bool first = true;
    for (const std::optional<QString>& value : values) {
        if (!first) {
            line += ',';
        }
        first = false;
        if (value) {
            appendText(line, *value);
        }
    }
    line += "\r\n";
    return line;
}

QByteArray ledraText(const ContactLog& log, const QString& ExportPower) {
    QByteArray out;
    for (const ContactRecord& record : log.records()) {
        out += ledraLine(record, ExportPower);
    }
    return out;
}

void ExportLedra(const ContactLog& log, const DataFolders& folders, UserPrompts& prompts) {
    const QString ExportPower =
        prompts.input(QStringLiteral("Please enter the power value"),
                      QStringLiteral("Please enter the power value you would like to record."));
    const QString path = folders.workingFile(QStringLiteral("LogExp.txt"));
    if (const std::optional<QString> error =
            writeFileAtomically(path, ledraText(log, ExportPower))) {
        prompts.beep();
        prompts.message(QStringLiteral("Unable to write file."), *error, PromptButtons::Ok,
                        PromptIcon::Critical);
        return;
    }
    prompts.beep();
    prompts.message(
        QStringLiteral("Export Successful!"),
        QStringLiteral("LogExp.txt has been written to this program's working directory ") +
            QDir::toNativeSeparators(folders.WorkingFolder) +
            QStringLiteral(".  Import these contacts into the Ledra program by clicking File, "
                           "Import, and navigating to this directory from the Ledra program.  "
                           "Transferring your files by ADIF format is now the preferred method "
                           "for file transfer."),
        PromptButtons::Ok, PromptIcon::Information);
}

} // namespace ditlog
