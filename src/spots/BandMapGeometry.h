// The arithmetic of both band maps: band edges, the scale of one band zoomed to its
// spots, where a frequency sits on an axis, the age colours, the hover text and the
// stacking of labels that would overlap.
#pragma once

#include "spots/SpotStore.h"

#include <QDateTime>
#include <QList>
#include <QString>

#include <array>
#include <optional>

namespace ditlog {

struct BandEdges {
    double lower = 0;
    double upper = 0;
};

// The main band map's edges of a band ("160" .. "440"); both 0 for a band it does not know.
BandEdges mainBandEdges(const QString& band);

// The eleven rows of the spectrum map, 160 m at the top to 2 m at the bottom.
struct SpectrumRow {
    const char* band; // metres
    BandEdges edges;
};
constexpr int kSpectrumRows = 11;
const std::array<SpectrumRow, kSpectrumRows>& spectrumRows();
// The row whose fixed edges hold the frequency strictly, or -1.
int spectrumRowOf(double mhz);

// Narrows the edges to the span of the spots of slots 1..49 strictly inside them, with
// a kilohertz to spare on each side, when at least two frequencies differ.
void ZoomToSpots(const SpotStore& store, double& upper, double& lower);

// The five values of a band's scale, each rounded to three decimals as shown.
using BandScale = std::array<double, 5>;
BandScale bandScale(const SpotStore& store, BandEdges edges);
// A scale value as shown: "#.000" (1.8 gives "1.800", 0 gives ".000").
QString scaleText(double value);

// The centre of a frequency on an axis from x1 to x2 whose scale runs from s0 to s4;
// nothing when the scale is empty (s4 <= s0).
std::optional<double> axisPosition(double mhz, double s0, double s4, double x1, double x2);
// True when a spot of this frequency is drawn on a scale from s0 to s4 (strictly inside).
bool onScale(double mhz, double s0, double s4);

// The text colour of a spot by its age in seconds: light yellow below 10 minutes, white
// below 30, grey below an hour; nothing from an hour on (the spot is not drawn).
// Colours are 0xRRGGBB.
std::optional<quint32> SpotAgeColour(qint64 ageSeconds);
constexpr qint64 kSpotShownSeconds = 3600;

// What hovering over a spot shows: call, frequency and the UTC time of reception.
QString spotHoverText(const DxSpot& spot, float utcOffsetHours);

// Stacking: items (left, right edges in pixels) taken in order get the lowest row where
// they overlap nothing placed before them; when every row is taken, the row where they
// cover the least. Returns the row of each item.
struct LabelSpan {
    int left = 0;
    int right = 0; // exclusive
};
QList<int> stackRows(const QList<LabelSpan>& spans, int rows);

} // namespace ditlog
