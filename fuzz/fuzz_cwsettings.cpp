// libFuzzer entry: "CW.txt" of any bytes.
#include "FuzzTargetsKeyer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ditlog::testing::fuzzCwSettings(data, size);
    return 0;
}
