// libFuzzer entry: radio reply bytes, the first byte choosing the family.
#include "FuzzTargetsRig.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ditlog::testing::fuzzRigReplies(data, size);
    return 0;
}
