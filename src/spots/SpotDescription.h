// What a screen reader says of a spot on the band maps: its call, frequency and age. Marks
// that tell more about a spot (worked before, a new multiplier) belong here too, after
// the age, so that every map says them the same way.
#pragma once

#include "spots/SpotMark.h"
#include "spots/SpotStore.h"

#include <QString>

namespace ditlog {

// "OH2BH, 14.025 MHz, 3 minutes old", then its mark ("..., dupe", "..., new
// multiplier"); an age below 0 (unknown) is left out.
QString spotDescription(const DxSpot& spot, qint64 ageSeconds, SpotMark mark = SpotMark::None);

} // namespace ditlog
