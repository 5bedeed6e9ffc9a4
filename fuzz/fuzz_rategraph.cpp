// libFuzzer entry: bytes as "log.txt" for the rate graph and as spot frequencies for the
// band maps.
#include "FuzzTargetsCharts.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ditlog::testing::fuzzRateGraph(data, size);
    return 0;
}
