#pragma once
// A new user's first start: when the default program directory holds no
// image set, the "Nature" set is made there from the desktop's own
// photographs, so the saver shows pictures instead of "Unable to find image
// sets".

#include <string>

namespace skyloom::mkset {
class Progress;
}

namespace skyloom::config {

/// True when `programDir` (ending in "/") or a folder below it holds an
/// images.ini.
bool hasAnyImageSet(const std::string& programDir);

/// Makes "Nature" in `programDir` when it is the default program directory,
/// holds no set and the photographs are installed. True when a set was made.
bool makeFirstRunSet(const std::string& programDir, mkset::Progress* progress);

} // namespace skyloom::config
