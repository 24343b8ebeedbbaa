#pragma once
// Minimal logging to stderr, shared by every layer below the UI.
// Lines look like "skyloom[settings]: message". SKYLOOM_QUIET=1 silences
// informational lines; warnings always go out.

#include <string_view>

namespace skyloom {

void logInfo(std::string_view category, std::string_view message);
void logWarning(std::string_view category, std::string_view message);

} // namespace skyloom
