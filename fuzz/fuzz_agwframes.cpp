// libFuzzer entry: a stream from the AGW Packet Engine.
#include "FuzzTargetsSpots.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ditlog::testing::fuzzAgwFrames(data, size);
    return 0;
}
