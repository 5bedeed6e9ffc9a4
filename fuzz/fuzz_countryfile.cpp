// libFuzzer entry: a country file of any bytes.
#include "FuzzTargetsCountry.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ditlog::testing::fuzzCountryFile(data, size);
    return 0;
}
