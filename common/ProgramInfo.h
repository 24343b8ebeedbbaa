#pragma once
// Program name and version for --version, the About page and logs, and the
// handling of the two options every program answers (--help, --version).

#include <optional>
#include <string>
#include <vector>

namespace skyloom {

/// The release, e.g. "0.1.0" (from the build's project version).
std::string programVersion();

/// "PROGRAM (Skyloom) VERSION" as --version prints it.
std::string versionLine(const std::string& program);

/// When `args` (without argv[0]) is exactly "--help", "-h" or "--version",
/// prints the usage or the version line on stdout and returns the exit
/// status 0; otherwise nullopt and nothing is printed.
std::optional<int> answerStandardOptions(const std::vector<std::string>& args,
                                         const std::string& program, const std::string& usage);

} // namespace skyloom
