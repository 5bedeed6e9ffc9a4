// Fuzz target for what the rig daemon sends back (rigctld's extended answers).
#pragma once

#include <cstddef>
#include <cstdint>

namespace ditlog::testing {

// The input as bytes from the daemon: the decode gives nothing or a frequency within
// reason and "CW" or "PH"; the count of whole answers never falls as bytes arrive and
// matches the answers split out; the input as a typed query becomes one clean command
// line or nothing. Ends the process through qFatal when a rule does not hold.
void fuzzRigctldReplies(const uint8_t* data, size_t size);

} // namespace ditlog::testing
