// libFuzzer entry: a serial settings text of any bytes.
#include "FuzzTargetsFiles.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ditlog::testing::fuzzSerialSettings(data, size);
    return 0;
}
