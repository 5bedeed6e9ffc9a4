// libFuzzer entry: "PackSpot.txt" of any bytes.
#include "FuzzTargetsSpots.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ditlog::testing::fuzzPackSpot(data, size);
    return 0;
}
