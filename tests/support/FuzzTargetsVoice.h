// Fuzz targets for the voice keyer's inputs: wave file headers and "wave2.txt".
#pragma once

#include <cstddef>
#include <cstdint>

namespace ditlog::testing {

// The input checked as the head of a wave file of its own size: an accepted file has
// sound data that lies inside the input, a sample format the player knows and a playing
// time that matches its data.
void fuzzWaveHeader(const uint8_t* data, size_t size);

// The input read as "wave2.txt": the values read are within their ranges, and what is
// written from them reads back as the same values and writes out as the same bytes.
void fuzzWaveList(const uint8_t* data, size_t size);

} // namespace ditlog::testing
