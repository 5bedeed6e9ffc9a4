// Fuzz target for what a WinKeyer (or anything on its port) sends the program.
#pragma once

#include <cstddef>
#include <cstdint>

namespace ditlog::testing {

// The input split into the keyer's answers to the open sequence and, after it, bytes
// the keyer sends unasked interleaved with characters, backspaces and clears from the
// program: opening ends with a documented result, and the pending count never goes
// below 0, above the characters handed over (unless XOFF holds it at 5), and is 0
// after a clear.
void fuzzWinKeyerBytes(const uint8_t* data, size_t size);

} // namespace ditlog::testing
