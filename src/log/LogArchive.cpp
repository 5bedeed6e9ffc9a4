// Edited-record checks, record deletion, and archive and restore of the log file.
#include "log/LogArchive.h"

#include "log/AppearanceCommands.h"
#include "log/EntryRules.h"
#include "log/MultiplierTable.h"
#include "log/StationPreferences.h"
#include "platform/Clock.h"
#include "platform/UserPrompts.h"

#include <QDir>
#include <QFileInfo>
#include <QTime>

#include <cmath>
#include <limits>

namespace ditlog {

namespace {
// The same bound the log load applies to "log.txt".
constexpr qint64 kMaxLogBytes = 16 * 1024 * 1024;

const QString& archiveErrorTitle() {
    static const QString title = QStringLiteral("Error Archiving Log");
    return title;
}

const QString& restoreErrorTitle() {
    static const QString title = QStringLiteral("Error Restoring Log");
    return title;
}
} // namespace

// ---- checks of an edited record -------------------------------------------------------

bool isLogBand(const QString& text) {
    for (const char* band : {"160", "80", "40", "20", "15", "10", "6"}) {
        if (text == QLatin1String(band)) {
            return true;
        }
    }
    return false;
}

std::optional<QString> editedDate(const QString& text) {
    return normalisedPostContestDate(text);
}

std::optional<QString> editedTime(const QString& text) {
    const QString t = text.trimmed();
    const int colons = int(t.count(QLatin1Char(':')));
    if (colons < 1 || colons > 2) {
        return std::nullopt;
    }
    const bool withSeconds = colons == 2;
    const QTime time =
        QTime::fromString(t, withSeconds ? QStringLiteral("H:m:s") : QStringLiteral("H:m"));
    if (!time.isValid()) {
        return std::nullopt;
    }
    return time.toString(withSeconds ? QStringLiteral("HH:mm:ss") : QStringLiteral("HH:mm"));
}

QList<int> editDuplicates(const ContactLog& log, int number, const QString& call,
                          const QString& band) {
    QList<int> found;
    for (int other = 1; other <= log.count(); ++other) {
        const ContactRecord& r = log.record(other);
        if (other != number && r.call == call && r.band == band) {
            found.append(other);
        }
    }
    return found;
}

bool editSectionPasses(const QString& spc) {
    if (spc.size() != 2) {
        return true;
    }
    static const MultiplierTable table;
    for (int row = 1; row <= MultiplierTable::kRows; ++row) {
        if (table.row(row).code == spc) {
            return true;
        }
    }
    return false;
}

float editedPoints(const QString& text) {
    const std::optional<double> value = numericValue(text);
    if (!value || std::fabs(*value) > double(std::numeric_limits<float>::max())) {
        return 0;
    }
    return float(*value);
}

// ---- deleting -------------------------------------------------------------------------

bool deleteRecord(ContactLog& log, int number) {
    if (number < 1 || number > log.count()) {
        return false;
    }
    QList<ContactRecord> records = log.records();
    records.removeAt(number - 1);
    log.setRecords(std::move(records));
    return true;
}

// ---- archive and restore --------------------------------------------------------------

QString archiveProposedPath(const QString& backupFolder, const QString& ownCall,
                            const QDate& localDate) {
    return backupFolder + QLatin1Char('/') + CallFileStem(ownCall) +
           localDate.toString(QStringLiteral("yyyy-MM-dd")) + QStringLiteral(".log");
}

bool archiveLog(const QString& logPath, const QString& backupFolder, const QString& ownCall,
                UserPrompts& prompts, const Clock& clock) {
    prompts.message(QStringLiteral("Archive Information"),
                    QStringLiteral("This function is used to create a permanent copy of your "
                                   "currently open log file.  To open your log file at a later "
                                   "date, click File > Restore from Archive or Backup."),
                    PromptButtons::Ok, PromptIcon::Information);
    // The dialog opens in the backup folder; should it be missing the dialog still opens.
    QDir().mkpath(backupFolder);
    FileDialogRequest request;
    request.title = QStringLiteral("Archive Current Log");
    request.folder = backupFolder;
    request.proposedPath = archiveProposedPath(backupFolder, ownCall, clock.localNow().date());
    request.filter = QString::fromLatin1(kLogFileFilter);
    request.confirmOverwrite = true;
    const QString target = prompts.saveFile(request);
    if (target.isEmpty()) {
        return false;
    }
    QString error;
    const std::optional<QByteArray> content = readWholeFile(logPath, &error, kMaxLogBytes);
    if (!content) {
        prompts.message(archiveErrorTitle(), error, PromptButtons::Ok, PromptIcon::Critical);
        return false;
    }
    if (const std::optional<QString> writeError = writeFileAtomically(target, *content)) {
        prompts.message(archiveErrorTitle(), *writeError, PromptButtons::Ok, PromptIcon::Critical);
        return false;
    }
    return true;
}

namespace {
bool confirmRestore(const ContactLog& log, UserPrompts& prompts) {
    prompts.message(QStringLiteral("Opening Archived Data Information"),
                    QStringLiteral("This action will open an archived log or backup file and "
                                   "creates a working file called log.txt.  If you make any "
                                   "changes to your archived data that you would like to "
                                   "permanently save, before you click File > New to start a new "
                                   "contest, be sure to click File > Archive to save your "
                                   "changes."),
                    PromptButtons::Ok, PromptIcon::Information);
    if (log.count() == 0) {
        return true;
    }
    return prompts.message(QStringLiteral("Are your sure?"),
                           QStringLiteral("Are you sure that you want to open an archived log?  "
                                          "This action will clear and replace existing QSO data."),
                           PromptButtons::YesNo, PromptIcon::Question) == PromptAnswer::Yes;
}

QString notALogText(const QString& path, const RecordError& fault) {
    const QString name = QFileInfo(path).fileName();
    const QString where = fault.line > 0 ? QStringLiteral("line %1, field %2: %3")
                                               .arg(fault.line)
                                               .arg(fault.field)
                                               .arg(fault.message)
                                         : fault.message;
    return QStringLiteral("%1 is not a log this program can open (%2).\n\nYour current log "
                          "was not changed.")
        .arg(name, where);
}
} // namespace

bool restoreLog(const ContactLog& log, const QString& logPath, const QString& backupFolder,
                UserPrompts& prompts) {
    if (!confirmRestore(log, prompts)) {
        return false;
    }
    FileDialogRequest request;
    request.title = QStringLiteral("Restore from Archive or Backup");
    request.folder = backupFolder;
    request.filter = QString::fromLatin1(kLogFileFilter);
    request.confirmOverwrite = false;
    const QString source = prompts.openFile(request);
    if (source.isEmpty()) {
        return false;
    }
    QString error;
    const std::optional<QByteArray> content = readWholeFile(source, &error, kMaxLogBytes);
    if (!content) {
        prompts.message(restoreErrorTitle(), error, PromptButtons::Ok, PromptIcon::Critical);
        return false;
    }
    // Only a file that loads as a log may replace the working log: the load that follows
    // would otherwise end the program on a file the operator cannot get back.
    ContactLog probe;
    if (const std::optional<RecordError> fault = probe.loadFromText(*content)) {
        prompts.message(restoreErrorTitle(), notALogText(source, *fault), PromptButtons::Ok,
                        PromptIcon::Critical);
        return false;
    }
    if (const std::optional<QString> writeError = writeFileAtomically(logPath, *content)) {
        prompts.message(restoreErrorTitle(), *writeError, PromptButtons::Ok, PromptIcon::Critical);
        return false;
    }
    return true;
}

} // namespace ditlog
