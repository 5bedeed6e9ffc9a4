// Installing a converted country file and describing the change.
#include "log/CountryDataUpdate.h"

#include "log/DataFolders.h"
#include "log/RecordFile.h"

#include <QDir>
#include <QFile>
#include <QLocale>

namespace ditlog {

namespace {

const QString kPrefixFileName = QStringLiteral("arrlpre2.txt");
const QString kCountryFileName = QStringLiteral("ADIFCnt.txt");
constexpr int kNamesShown = 12;

QString nameList(const QStringList& names) {
    QStringList shown = names.mid(0, kNamesShown);
    if (names.size() > kNamesShown) {
        shown.append(QStringLiteral("and %1 more").arg(names.size() - kNamesShown));
    }
    return shown.join(QStringLiteral(", "));
}

} // namespace

QString countryDataPath(const DataFolders& folders, const QString& name) {
    for (const QString& folder : {folders.SharedFolder, folders.DataFolder, folders.WorkingFolder}) {
        if (!folder.isEmpty() && QFile::exists(QDir(folder).filePath(name))) {
            return QDir(folder).filePath(name);
        }
    }
    return QDir(folders.SharedFolder).filePath(name);
}

std::optional<QString> installCountryFiles(const DataFolders& folders, const CountryFiles& files) {
    const QString countryPath = countryDataPath(folders, kCountryFileName);
    const QString prefixPath = countryDataPath(folders, kPrefixFileName);
    const bool hadCountryFile = QFile::exists(countryPath);
    const std::optional<QByteArray> oldCountry =
        hadCountryFile ? readWholeFile(countryPath) : std::optional<QByteArray>(QByteArray());
    if (!oldCountry) {
        return QStringLiteral("%1 cannot be read.").arg(QDir::toNativeSeparators(countryPath));
    }
    if (const auto error = writeFileAtomically(countryPath, files.countryFile)) {
        return *error;
    }
    if (const auto error = writeFileAtomically(prefixPath, files.prefixFile)) {
        if (hadCountryFile) {
            writeFileAtomically(countryPath, *oldCountry);
        } else {
            QFile::remove(countryPath);
        }
        return *error;
    }
    return std::nullopt;
}

QString describeCountryDataChanges(const CountryDataChanges& changes, const QString& version,
                                   const QString& versionInUse) {
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    QStringList lines;
    QString heading = version.isEmpty() ? QStringLiteral("This country file names no version.")
                                        : QStringLiteral("Country file version %1").arg(version);
    if (!versionInUse.isEmpty() && !version.isEmpty()) {
        heading += QStringLiteral(" (in use: %1)").arg(versionInUse);
    }
    if (!version.isEmpty()) {
        heading += u'.';
    }
    lines.append(heading);
    lines.append(QStringLiteral("%1 entities, %2 prefixes.")
                     .arg(english.toString(changes.entityCount),
                          english.toString(changes.prefixCount)));
    if (!changes.entitiesAdded.isEmpty()) {
        lines.append(QStringLiteral("Entities added (%1): %2")
                         .arg(QString::number(changes.entitiesAdded.size()),
                              nameList(changes.entitiesAdded)));
    }
    if (!changes.entitiesRemoved.isEmpty()) {
        lines.append(QStringLiteral("Entities removed (%1): %2")
                         .arg(QString::number(changes.entitiesRemoved.size()),
                              nameList(changes.entitiesRemoved)));
    }
    lines.append(QStringLiteral("Prefixes added: %1, removed: %2.")
                     .arg(english.toString(changes.prefixesAdded),
                          english.toString(changes.prefixesRemoved)));
    return lines.join(u'\n');
}

} // namespace ditlog
