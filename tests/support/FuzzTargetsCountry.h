// Fuzz target for the country-file conversion behind "Update Country Data".
#pragma once

#include <cstddef>
#include <cstdint>

namespace ditlog::testing {

// The input converted as a country file: a refusal always says why; a conversion gives
// a prefix table that loads with exactly its prefixes, in ascending first characters, and
// a country-number table that reads back as its entities.
void fuzzCountryFile(const uint8_t* data, size_t size);

} // namespace ditlog::testing
