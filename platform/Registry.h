#pragma once
// The HKEY_CURRENT_USER values the programs use, kept in registry.ini:
// section = full key path starting with "HKEY_CURRENT_USER\", key = value
// name, "@" = the unnamed value. The system's screen-saver settings
// (SystemParametersInfo actions 14-17 and 97) live here too.

#include <cstdint>
#include <optional>
#include <string>

namespace skyloom::platform {

inline constexpr const char* kProgramPathKey =
    "Software\\Skyloom\\Skyloom Configuration\\ProgramPath";
inline constexpr const char* kDesktopKey = "Control Panel\\desktop";

/// Value of a registry key under HKEY_CURRENT_USER (`name` "" or "@" for the
/// unnamed value); nullopt when the value is missing.
std::optional<std::string> readRegistryValue(const std::string& key, const std::string& name);
bool writeRegistryValue(const std::string& key, const std::string& name, const std::string& value);
/// True when the registry file exists but cannot be read.
bool registryUnreadable();

/// The program directory, ending in "/", or "" after an error message.
/// With no registry entry at all, the default program directory is created
/// and recorded silently (nothing installs Skyloom per user on Linux).
std::string GetProgramPath();

/// Screen-saver timeout in seconds (action 14/15) and active flag (16/17).
int screenSaveTimeOut();
void setScreenSaveTimeOut(int seconds);
bool screenSaveActive();
void setScreenSaveActive(bool active);
/// "ScreenSaveUsePassword" (nonzero: ask for the password when the saver ends).
bool screenSaveUsePassword();

/// Action 97: this process declares the saver running (or no longer).
void setScreenSaverRunning(bool running);
/// True while some process has declared the saver running and is alive.
bool screenSaverRunning();
/// The process that declared the saver running, 0 when none is alive.
std::int64_t screenSaverProcess();
/// Seconds since the running saver declared itself (0 when none runs).
std::int64_t screenSaverRunningSeconds();

} // namespace skyloom::platform
