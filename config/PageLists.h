#pragma once
// Texts and item values of the configuration dialog's fixed lists, and the
// set lists that several pages share.

#include "imagesets/ImageSets.h"

#include <string>
#include <string_view>
#include <vector>

namespace skyloom::config {

/// First entry of a set list when two or more sets are included.
inline constexpr const char* kRandomSetsEntry = "Randomize From All Image Sets";

/// Translation context of the fixed lists' texts and of kRandomSetsEntry.
inline constexpr const char* kListContext = "skyloom::config::PageLists";

/// An entry of a drop-down list with the number stored for it.
struct ListItem {
    const char* text;
    int value;
};

/// "No Transitions" ... "Fast Block Out", then the blending effects "Cross
/// Fade" ... "All Transitions, Smooth" (11-14); the stored value is the position.
const std::vector<std::string>& transitionNames();
/// "English" ... "Japanese"; the stored value is position + 1.
const std::vector<std::string>& languageNames();
/// "Extra Large" 100, "Large" 66, "Medium" 33, "Small" 20.
const std::vector<ListItem>& calendarSizes();
/// "Top-Left" 1 ... "Bottom-Right" 9.
const std::vector<ListItem>& calendarPositions();
/// The wallpaper change intervals, "Manually" 1 ... "Every Week" 9.
const std::vector<ListItem>& autoChangeIntervals();

/// Position of the item with that value, -1 when none has it.
int indexOfValue(const std::vector<ListItem>& items, int value);

/// Calendar size of the older settings format (1-4) as a percentage
/// (100, 66, 33, 20); 0 for any other code.
int oldCalendarSize(int code);

/// Entries of a set list: the included sets in library order, preceded by
/// kRandomSetsEntry when there are two or more.
std::vector<std::string> setListEntries(const imagesets::SetsClass& sets);

/// Index of the first entry equal to `text`, -1 when none.
int FindItemIndex(const std::vector<std::string>& entries, std::string_view text);

/// The entry a set list selects after it was refilled: the random entry when
/// `random` is set and the list has it, else the entry with the remembered
/// text, else the first set (index 1 behind the random entry, 0 without it);
/// -1 for an empty list.
int restoredSetIndex(const std::vector<std::string>& entries, std::string_view remembered,
                     bool random);

} // namespace skyloom::config
