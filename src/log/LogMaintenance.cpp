// Backup copies, the new-log confirmation and the UTC offset check.
#include "log/LogMaintenance.h"

#include "platform/Clock.h"
#include "platform/UserPrompts.h"

#include <QDir>
#include <QLocale>

#include <cmath>

namespace ditlog {

QDateTime logNow(const Clock& clock, float utcOffset) {
    const QDateTime local = clock.localNow();
    const QDateTime plain(local.date(), local.time(), Qt::UTC);
    return plain.addSecs(qint64(std::lround(double(utcOffset) * 60.0)) * 60);
}

QString backupFileName(const QDateTime& local) {
    return local.toString(QStringLiteral("yyyyMMddHHmm")) + QStringLiteral(".log");
}

bool Backup(const ContactLog& log, const QString& logPath, const QString& backupFolder,
            const Clock& clock) {
    if (log.count() == 0 || log.count() == log.backupReferenceCount()) {
        return false;
    }
    if (!QDir().mkpath(backupFolder)) {
        return false;
    }
    const auto content = readWholeFile(logPath);
    if (!content) {
        return false;
    }
    const QString target = QDir(backupFolder).filePath(backupFileName(clock.localNow()));
    return !writeFileAtomically(target, *content).has_value();
}

bool askNewLog(UserPrompts& prompts) {
    const QString answer = prompts.input(
        QStringLiteral("WARNING - Your existing log file will be ERASED!"),
        QStringLiteral("Are you sure that you want to start a new log file?  This function will "
                       "ERASE the existing log file!\n\nTo verify that you want to start a new "
                       "log file, please type: YES"));
    return answer.toUpper() == QLatin1String("YES");
}

double recommendedUtcOffset(const Clock& clock) {
    const QDateTime local = clock.localNow();
    const QDateTime utc = clock.utcNow();
    const QDateTime localPlain(local.date(), local.time(), Qt::UTC);
    const QDateTime utcPlain(utc.date(), utc.time(), Qt::UTC);
    const double minutes = std::round(localPlain.secsTo(utcPlain) / 60.0);
    return std::round(minutes / 60.0 * 100.0) / 100.0;
}

std::optional<float> UtcOffsetCheck(const Clock& clock, UserPrompts& prompts, float current) {
    const double recommended = recommendedUtcOffset(clock);
    if (std::lround(recommended * 100) == std::lround(double(current) * 100)) {
        return std::nullopt;
    }
    const QString hhmm = QStringLiteral("HH:mm");
    const QString prompt =
        QStringLiteral("Would you like to adjust the UTC offset in this program for your local "
                       "time setting?\n\nCurrent System Time: ") +
        clock.utcNow().toString(hhmm) + QStringLiteral("\n\nCurrent Local Time: ") +
        clock.localNow().toString(hhmm) + QStringLiteral("\n\nRecommended Offset Setting: ") +
        shortestNumber(recommended) + QStringLiteral("\n\nCurrent Offset Setting: ") +
        shortestNumber(current) +
        QStringLiteral("\n\nPlease click OK to accept the recommended change or Cancel to keep "
                       "the current setting.");
    const QString answer = prompts.input(QStringLiteral("Update the Local Time / UTC Offset?"),
                                         prompt, shortestNumber(recommended));
    bool ok = false;
    const double value = QLocale::c().toDouble(answer.trimmed(), &ok);
    if (!ok || !std::isfinite(value) || std::fabs(value) > 24) {
        return std::nullopt;
    }
    return float(value);
}

QString operatingTimeText(double seconds) {
    const qint64 total = qint64(std::fabs(seconds));
    const auto two = [](qint64 v) { return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0')); };
    return two(total / 3600) + QLatin1Char(':') + two((total / 60) % 60) + QLatin1Char(':') +
           two(total % 60);
}

} // namespace ditlog
