// Keeping the good records of a damaged log.
#include "log/LogSalvage.h"

#include <QStringList>

namespace ditlog {

LogSalvage salvageLog(const QByteArray& content) {
    LogSalvage salvage;
    int number = 0;
    qsizetype start = 0;
    while (start < content.size()) {
        qsizetype end = content.indexOf('\n', start);
        if (end < 0) {
            end = content.size();
        }
        ++number;
        const QByteArray line = content.mid(start, end - start);
        start = end + 1;
        if (line.trimmed().isEmpty()) {
            continue;
        }
        ContactLog one;
        const bool whole = !one.loadFromText(line) && one.count() == 1;
        if (whole && salvage.records.size() < ContactLog::kMaxRecords) {
            salvage.records.append(one.record(1));
        } else {
            salvage.damagedLines.append(number);
        }
    }
    return salvage;
}

QString damagedCopyPath(const QString& logPath, const QDateTime& localNow) {
    return logPath + QLatin1Char('.') + localNow.toString(QStringLiteral("yyyyMMdd-HHmmss")) +
           QStringLiteral(".bad");
}

QString lineListText(const QList<int>& lines) {
    constexpr qsizetype kNamed = 10;
    QStringList named;
    for (qsizetype i = 0; i < lines.size() && i < kNamed; ++i) {
        named << QString::number(lines.at(i));
    }
    QString text = QLatin1String(lines.size() == 1 ? "line " : "lines ");
    if (lines.size() > kNamed) {
        return text + named.join(QStringLiteral(", ")) + QStringLiteral(" and ") +
               QString::number(lines.size() - kNamed) + QStringLiteral(" more");
    }
    if (named.size() > 1) {
        const QString last = named.takeLast();
        return text + named.join(QStringLiteral(", ")) + QStringLiteral(" and ") + last;
    }
    return text + named.join(QString());
}

} // namespace ditlog
