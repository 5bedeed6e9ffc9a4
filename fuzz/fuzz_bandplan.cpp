// libFuzzer entry: "BandPlan.txt" of any bytes.
#include "FuzzTargetsRig.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ditlog::testing::fuzzBandPlan(data, size);
    return 0;
}
