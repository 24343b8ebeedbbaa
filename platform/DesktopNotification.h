#pragma once
// A desktop notification through the session bus
// (org.freedesktop.Notifications): for what a program without a window has
// to tell the user, such as a tray program that finds no tray.

#include <string>

namespace skyloom::platform {

/// Sends the notification without waiting for the notification server.
/// False when there is no session bus to send it on.
bool notifyDesktop(const std::string& appName, const std::string& summary, const std::string& body);

} // namespace skyloom::platform
