#pragma once
// Making folders: every writer that needs a folder makes it here.

#include <string>

namespace skyloom {

/// Creates a folder and its parents (mode 0755 before the umask); true when
/// it exists afterwards, else false with the reason in `error` (when given).
bool makeFolders(const std::string& dir, std::string* error = nullptr);

} // namespace skyloom
