// libFuzzer entry point for the JPEG loading path (full, DCT-scaled and fitted).
#include "FuzzTargets.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    skyloom::fuzz::runJpeg(data, size);
    return 0;
}
