// Rounding of decoded frequencies and the update of the link's status.
#include "rig/RigReading.h"

#include <cmath>

namespace ditlog {

double roundTo5(double mhz) {
    return std::round(mhz * 1e5) / 1e5;
}

void RigStatus::apply(const RigReading& reading) {
    if (reading.frequency) {
        frequency = *reading.frequency;
    }
    if (reading.mode) {
        mode = *reading.mode;
    }
    if (reading.vfo) {
        vfo = *reading.vfo;
    }
}

} // namespace ditlog
