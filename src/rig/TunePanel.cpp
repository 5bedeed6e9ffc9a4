// The tune panel's steps, presets and scan arithmetic.
#include "rig/TunePanel.h"

#include <QLocale>

#include <cmath>

namespace ditlog {

namespace {
constexpr double kMaxPanelMhz = 1e6;
}

const QList<TuneStep>& tuneSteps() {
    static const QList<TuneStep> steps{{QStringLiteral("10 Hz"), 0.00001},
                                       {QStringLiteral("100 Hz"), 0.0001},
                                       {QStringLiteral("1 KHz"), 0.001},
                                       {QStringLiteral("5 KHz"), 0.005},
                                       {QStringLiteral("1 MHz"), 1}};
    return steps;
}

const QList<BandPreset>& bandPresets() {
    static const QList<BandPreset> bands = [] {
        QList<BandPreset> out;
        const std::initializer_list<std::pair<const char*, const char*>> table{
            {"160", "1.9"},  {"80", "3.75"},  {"60", "5.368"},  {"40", "7.15"}, {"30", "10.13"}, {"20", "14.175"},
            {"17", "18.118"}, {"15", "21.225"}, {"12", "24.94"}, {"10", "28.5"}, {"6", "52"},     {"2", "146"},
            {"1.25", "223.5"}, {"70", "435"},  {"33", "915"},   {"23", "1270"}};
        for (const auto& [caption, mhz] : table) {
            const QString c = QLatin1String(caption);
            const bool centimetres = c == QLatin1String("70") || c == QLatin1String("33") || c == QLatin1String("23");
            out.append({c, QLatin1String(mhz),
                        c + (centimetres ? QStringLiteral(" centimetres") : QStringLiteral(" metres"))});
        }
        return out;
    }();
    return bands;
}

const QList<ScanStep>& scanSteps() {
    static const QList<ScanStep> steps{{QStringLiteral("500 Hz"), 0.0005},
                                       {QStringLiteral("100 Hz"), 0.0001},
                                       {QStringLiteral("30 Hz"), 0.00003},
                                       {QStringLiteral("10 Hz"), 0.00001},
                                       {QStringLiteral("2.5 KHz"), 0.0025}};
    return steps;
}

std::optional<double> panelNumber(const QString& text) {
    const QString t = text.trimmed();
    if (t.isEmpty()) {
        return std::nullopt;
    }
    for (const QChar c : t) {
        // Digits, one sign and the point: no exponents, no "nan" or "inf".
        if (!c.isDigit() && c != QLatin1Char('.') && c != QLatin1Char('-') && c != QLatin1Char('+')) {
            return std::nullopt;
        }
    }
    bool ok = false;
    const double value = QLocale::c().toDouble(t, &ok);
    if (!ok || !std::isfinite(value) || std::abs(value) >= kMaxPanelMhz) {
        return std::nullopt;
    }
    return value;
}

std::optional<QString> steppedFrequencyText(double mhz, double step) {
    const double result = std::round((mhz + step) * 1e6) / 1e6;
    if (!std::isfinite(result) || result <= 0 || result >= kMaxPanelMhz) {
        return std::nullopt;
    }
    return QString::number(result, 'f', QLocale::FloatingPointShortest);
}

double nextScanFrequency(double mhz, double from, double to, double step) {
    // To the hertz, so that the sum of a few tenths of steps does not pass an edge it meets.
    const double next = std::round((mhz + step) * 1e6) / 1e6;
    return next > to ? from : next;
}

QString scanFrequencyText(double mhz) {
    QString text = QString::number(std::abs(mhz), 'f', 5);
    while (text.endsWith(QLatin1Char('0'))) {
        text.chop(1);
    }
    if (text.startsWith(QLatin1String("0."))) {
        text.remove(0, 1);
    }
    return mhz < 0 ? QLatin1Char('-') + text : text;
}

} // namespace ditlog
