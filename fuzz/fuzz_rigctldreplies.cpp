// libFuzzer entry: bytes from the rig daemon.
#include "FuzzTargetsRigctld.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ditlog::testing::fuzzRigctldReplies(data, size);
    return 0;
}
