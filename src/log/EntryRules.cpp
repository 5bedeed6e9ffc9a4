// Entry-row rules that need no window.
#include "log/EntryRules.h"

#include <QDate>
#include <QTime>

#include <cmath>

namespace ditlog {

int Capital(int key) { return (key >= 'a' && key <= 'z') ? key - 32 : key; }

int number(int key) { return (isDigitKey(key) || key == kBackspace) ? key : 0; }

bool forwardsDigitToReport(const QString& call, int key, bool caretAtEnd) {
    if (call.size() <= 2 || !isDigitKey(key) || !caretAtEnd) {
        return false;
    }
    int digits = 0;
    qsizetype lastDigit = -1;
    for (qsizetype i = 1; i < call.size(); ++i) {
        const char16_t c = call.at(i).unicode();
        if (c < u'0') {
            return false;
        }
        if (c >= u'0' && c <= u'9') {
            ++digits;
            lastDigit = i;
        }
    }
    return digits > 0 && lastDigit != call.size() - 1;
}

QString canadianProvince(const QString& call) {
    static const QHash<QString, QString> provinces{
        {QStringLiteral("VE1"), QStringLiteral("NS")}, {QStringLiteral("VE2"), QStringLiteral("QC")},
        {QStringLiteral("VE3"), QStringLiteral("ON")}, {QStringLiteral("VE4"), QStringLiteral("MB")},
        {QStringLiteral("VE5"), QStringLiteral("SK")}, {QStringLiteral("VE6"), QStringLiteral("AB")},
        {QStringLiteral("VE7"), QStringLiteral("BC")}, {QStringLiteral("VE8"), QStringLiteral("NT")},
        {QStringLiteral("VE9"), QStringLiteral("NB")}, {QStringLiteral("VY1"), QStringLiteral("YK")},
        {QStringLiteral("VY2"), QStringLiteral("PE")}, {QStringLiteral("VO1"), QStringLiteral("NL")},
        {QStringLiteral("VO2"), QStringLiteral("NL")},
    };
    return provinces.value(call.left(3).toUpper());
}

float contactPoints(const QString& exchange) {
    return (numericValue(exchange) && exchange.size() >= 2) ? 5.0f : 2.0f;
}

std::optional<QString> normalisedPostContestDate(const QString& text) {
    const QString t = text.trimmed();
    QDate d;
    for (const char* format : {"yyyy/M/d", "M/d/yyyy", "yyyyMMdd"}) {
        d = QDate::fromString(t, QLatin1String(format));
        if (d.isValid()) {
            break;
        }
    }
    if (!d.isValid()) {
        return std::nullopt;
    }
    return d.toString(QStringLiteral("yyyy/MM/dd"));
}

std::optional<QString> normalisedPostContestTime(const QString& text) {
    QString t = text.trimmed();
    if ((t.size() == 3 || t.size() == 4) && numericValue(t)) {
        t.insert(t.size() - 2, QLatin1Char(':'));
    }
    if (const QTime time = QTime::fromString(t, QStringLiteral("H:m")); time.isValid()) {
        return time.toString(QStringLiteral("HH:mm"));
    }
    // Seconds typed are kept: "9:45:30" is stored as 09:45:30.
    if (const QTime time = QTime::fromString(t, QStringLiteral("H:m:s")); time.isValid()) {
        return time.toString(QStringLiteral("HH:mm:ss"));
    }
    return std::nullopt;
}

} // namespace ditlog
