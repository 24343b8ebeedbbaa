#pragma once
// Drawing for a screen-saver daemon: which of its windows the command line
// names. The window itself is drawn into through platform::ForeignWindow.

#include "platform/ForeignWindow.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace skyloom::saver {

using platform::ForeignWindow;

/// The window a screen-saver daemon asks us to draw into: "-root" or
/// "--root" with the id in XSCREENSAVER_WINDOW (hex "0x..." or decimal), or
/// "--window-id ID" / "-window-id ID" (its settings preview). nullopt when
/// the arguments ask for none; 0 when they ask but the id is unusable.
std::optional<std::uint32_t> daemonWindow(const std::vector<std::string>& args,
                                          const char* environmentWindow);

} // namespace skyloom::saver
