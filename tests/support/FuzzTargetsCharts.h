// The fuzz target for the pictures: a "log.txt" of any bytes drawn as a rate graph, and
// the same bytes as spot frequencies placed on the band maps.
#pragma once

#include <cstddef>
#include <cstdint>

namespace ditlog::testing {

// The graph of whatever log the bytes make has finite rates, a range to draw them in,
// band indexes within the legend and 15 time labels in order; spot frequencies of any
// value give finite scales and positions, and the stacking stays within its rows.
void fuzzRateGraph(const uint8_t* data, size_t size);

} // namespace ditlog::testing
