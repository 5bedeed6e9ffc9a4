// libFuzzer entry: "arrlpre2.txt" of any bytes and lookups on it.
#include "FuzzTargets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ditlog::testing::fuzzPrefixLoad(data, size);
    return 0;
}
