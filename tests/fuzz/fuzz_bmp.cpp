// libFuzzer entry point for the BMP reader.
#include "FuzzTargets.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    skyloom::fuzz::runBmp(data, size);
    return 0;
}
