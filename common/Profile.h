#pragma once
// The profile routines through which every settings and description file is
// read and written. They keep the semantics of the Windows private-profile
// functions the programs were written against: case-insensitive names, the
// caller's default for a missing file, section or key, integer reads of the
// leading decimal number, trimmed values, keys rewritten in place.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace skyloom {

/// Where a file named without a folder lives (the system folder, which holds
/// "system.ini"). Set once by the platform layer at start-up.
void setSystemDirectory(std::string dir);
/// The path a profile routine uses for `file`, or "" when it must not be
/// touched (a bare name other than the system's own files: that is what an
/// empty program directory produces, and settings are never written to the
/// current or root folder).
std::string resolveProfilePath(std::string_view file);

/// Integer value: the leading decimal number of the text (0 when there is
/// none); `def` only when the key is missing.
std::int32_t ReadIniInt(std::string_view section, std::string_view key, std::int16_t def,
                        std::string_view file);

/// Text value, or with an empty key the section's key names, each followed
/// by a NUL character. Long values are cut at the buffer limit of 32,256
/// characters exactly as the buffer-growing read does.
std::string ReadIniString(std::string_view section, std::string_view key, std::string_view def,
                          std::string_view file);

/// Trims `value` (the caller's variable too) and writes it. Returns true when
/// the file holds the value afterwards. Names or values that would break the
/// file's line structure (line breaks, "=" or a leading "[" or ";" in a key,
/// "]" in a section name) are refused and logged.
bool WriteIniString(std::string_view section, std::string_view key, std::string& value,
                    std::string_view file);
bool WriteIniString(std::string_view section, std::string_view key, std::string_view value,
                    std::string_view file);

/// Removes exactly the section named `setName` and exactly the key `setName`
/// of [SetDescriptions] from the set registry at `registryPath`, in one
/// atomic rewrite. Returns true when the file was rewritten or had neither.
bool RemoveIniEntry(std::string_view setName, std::string_view registryPath);

/// True when the name can be written as a key without changing the file's
/// structure (not empty, no "=", "[", "]" or line break, no leading ";").
bool isValidIniKey(std::string_view key);
bool isValidIniSection(std::string_view section);

/// VB's Val: the leading number of a text (blanks skipped), 0 when none.
double leadingNumber(std::string_view text);
/// Nearest integer, halves to the even neighbour (2.5 -> 2, 3.5 -> 4).
std::int64_t roundHalfEven(double v);

/// Seconds a picture is shown for a [PrefsSS] "change" value: "60s", "5m",
/// "1.5m", or a bare index into the time table.
int changeSeconds(std::string_view change);
/// The saver's time table (indexes 0-12).
int timeTableSeconds(int index);

} // namespace skyloom
