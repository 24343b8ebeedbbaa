#pragma once
// The two tray icons, compiled into the program: 101 while the automatic
// change is active, 103 while it is paused, each at 16, 22, 32 and 48 pixels.

#include <QIcon>

namespace skyloom::tray {

inline constexpr int kIconActive = 101;
inline constexpr int kIconPaused = 103;

/// Icon 101 or 103; any other number gives icon 101.
QIcon LoadTrayIcon(int id);

} // namespace skyloom::tray
