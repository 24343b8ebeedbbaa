#pragma once
// The set-registry refresh that start-up runs before the saver, the
// wallpaper modes and the configuration dialog.

#include "imagesets/SetLibrary.h"

#include <string>

namespace skyloom::imagesets {

/// Text of the message shown when no image set exists below the program
/// directory `programPath`.
std::string noImageSetsMessage(const std::string& programPath);

/// Runs `library.InitSetsInfo()`. When no image set is found below the
/// program directory, shows "Unable to find image sets. PATH = " + the
/// program directory (caption "ERROR") and returns false: the caller then
/// ends the program. Returns true otherwise, also when there is no program
/// directory (GetProgramPath has already reported that; there are no sets).
bool RefreshImageSets(SetLibrary& library);
/// The same with a library of its own, for start-up modes that only need the
/// registry brought up to date.
bool RefreshImageSets();

} // namespace skyloom::imagesets
