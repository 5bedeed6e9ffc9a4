// The QSO rate graph's figures: for each of 1,500 columns across the log's time span, the
// number of contacts in the ten minutes before, times six, with short pauses bridged,
// a seven-column average, and the band in use for the strip under the curve.
#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

#include <array>
#include <optional>
#include <vector>

namespace ditlog {

class ContactLog;

struct RateContact {
    QDateTime moment; // invalid when the date or time cannot be read
    QString band;
};

// The log's contacts in log order with their moments (date and time read together).
QList<RateContact> rateContacts(const ContactLog& log);
// "yyyy/mm/dd" with "hh:mm:ss" (or "hh:mm") as one UTC moment; invalid otherwise.
QDateTime contactMoment(const QString& date, const QString& time);

// The band strip's colours, 0xRRGGBB, for "160", "80", "40", "20", "15", "10", "6".
constexpr int kLegendBands = 7;
const std::array<const char*, kLegendBands>& legendBands();
const std::array<quint32, kLegendBands>& legendColours();
// The legend index of a band, or -1.
int legendIndex(const QString& band);

struct RateGraph {
    static constexpr int kColumns = 1500;
    static constexpr int kMinimumContacts = 7;

    // Columns 0..kColumns (column 0 is 0 and only starts the curve): six times the
    // ten-minute count of the column's last contact, pauses bridged; and the curve.
    std::vector<float> raw;
    std::vector<float> drawn;
    // The legend index of each column's strip colour, -1 for the background.
    std::vector<int> strip;
    // The drawn range the vertical axis spans (maximum > minimum always).
    double minimum = 0;
    double maximum = 0;
    QDateTime start;
    qint64 spanSeconds = 0;
    std::array<QDateTime, 15> times;  // the time axis labels, first to last contact
    std::array<double, 17> rates{};  // the rate axis labels, bottom to top
};

// The graph of a log, or nothing when it holds fewer than 7 contacts. A log whose
// contacts all share one moment has all its contacts in the first column; a flat curve
// gets a range from 0 to its rate so that it is still drawn and labelled.
std::optional<RateGraph> DrawRateGraph(const QList<RateContact>& contacts);

// The texts of the time axis labels: "HH:mm" where the labels stand a minute or more
// apart, "HH:mm:ss" for shorter logs; a label that would repeat the one shown before it
// is left empty, so that every moment shown is a different one.
std::array<QString, 15> timeAxisTexts(const RateGraph& graph);

// Where things sit on a plot: columns across [left, right], rates between the axis line
// (bottom) and the top line.
struct RatePlot {
    double left = 0;
    double right = 0;
    double top = 0;
    double axis = 0;
    double columnOffset = 0; // the curve starts this far right of the plot's left edge

    double x(int column) const;
    double y(const RateGraph& graph, double rate) const;
};

} // namespace ditlog
