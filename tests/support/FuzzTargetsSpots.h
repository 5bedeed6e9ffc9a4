// Fuzz targets for the readers of spot-source input: received text through the filter,
// the line splitter and the field rule; the AGW frame decoder; "PackSpot.txt".
#pragma once

#include <cstddef>
#include <cstdint>

namespace ditlog::testing {

// The input as received text, given whole and again in pieces whose sizes come from the
// input itself, through the Telnet filter, the TNC and Telnet examinations and an engine
// frame: the console stays within its bound and free of control characters, every posted
// spot has fields within their columns and a record without CR, the pending line stays
// within the line limit, and the Telnet spots, the filtered text and the replies do not
// depend on where the input was cut.
void fuzzSpotLines(const uint8_t* data, size_t size);

// The input as a stream from the packet engine, whole and in pieces: the same frames
// either way, each within the data limit with calls of at most ten characters, the
// decoder's buffer bounded, and every frame encoding back to a frame that decodes equal.
void fuzzAgwFrames(const uint8_t* data, size_t size);

// The input as "PackSpot.txt": what is read lies within the documented sets, and writing
// it and reading that back gives the same settings and the same text.
void fuzzPackSpot(const uint8_t* data, size_t size);

} // namespace ditlog::testing
