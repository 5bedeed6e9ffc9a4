// Score, multiplier and rate rules computed from the contact log.
#include "log/Score.h"

#include "log/ContactLog.h"
#include "log/MultiplierTable.h"
#include "log/StationPreferences.h"
#include "platform/UserPrompts.h"

#include <QStringView>

#include <cmath>

namespace ditlog {

namespace {

constexpr qint64 kSecondsPerDay = 86400;
constexpr qint64 kTwentyMinutes = 1200;
constexpr qint64 kOneHour = 3600;

// A field of digits only (blanks around it allowed); nothing otherwise.
std::optional<int> digitsValue(QStringView text) {
    text = text.trimmed();
    if (text.isEmpty() || text.size() > 9) {
        return std::nullopt;
    }
    int value = 0;
    for (const QChar c : text) {
        if (c < u'0' || c > u'9') {
            return std::nullopt;
        }
        value = value * 10 + (c.unicode() - u'0');
    }
    return value;
}

// Splits text at sep into minParts to maxParts (at most 3) numeric parts.
bool splitNumbers(QStringView text, QChar sep, int minParts, int maxParts, int (&out)[3]) {
    int parts = 0;
    qsizetype start = 0;
    while (true) {
        const qsizetype end = text.indexOf(sep, start);
        const QStringView part = text.mid(start, end < 0 ? -1 : end - start);
        if (parts == maxParts) {
            return false;
        }
        const auto value = digitsValue(part);
        if (!value) {
            return false;
        }
        out[parts++] = *value;
        if (end < 0) {
            break;
        }
        start = end + 1;
    }
    return parts >= minParts;
}

} // namespace

int SectionCheck(const MultiplierTable& table, const QString& spc) {
    return table.find(spc);
}

QString groupedNumber(double value) {
    const double rounded = std::round(value);
    QString digits = QString::number(rounded < 0 ? -rounded : rounded, 'f', 0);
    for (qsizetype at = digits.size() - 3; at > 0; at -= 3) {
        digits.insert(at, u',');
    }
    if (rounded < 0) {
        digits.prepend(u'-');
    }
    return digits;
}

int totalMultipliers(const ContactLog& log) {
    return log.dxContacts() + log.multipliersWorked();
}

double totalScore(const ContactLog& log) {
    return double(log.totalPoints()) * totalMultipliers(log);
}

ScoreTexts scoreTexts(const ContactLog& log) {
    return {groupedNumber(log.count()), groupedNumber(double(log.totalPoints())),
            QString::number(totalMultipliers(log)), groupedNumber(totalScore(log))};
}

QString multipliersWorkedText(int worked) {
    return QStringLiteral("State / Prov Multipliers Worked: ") + QString::number(worked);
}

std::optional<qint64> recordSeconds(const QString& date, const QString& time) {
    int d[3] = {0, 0, 0};
    int t[3] = {0, 0, 0};
    if (!splitNumbers(date, u'/', 3, 3, d) || !splitNumbers(time, u':', 2, 3, t)) {
        return std::nullopt;
    }
    const QDate day(d[0], d[1], d[2]);
    if (!day.isValid() || !QTime::isValid(t[0], t[1], t[2], 0)) {
        return std::nullopt;
    }
    return day.toJulianDay() * kSecondsPerDay + t[0] * 3600 + t[1] * 60 + t[2];
}

std::optional<ContactRates> TimeStats(const ContactLog& log, const QDateTime& now) {
    const qint64 nowSeconds =
        now.date().toJulianDay() * kSecondsPerDay + now.time().msecsSinceStartOfDay() / 1000;
    int last60 = 0;
    int last20 = 0;
    for (int number = log.count(); number >= 1; --number) {
        const ContactRecord& r = log.record(number);
        const auto logged = recordSeconds(r.date, r.time);
        if (!logged) {
            return std::nullopt;
        }
        const qint64 age = nowSeconds - *logged;
        if (age < kTwentyMinutes) {
            ++last20;
        }
        if (age >= kOneHour) {
            break;
        }
        ++last60;
    }
    return ContactRates{last60, 3 * last20};
}

bool NewIndicator(const ContactLog& log, const QString& spcText) {
    if (spcText.size() <= 2) {
        return false;
    }
    for (const char* notAnEntity : {"Not Found", "Canada", "USA"}) {
        if (spcText.compare(QLatin1String(notAnEntity), Qt::CaseInsensitive) == 0) {
            return false;
        }
    }
    return !log.hasEntity(spcText);
}

int countSpc(const ContactLog& log, const QString& code) {
    int n = 0;
    for (const ContactRecord& r : log.records()) {
        if (r.spc.compare(code, Qt::CaseInsensitive) == 0) {
            ++n;
        }
    }
    return n;
}

QString multiplierSummary(const ContactLog& log, int row) {
    const MultiplierRow& m = log.multipliers().row(row);
    return m.name + QStringLiteral("  ") + QStringLiteral("    Total =") +
           QString::number(countSpc(log, m.code));
}

double summaryFontPointSize(int screenWidthTwips, int formSizePercent) {
    return 8.0 * (double(screenWidthTwips) / 9600.0) * (double(formSizePercent) / 100.0);
}

bool writeSummaryAllowed(const StationPreferences& prefs, UserPrompts& prompts) {
    if (prefs.OwnCall.size() < 3) {
        prompts.message(QStringLiteral("Call Sign Required!"),
                        QStringLiteral("Please enter your call in setup."));
        return false;
    }
    return true;
}

} // namespace ditlog
