#pragma once
// Small system services: opening web addresses, starting programs, memory
// figures and the display's colour depth.

#include <cstdint>
#include <string>
#include <vector>

namespace skyloom::platform {

/// True for the addresses Skyloom may hand to the desktop: http:, https:
/// and mailto: without control characters or blanks.
bool isOpenableUrl(const std::string& url);
/// Opens an address with the desktop's handler ("xdg-open", or the program
/// named by SKYLOOM_URL_OPENER), started with an argument vector, never a
/// shell. Anything but http, https and mailto is refused and logged.
bool openUrl(const std::string& url);

/// Starts a program detached from this one; true when it started.
bool startProgram(const std::string& program, const std::vector<std::string>& args);

struct MemoryStatus {
    std::uint64_t totalPhysical = 0;
    std::uint64_t availablePhysical = 0;
};
/// From /proc/meminfo (zeros when it cannot be read).
MemoryStatus globalMemoryStatus();
MemoryStatus parseMemInfo(const std::string& text);

/// Bits per pixel of the screen: SKYLOOM_DISPLAY_DEPTH when set (8, 16, 24
/// or 32), else the primary screen's depth, else 24.
int displayBitsPerPixel();

} // namespace skyloom::platform
