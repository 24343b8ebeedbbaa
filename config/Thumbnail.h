#pragma once
// Showing a picture's preview bitmap in a thumbnail box, through an 8-bit
// palettized copy on 8-bit displays.

#include <string>

class QLabel;

namespace skyloom::config {

/// Loads `bmpPath` into `box`, scaled to fit. On an 8-bit display the
/// picture goes through the work files "tn.jpg" and "tn.bmp" in
/// `programPath`, which are removed afterwards. False (the box unchanged)
/// when the picture cannot be loaded.
bool showThumbnail(QLabel* box, const std::string& bmpPath, const std::string& programPath);

} // namespace skyloom::config
