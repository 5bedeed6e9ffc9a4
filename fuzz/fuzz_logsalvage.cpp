// libFuzzer entry: a damaged log.txt of any bytes.
#include "FuzzTargetsFiles.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ditlog::testing::fuzzLogSalvage(data, size);
    return 0;
}
