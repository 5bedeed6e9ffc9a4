// libFuzzer entry: a WinKeyer port sending any bytes.
#include "FuzzTargetsWinKeyer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ditlog::testing::fuzzWinKeyerBytes(data, size);
    return 0;
}
