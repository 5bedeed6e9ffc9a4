// The arithmetic of the tune panel: which texts count as frequencies, the step and band
// buttons, and the scan's next frequency with its "####.#####" text.
#pragma once

#include <QList>
#include <QString>

#include <optional>

namespace ditlog {

struct TuneStep {
    QString caption; // "10 Hz" ... "1 MHz"
    double mhz = 0;
};
struct BandPreset {
    QString caption; // "160" ... "23"
    QString frequency; // the text put into the frequency box
    QString accessibleName;
};
struct ScanStep {
    QString caption; // "500 Hz" ...
    double mhz = 0;
};

const QList<TuneStep>& tuneSteps();    // the five steps of the UP and Down rows
const QList<BandPreset>& bandPresets(); // the sixteen band buttons
const QList<ScanStep>& scanSteps();    // the "Scan Steps" options in their order

// A number typed into one of the panel's boxes: blanks around it allowed, no letters,
// finite and below a million MHz. Nothing for anything else (so nothing is sent).
std::optional<double> panelNumber(const QString& text);

// The frequency box after a step button: the value plus step, as plain decimal text
// rounded to the hertz ("14.026"); nothing when the result would not be above zero.
std::optional<QString> steppedFrequencyText(double mhz, double step);

// One scan tick: frequency plus step, back to from once past to.
double nextScanFrequency(double mhz, double from, double to, double step);
// "####.#####": up to five decimals, no trailing zeros, the point kept, no zero before it
// ("1.8", "53.9995", ".5", "2.").
QString scanFrequencyText(double mhz);

} // namespace ditlog
