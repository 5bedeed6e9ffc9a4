// Fuzz targets for the readers of the contest aids' files: master call lists and
// call-history files (header and roster forms).
#pragma once

#include <cstddef>
#include <cstdint>

namespace ditlog::testing {

// The input as a master call list: what loads is sorted, without repeats, every call
// listable; the searches for fragments taken from the input find exactly the calls a
// plain scan finds; a failed load leaves the earlier list as it was.
void fuzzMasterList(const uint8_t* data, size_t size);

// The input as a call-history file: every value is storable (no double quote, no control
// character, nothing outside Latin-1), upper case where the fields take capitals and
// within the fields' lengths; each call loaded is found again; a failed load leaves the
// earlier history as it was.
void fuzzCallHistory(const uint8_t* data, size_t size);

} // namespace ditlog::testing
