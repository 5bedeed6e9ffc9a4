// Frequencies to the logger's bands and modes, and the frequency texts the rig link shows
// and stores.
#pragma once

#include "rig/BandPlan.h"

#include <QString>

#include <optional>

namespace ditlog {

// The log band ("160" ... "6") of a frequency in MHz; nothing outside those bands
// (30, 17 and 12 m included). Edges are exclusive, a hair outside each band.
std::optional<QString> bandForFrequency(double mhz);

// "CW" or "PH" by the fixed segment table; nothing on an edge, outside every segment and
// on 160 m.
std::optional<QString> ModeFromFrequency(double mhz);

// The mode word for a frequency by the band plan's rows: the first row with low < f <
// high gives the segment; nothing on 160 m and outside every row; "CW" segments stay
// "CW"; phone is "LSB" on 80 and 40 m and "USB" elsewhere (60 m channels are USB).
QString BandPlanMode(double mhz, const QList<BandPlanRow>& table);

// A number with a fixed count of decimals and no leading zero before the point
// (".500"), optionally with thousands separators: the "#,###.##0" style of formats.
QString fixedDecimals(double value, int decimals, bool thousands = false);
// The frequency stored with a contact, "#####.##0": 14.0253 gives "14.025".
QString rigFrequencyText(double mhz);
// The frequency shown in the rig window, "###.####0".
QString rigDisplayFrequency(double mhz);

} // namespace ditlog
