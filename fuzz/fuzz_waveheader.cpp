// libFuzzer entry: A wave file header of any bytes.
#include "FuzzTargetsVoice.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ditlog::testing::fuzzWaveHeader(data, size);
    return 0;
}
