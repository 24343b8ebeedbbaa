#include "Log.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>

namespace skyloom {
namespace {

std::mutex logMutex;

void emit(std::string_view level, std::string_view category, std::string_view message) {
    std::string line = "skyloom[" + std::string(category) + "]" + std::string(level) + ": " +
                       std::string(message) + "\n";
    std::lock_guard lock(logMutex);
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fflush(stderr);
}

} // namespace

void logInfo(std::string_view category, std::string_view message) {
    const char* quiet = std::getenv("SKYLOOM_QUIET");
    if (quiet && std::strcmp(quiet, "1") == 0)
        return;
    emit("", category, message);
}

void logWarning(std::string_view category, std::string_view message) {
    emit(" warning", category, message);
}

} // namespace skyloom
