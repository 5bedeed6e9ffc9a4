// libFuzzer entry: a master call list.
#include "FuzzTargetsAssist.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ditlog::testing::fuzzMasterList(data, size);
    return 0;
}
