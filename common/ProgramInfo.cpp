#include "ProgramInfo.h"

#include <cstdio>

#ifndef SKYLOOM_VERSION
#define SKYLOOM_VERSION "0.0.0"
#endif

namespace skyloom {

std::string programVersion() {
    return SKYLOOM_VERSION;
}

std::string versionLine(const std::string& program) {
    return program + " (Skyloom) " + programVersion();
}

std::optional<int> answerStandardOptions(const std::vector<std::string>& args,
                                         const std::string& program, const std::string& usage) {
    if (args.size() != 1)
        return std::nullopt;
    if (args[0] == "--help" || args[0] == "-h") {
        std::fputs(usage.c_str(), stdout);
        return 0;
    }
    if (args[0] == "--version") {
        std::printf("%s\n", versionLine(program).c_str());
        return 0;
    }
    return std::nullopt;
}

} // namespace skyloom
