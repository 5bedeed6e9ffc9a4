// libFuzzer entry: record fields of any bytes.
#include "FuzzTargets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ditlog::testing::fuzzRecordReader(data, size);
    return 0;
}
