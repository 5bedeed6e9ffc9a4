// ADIF file text and the export command around it.
#include "export/AdifExport.h"

#include "export/ExportRules.h"
#include "log/AppearanceCommands.h"
#include "log/ContactLog.h"
#include "log/DataFolders.h"
#include "log/RecordFile.h"
#include "platform/Clock.h"
#include "platform/UserPrompts.h"

#include <QDir>

namespace ditlog {

namespace {
constexpr int kTitleLength = 60;

// Trailing blanks off, leading ones kept.
QString withoutTrailingBlanks(const QString& text) {
    qsizetype end = text.size();
    while (end > 0 && text.at(end - 1) == QLatin1Char(' ')) {
        --end;
    }
    return text.left(end);
}

// "<name:length>value" or "<name:length:type>value"; the length is that of the bytes
// written, so readers find the field's end exactly.
void appendField(QByteArray& out, const char* name, const QString& value,
                 const char* type = nullptr) {
    const QByteArray bytes = value.toLatin1();
    out += '<';
    out += name;
    out += ':';
    out += QByteArray::number(bytes.size());
    if (type != nullptr) {
        out += ':';
        out += type;
    }
    out += '>';
    out += bytes;
}

void appendFieldAndBlank(QByteArray& out, const char* name, const QString& value) {
    appendField(out, name, value);
    out += ' ';
}

// Free text of the header must not look like a field to an ADIF reader.
QString headerText(const QString& text) {
    QString out = text;
    out.remove(QLatin1Char('<'));
    out.remove(QLatin1Char('>'));
    return out;
}

void reportFailure(UserPrompts& prompts, const QString& error) {
    prompts.beep();
    prompts.message(QStringLiteral("Unable to write file."), error, PromptButtons::Ok,
                    PromptIcon::Critical);
}
} // namespace

QByteArray adifHeader(const QString& windowTitle, const QString& exportedOn) {
    QByteArray out;
    const auto line = [&out](const QString& text) {
        out += headerText(text).toLatin1();
        out += "\r\n";
    };
    line(QStringLiteral("ADIF Export from ") + windowTitle.left(kTitleLength).trimmed());
    line(QStringLiteral("Ditlog contact logger for CW sprints"));
    line(QStringLiteral("Made by TREVO Software"));
    line(QStringLiteral("Log exported on: ") + exportedOn);
    out += "\r\n<EOH>\r\n\r\n";
    return out;
}

QByteArray adifRecord(const ContactRecord& record, const ExportFields& fields,
                      const QString& ExportPower, const QString& ExportComment) {
    QByteArray out;
    if (!record.call.isEmpty()) {
        appendFieldAndBlank(out, "Call", record.call);
    }
    if (!fields.ExportDate.isEmpty()) {
        appendField(out, "Qso_Date", fields.ExportDate, "d");
        out += ' ';
    }
    if (!record.band.isEmpty()) {
        appendFieldAndBlank(out, "Band", record.band + QLatin1Char('M'));
    }
    appendField(out, "Mode", QStringLiteral("CW"));
    out += "\r\n";

    const QString power = withoutTrailingBlanks(ExportPower);
    if (!power.isEmpty()) {
        appendFieldAndBlank(out, "Tx_Pwr", power);
    }
    const QString frequency = record.frequency.trimmed();
    if (!frequency.isEmpty()) {
        appendFieldAndBlank(out, "Freq", frequency);
    }
    appendFieldAndBlank(out, "Time_On", fields.ExportTime);
    if (fields.ExportDxcc > 0) {
        appendFieldAndBlank(out, "DXCC", QString::number(fields.ExportDxcc));
    }
    if (!fields.ExportState.isEmpty()) {
        appendFieldAndBlank(out, "State", fields.ExportState);
    }
    const QString received = withoutTrailingBlanks(record.rstReceived);
    if (!received.isEmpty()) {
        appendFieldAndBlank(out, "RST_Rcvd", received);
    }
    const QString sent = withoutTrailingBlanks(record.rstSent);
    if (!sent.isEmpty()) {
        appendFieldAndBlank(out, "RST_Sent", sent);
    }
    // The member number in the club's own field; a power exchange is left out.
    const QString member = record.exchange.trimmed();
    if (numericValue(member)) {
        appendFieldAndBlank(out, "Varns", member);
    }
    if (!record.name.isEmpty()) {
        appendFieldAndBlank(out, "Name", record.name);
    }
    if (!ExportComment.isEmpty()) {
        appendField(out, "Comment", ExportComment);
        out += "\r\n";
    }
    out += "<eor>\r\n\r\n";
    return out;
}

QByteArray adifText(const ContactLog& log, const AdifCountryTable& table,
                    const QString& windowTitle, const QString& exportedOn,
                    const QString& ExportPower, const QString& ExportComment) {
    QByteArray out = adifHeader(windowTitle, exportedOn);
    for (const ContactRecord& record : log.records()) {
        out += adifRecord(record, deriveExportFields(record, &table), ExportPower, ExportComment);
    }
    return out;
}

void ExportAdif(const ContactLog& log, const DataFolders& folders, UserPrompts& prompts,
                const Clock& clock, const QString& windowTitle) {
    const QString ExportPower = prompts.input(
        QStringLiteral("Please enter your transmitter output power."),
        QStringLiteral("Please enter the power value that you would like to record.  This is "
                       "an optional value that will be included in each QSO record and "
                       "displayed in Ledra's power output column."),
        QStringLiteral("100"));
    const QString ExportComment = prompts.input(
        QStringLiteral("Please enter a comment."),
        QStringLiteral("Please enter a comment that you would like to appear on each QSO "
                       "record.  This is an optional description that will be displayed in "
                       "Ledra's Comments column."),
        QStringLiteral("Varns Contest"));

    QString error;
    const std::optional<AdifCountryTable> table = AdifCountryTable::load(folders, &error);
    if (!table) {
        reportFailure(prompts, error);
        return;
    }

    FileDialogRequest request;
    request.title = QStringLiteral("Export ADIF File");
    request.folder = folders.DataFolder;
    request.proposedPath = QDir(folders.DataFolder).filePath(QStringLiteral("Varns.adi"));
    request.filter = QStringLiteral("ADIF Files (*.adi) | *.adi");
    request.confirmOverwrite = true;
    const QString chosen = prompts.saveFile(request);
    if (chosen.isEmpty()) {
        return;
    }
    const QString path = QDir(folders.WorkingFolder).absoluteFilePath(chosen);

    const QString exportedOn = clock.localNow().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
    const QByteArray text =
        adifText(log, *table, windowTitle, exportedOn, ExportPower, ExportComment);
    // The whole text replaces the file at once: a failed write leaves no half file.
    if (const std::optional<QString> writeError = writeFileAtomically(path, text)) {
        reportFailure(prompts, *writeError);
        return;
    }
    prompts.message(QStringLiteral("File Written Successfully."),
                    QStringLiteral("The file was successfully written to the directory:\n\n") +
                        QDir::toNativeSeparators(path) + QLatin1Char('.'),
                    PromptButtons::Ok, PromptIcon::Information);
}

} // namespace ditlog
