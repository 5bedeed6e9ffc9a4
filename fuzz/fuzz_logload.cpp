// libFuzzer entry: "log.txt" of any bytes.
#include "FuzzTargets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ditlog::testing::fuzzLogLoad(data, size);
    return 0;
}
