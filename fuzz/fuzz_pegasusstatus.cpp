// libFuzzer entry: the Pegasus status file of any bytes.
#include "FuzzTargetsFiles.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ditlog::testing::fuzzPegasusStatus(data, size);
    return 0;
}
