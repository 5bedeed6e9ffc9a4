// Fuzz targets for the keyer's readers of untrusted input.
#pragma once

#include <cstddef>
#include <cstdint>

namespace ditlog::testing {

// The input read as "CW.txt": every message and field comes out storable (no quote, no
// line break), the keying line is one of the known values, and writing the settings and
// reading them back gives the same settings (an empty F9 message reads back as "VVV DE ").
void fuzzCwSettings(const uint8_t* data, size_t size);

} // namespace ditlog::testing
