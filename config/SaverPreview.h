#pragma once
// "&Preview" on the Screen Saver page: the full-screen saver with the
// settings the page shows now, saved or not.

#include "config/ScreenSaverPage.h"
#include "saver/SaverLogic.h"

#include <string>
#include <vector>

namespace skyloom::config {

/// The saver settings for the page's values: the set list entry at
/// `values.setIndex` of `setEntries`, the item values of the calendar lists,
/// pan speed 255 − slider. `programPath` ends in "/".
saver::SaverSettings previewSettings(const ScreenSaverSettings& values,
                                     const std::vector<std::string>& setEntries,
                                     const std::string& programPath);

/// Runs the saver window modally with `settings` (seconds or minutes per
/// picture as `asMinutes` says). No password is asked, and the settings file
/// stays as it is: what the saver records while it runs goes to a private
/// copy that is thrown away.
void runSaverPreview(saver::SaverSettings settings, bool asMinutes);

} // namespace skyloom::config
