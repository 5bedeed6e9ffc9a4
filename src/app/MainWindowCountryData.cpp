// File > Update Country Data: converts a newer country file chosen by the operator,
// shows what changes and, when confirmed, replaces the prefix and country-number tables
// and reloads the prefix table.
#include "app/MainWindow.h"

#include "log/CountryDataUpdate.h"
#include "log/RecordFile.h"
#include "platform/SettingsStore.h"
#include "platform/UserPrompts.h"

#include <QDir>

namespace ditlog {

namespace {
const QString kTitle = QStringLiteral("Update Country Data");
const QString kVersionKey = QStringLiteral("CountryFileVersion");
} // namespace

void MainWindow::mnuUpdateCountryData_Click() {
    UserPrompts& prompts = m_services.prompts;
    const QString path = prompts.openFile(
        {kTitle, m_folders.DocumentsFolder, {}, QStringLiteral("Country Files (*.csv) | *.csv"),
         false});
    if (path.isEmpty()) {
        return;
    }
    QString readError;
    const auto csv = readWholeFile(path, &readError, kMaxCountryFileBytes + 1);
    const CountryConversion conversion = csv ? convertCountryFile(*csv) : CountryConversion{};
    if (!conversion.files) {
        const QString why = csv ? (conversion.problem.line > 0
                                       ? QStringLiteral("line %1: %2")
                                             .arg(QString::number(conversion.problem.line),
                                                  conversion.problem.text)
                                       : conversion.problem.text)
                                : readError;
        prompts.message(kTitle,
                        QStringLiteral("%1 is not a country file this program can use (%2). "
                                       "The country data in use is unchanged.")
                            .arg(QDir::toNativeSeparators(path), why),
                        PromptButtons::Ok, PromptIcon::Warning);
        return;
    }
    const CountryFiles& fresh = *conversion.files;
    const QByteArray oldPrefixes =
        readWholeFile(countryDataPath(m_folders, QStringLiteral("arrlpre2.txt"))).value_or(QByteArray());
    const QByteArray oldCountries =
        readWholeFile(countryDataPath(m_folders, QStringLiteral("ADIFCnt.txt"))).value_or(QByteArray());
    if (oldPrefixes == fresh.prefixFile && oldCountries == fresh.countryFile) {
        prompts.message(kTitle,
                        QStringLiteral("The country data in use already matches this file. "
                                       "Nothing was changed."),
                        PromptButtons::Ok, PromptIcon::Information);
        return;
    }
    const CountryDataChanges changes = compareCountryData(oldPrefixes, oldCountries, fresh);
    const QString inUse = m_services.settings.value(kVersionKey);
    const QString question = describeCountryDataChanges(changes, fresh.version, inUse) +
                             QStringLiteral("\n\nReplace the country data in use?");
    if (prompts.message(kTitle, question, PromptButtons::YesNo, PromptIcon::Question) !=
        PromptAnswer::Yes) {
        return;
    }
    if (const auto error = installCountryFiles(m_folders, fresh)) {
        prompts.message(QStringLiteral("Unable to write file."),
                        *error + QStringLiteral("\nThe country data in use is unchanged."),
                        PromptButtons::Ok, PromptIcon::Critical);
        return;
    }
    m_services.settings.setValue(kVersionKey, fresh.version);
    stepPrefixTable();
    prompts.message(kTitle,
                    fresh.version.isEmpty()
                        ? QStringLiteral("The country data was replaced.")
                        : QStringLiteral("The country data is now version %1.").arg(fresh.version),
                    PromptButtons::Ok, PromptIcon::Information);
}

} // namespace ditlog
