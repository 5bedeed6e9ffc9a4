// Band and mode tables for frequencies, and the fixed-decimal texts.
#include "rig/BandConversion.h"

#include <algorithm>
#include <cmath>

namespace ditlog {

namespace {
struct Range {
    double above;
    double below;
    const char* value;
};

constexpr Range kBands[] = {
    {1.7999, 2.0001, "160"},    {3.4999, 4.0001, "80"},     {6.9999, 7.3001, "40"},
    {13.9999, 14.3501, "20"},   {20.9999, 21.4501, "15"},   {27.9999, 29.7001, "10"},
    {49.9999, 54.0001, "6"},
};

constexpr Range kModes[] = {
    {3.5, 3.6, "CW"},       {3.6, 4, "PH"},         {7, 7.125, "CW"},       {7.125, 7.3, "PH"},
    {10.1, 10.15, "CW"},    {14, 14.15, "CW"},      {14.15, 14.35, "PH"},   {18.068, 18.11, "CW"},
    {18.11, 18.168, "PH"},  {21, 21.2, "CW"},       {21.2, 21.45, "PH"},    {24.89, 24.93, "CW"},
    {24.93, 24.99, "PH"},   {28, 28.3, "CW"},       {28.3, 29.7, "PH"},     {50, 50.1, "CW"},
    {50.1, 54, "PH"},       {144, 144.1, "CW"},     {144.1, 148, "PH"},
};

template <size_t N>
std::optional<QString> lookUp(const Range (&table)[N], double mhz) {
    for (const Range& r : table) {
        if (mhz > r.above && mhz < r.below) {
            return QString::fromLatin1(r.value);
        }
    }
    return std::nullopt;
}
} // namespace

std::optional<QString> bandForFrequency(double mhz) {
    return lookUp(kBands, mhz);
}

std::optional<QString> ModeFromFrequency(double mhz) {
    return lookUp(kModes, mhz);
}

QString BandPlanMode(double mhz, const QList<BandPlanRow>& table) {
    for (const BandPlanRow& row : table) {
        if (row.low < mhz && mhz < row.high) {
            if (row.band == QLatin1String("160")) {
                return {};
            }
            if (row.mode != QLatin1String("PH")) {
                return row.mode;
            }
            const bool lowerSideband =
                row.band == QLatin1String("80") || row.band == QLatin1String("40");
            return QString::fromLatin1(lowerSideband ? "LSB" : "USB");
        }
    }
    return {};
}

QString fixedDecimals(double value, int decimals, bool thousands) {
    if (!std::isfinite(value)) {
        return {};
    }
    QString text = QString::number(std::abs(value), 'f', decimals);
    if (text.startsWith(QLatin1String("0."))) {
        text.remove(0, 1);
    }
    if (thousands) {
        const qsizetype point = text.indexOf(QLatin1Char('.'));
        for (qsizetype i = (point < 0 ? text.size() : point) - 3; i > 0; i -= 3) {
            text.insert(i, QLatin1Char(','));
        }
    }
    const bool negative = value < 0 && std::any_of(text.begin(), text.end(), [](QChar c) {
                              return c >= QLatin1Char('1') && c <= QLatin1Char('9');
                          });
    return negative ? QLatin1Char('-') + text : text;
}

QString rigFrequencyText(double mhz) {
    return fixedDecimals(mhz, 3);
}

QString rigDisplayFrequency(double mhz) {
    return fixedDecimals(mhz, 5);
}

} // namespace ditlog
