// Finding and reading earlier logs.
#include "assist/EarlierLogs.h"

#include "assist/AidFile.h"
#include "log/LogSalvage.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace ditlog {

namespace {
// A log holds at most 12,000 records of about 100 bytes.
constexpr qint64 kMaxLogBytes = 16 * 1024 * 1024;
} // namespace

QStringList earlierLogFiles(const QString& dataFolder, const QString& backupFolder) {
    QFileInfoList found;
    for (const QString& folder : {dataFolder, backupFolder}) {
        if (folder.isEmpty()) {
            continue;
        }
        const QDir dir(folder);
        found += dir.entryInfoList({QStringLiteral("*.log"), QStringLiteral("*.LOG")},
                                   QDir::Files | QDir::Readable);
    }
    std::sort(found.begin(), found.end(), [](const QFileInfo& a, const QFileInfo& b) {
        return a.lastModified() > b.lastModified();
    });
    QStringList paths;
    for (const QFileInfo& info : std::as_const(found)) {
        const QString path = info.canonicalFilePath();
        if (!paths.contains(path)) {
            paths.append(path);
        }
        if (paths.size() >= kMaxEarlierLogs) {
            break;
        }
    }
    return paths;
}

QList<ContactRecord> earlierLogRecords(const QString& path) {
    const std::optional<QByteArray> content = readAidFile(path, nullptr, kMaxLogBytes);
    if (!content) {
        return {};
    }
    return salvageLog(*content).records;
}

} // namespace ditlog
