// Where the shipped data files are found.
#include "platform/ShippedData.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSaveFile>

namespace ditlog {

QStringList shippedDataFolders() {
    QStringList folders;
    if (QCoreApplication::instance()) {
        folders.append(QDir(QCoreApplication::applicationDirPath())
                           .absoluteFilePath(QStringLiteral("../share/ditlog")));
    }
#ifdef DITLOG_SOURCE_DATA_DIR
    folders.append(QStringLiteral(DITLOG_SOURCE_DATA_DIR));
#endif
    return folders;
}

QString shippedDataPath(const QString& name) {
    if (name.isEmpty() || QDir::isAbsolutePath(name) || name.contains(QStringLiteral(".."))) {
        return {};
    }
    for (const QString& folder : shippedDataFolders()) {
        const QString path = QDir(folder).filePath(name);
        if (QFileInfo(path).isFile()) {
            return QDir::cleanPath(path);
        }
    }
    const QString resource = QStringLiteral(":/data/") + name;
    return QFile::exists(resource) ? resource : QString();
}

std::optional<QByteArray> readShippedData(const QString& name) {
    const QString path = shippedDataPath(name);
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    return file.readAll();
}

std::optional<QString> placeShippedFile(const QString& name, const QString& folder) {
    const QString target = QDir(folder).filePath(name);
    if (QFile::exists(target)) {
        return std::nullopt;
    }
    const auto content = readShippedData(name);
    if (!content) {
        return QStringLiteral("%1 is missing from this installation.").arg(name);
    }
    QDir().mkpath(QFileInfo(target).absolutePath());
    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly) || out.write(*content) != content->size() || !out.commit()) {
        return QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(target), out.errorString());
    }
    return std::nullopt;
}

} // namespace ditlog
