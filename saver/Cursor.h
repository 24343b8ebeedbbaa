#pragma once
// Hiding the mouse pointer while the saver runs. The desktop keeps a display
// count per program: the pointer shows while it is 0 or more. HideCursor
// drives it below 0 whatever it was, RestoreCursor brings it back to the
// count saved by HideCursor. Neither does anything in debug mode.

namespace skyloom::saver {

void setDebugMode(bool debug);
bool debugMode();

/// Changes the display count by one and returns the new count (the pointer
/// is hidden over every window of the program while the count is negative).
int ShowCursor(bool show);

void HideCursor();
void RestoreCursor();

} // namespace skyloom::saver
