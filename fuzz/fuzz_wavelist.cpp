// libFuzzer entry: "wave2.txt" of any bytes.
#include "FuzzTargetsVoice.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ditlog::testing::fuzzWaveList(data, size);
    return 0;
}
