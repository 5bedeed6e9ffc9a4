// Marks of a spot on the maps and in the spot list: a call already worked on the spot's
// band (drawn greyed) or a new state, province or DX entity (drawn on a colour of its own).
// Who decides the mark is handed in as a function; without one nothing is marked.
#pragma once

#include <QString>
#include <QStringView>

#include <functional>

namespace ditlog {

enum class SpotMark { None, Dupe, NewMultiplier };

// Decides the mark of a spotted call on a frequency in MHz.
using SpotMarker = std::function<SpotMark(QStringView call, double mhz)>;

// The text colour of a duplicate (0xRRGGBB), whatever the spot's age.
constexpr quint32 kDupeSpotColour = 0x808080u;
// The background of a new multiplier; the text keeps its age colour.
constexpr quint32 kMultiplierSpotBackground = 0x8B0000u; // dark red
// The list's text colour of a new multiplier (the list has a light background).
constexpr quint32 kMultiplierListColour = 0xB00000u;

// The text colour of a spot label: a duplicate is greyed, any other keeps its age colour.
inline quint32 markedTextColour(quint32 ageColour, SpotMark mark) {
    return mark == SpotMark::Dupe ? kDupeSpotColour : ageColour;
}

// What a screen reader says of the mark: "dupe", "new multiplier", or nothing.
QString spotMarkWords(SpotMark mark);

} // namespace ditlog
