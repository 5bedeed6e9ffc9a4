// The program's folders: the working folder it started in and the per-user data,
// shared and backup folders under the documents folder.
#pragma once

#include <QString>
#include <QStringList>

#include <functional>

namespace ditlog {

struct DataFolders {
    QString WorkingFolder;
    QString DocumentsFolder;
    QString DataFolder;   // <documents>/TREVO Software/Varns
    QString SharedFolder; // <documents>/TREVO Software/Shared
    QString BackupFolder; // <DataFolder>/BACKUP

    QString workingFile(const QString& name) const;
    QString sharedPreferencesPath() const;
};

using EnvironmentLookup = std::function<QString(const char*)>;

// The first existing candidate of: the XDG documents folder (XDG_DOCUMENTS_DIR or
// ~/.config/user-dirs.dirs), $HOME/Documents, $HOME. On Windows the documented
// USERPROFILE / APPDATA probing. Empty when none exists.
QString findDocumentsFolder(const EnvironmentLookup& env);

// The folder paths derived from a working folder and a documents folder.
DataFolders dataFoldersFor(const QString& workingFolder, const QString& documentsFolder);

struct FolderProblem {
    QString title; // message box title
    QString text;
};

// Creates the data, shared and backup folders (every missing level); returns the
// problems met, each to be shown to the operator, while start-up goes on.
QList<FolderProblem> createDataFolders(const DataFolders& folders);

} // namespace ditlog
