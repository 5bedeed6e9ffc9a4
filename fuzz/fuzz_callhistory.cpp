// libFuzzer entry: a call-history file.
#include "FuzzTargetsAssist.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ditlog::testing::fuzzCallHistory(data, size);
    return 0;
}
