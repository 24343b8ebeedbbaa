// libFuzzer entry point; built once per target with SKYLOOM_FUZZ_TARGET
// naming the target's function.
#include "FuzzTargets.h"

#ifndef SKYLOOM_FUZZ_TARGET
#error "SKYLOOM_FUZZ_TARGET must name a function of FuzzTargets.h"
#endif

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    skyloom::fuzz::SKYLOOM_FUZZ_TARGET(data, size);
    return 0;
}
