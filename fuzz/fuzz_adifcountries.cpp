// libFuzzer entry: ADIFCnt.txt of any bytes.
#include "FuzzTargetsFiles.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ditlog::testing::fuzzAdifCountries(data, size);
    return 0;
}
