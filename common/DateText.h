#pragma once
// The date text of [PrefsWP] "LastChanged": month/day/year (no leading
// zeros, four-digit year), a blank, and the time of day, for example
// "6/7/2000 3:04:05 PM". The tray changer reads it back with parseDateText.

#include <ctime>
#include <optional>
#include <string>
#include <string_view>

namespace skyloom {

std::string formatDateText(const std::tm& local);
std::string currentDateText();
/// Parses what formatDateText writes (and a 24-hour time, or a date alone).
std::optional<std::tm> parseDateText(std::string_view text);

} // namespace skyloom
