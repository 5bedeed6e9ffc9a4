// libFuzzer entry: a tag, a value and a shared preference file of any bytes.
#include "FuzzTargets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ditlog::testing::fuzzSharedXml(data, size);
    return 0;
}
