// Locating the documents folder and creating the program's folders beneath it.
#include "log/DataFolders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace ditlog {

QString DataFolders::workingFile(const QString& name) const {
    return QDir(WorkingFolder).filePath(name);
}

QString DataFolders::sharedPreferencesPath() const {
    return QDir(SharedFolder).filePath(QStringLiteral("SharedUserPreferences.xml"));
}

namespace {
bool isDirectory(const QString& path) { return !path.isEmpty() && QFileInfo(path).isDir(); }

// XDG_DOCUMENTS_DIR="$HOME/Documents" from user-dirs.dirs, with $HOME expanded.
QString xdgDocumentsFromUserDirs(const QString& configHome, const QString& home) {
    QFile file(QDir(configHome).filePath(QStringLiteral("user-dirs.dirs")));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        return {};
    }
    static const QRegularExpression line(QStringLiteral("^XDG_DOCUMENTS_DIR=\"(.*)\"\\s*$"));
    while (!file.atEnd()) {
        const auto match = line.match(QString::fromUtf8(file.readLine()).trimmed());
        if (match.hasMatch()) {
            QString value = match.captured(1);
            value.replace(QStringLiteral("$HOME"), home);
            return value;
        }
    }
    return {};
}
} // namespace

QString findDocumentsFolder(const EnvironmentLookup& env) {
    QStringList candidates;
#ifdef Q_OS_WIN
    const QString profile = env("USERPROFILE");
    if (!profile.isEmpty()) {
        candidates << profile + QStringLiteral("/My Documents") << profile + QStringLiteral("/Documents");
    }
    candidates << QStringLiteral("c:/My Documents") << env("APPDATA");
#else
    const QString home = env("HOME");
    QString xdg = env("XDG_DOCUMENTS_DIR");
    if (xdg.isEmpty() && !home.isEmpty()) {
        QString configHome = env("XDG_CONFIG_HOME");
        if (configHome.isEmpty()) {
            configHome = home + QStringLiteral("/.config");
        }
        xdg = xdgDocumentsFromUserDirs(configHome, home);
    }
    candidates << xdg;
    if (!home.isEmpty()) {
        candidates << home + QStringLiteral("/Documents") << home;
    }
#endif
    for (const QString& candidate : candidates) {
        if (isDirectory(candidate)) {
            return QDir::cleanPath(candidate);
        }
    }
    return {};
}

DataFolders dataFoldersFor(const QString& workingFolder, const QString& documentsFolder) {
    DataFolders f;
    f.WorkingFolder = workingFolder;
    f.DocumentsFolder = documentsFolder;
    const QString base = documentsFolder + QStringLiteral("/TREVO Software");
    f.DataFolder = base + QStringLiteral("/Varns");
    f.SharedFolder = base + QStringLiteral("/Shared");
    f.BackupFolder = f.DataFolder + QStringLiteral("/BACKUP");
    return f;
}

QList<FolderProblem> createDataFolders(const DataFolders& folders) {
    QList<FolderProblem> problems;
    if (folders.DocumentsFolder.isEmpty()) {
        problems.append({QStringLiteral("User Access Directory Error"),
                         QStringLiteral("No documents folder was found for this user.")});
        return problems;
    }
    for (const QString& path : {folders.DataFolder, folders.SharedFolder, folders.BackupFolder}) {
        if (!QDir().mkpath(path)) {
            problems.append({QStringLiteral("Unable to create directory."),
                             QStringLiteral("The folder \"%1\" could not be created.")
                                 .arg(QDir::toNativeSeparators(path))});
        }
    }
    return problems;
}

} // namespace ditlog
