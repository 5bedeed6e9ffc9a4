// libFuzzer entry: received text from a spot source.
#include "FuzzTargetsSpots.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ditlog::testing::fuzzSpotLines(data, size);
    return 0;
}
