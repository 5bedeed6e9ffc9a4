// Fuzz targets for the rig link's untrusted input: radio replies, "RigCntrl.txt" and
// "BandPlan.txt". Each ends the process through qFatal when a rule does not hold.
#pragma once

#include <cstddef>
#include <cstdint>

namespace ditlog::testing {

// The first byte picks a radio family and the frequency/mode turn, the rest is what the
// radio sent. Every parser decodes it to nothing or to a frequency within reason, a known
// mode word and a VFO digit; the reply-complete test never turns false as bytes are
// added; the reply buffer, fed the bytes in pieces, never holds more than its bound; the
// answers to the radio's keyer and transmit switch, once read, stay as bytes are added.
void fuzzRigReplies(const uint8_t* data, size_t size);

// The input read as "RigCntrl.txt": every value read lies in its range, and writing the
// settings and reading them back gives the same settings and the same text.
void fuzzRigSettings(const uint8_t* data, size_t size);

// The input read as "BandPlan.txt": edges are finite, every class draws at most 20 bars
// with finite positions and one tag per bar, and the band-plan mode of any frequency is
// empty, a sideband or a segment's own mode.
void fuzzBandPlan(const uint8_t* data, size_t size);

} // namespace ditlog::testing
