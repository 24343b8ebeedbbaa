#include "PageLists.h"

namespace skyloom::config {

const std::vector<std::string>& transitionNames() {
    static const std::vector<std::string> names = {
        "No Transitions",        "All Transitions",  "Vertical Blinds", "Horizontal Blinds",
        "Vertical Sweep",        "Horizontal Sweep", "Boxed In",        "Horizontal Center Sweep",
        "Vertical Center Sweep", "Block Out",        "Fast Block Out"};
    return names;
}

const std::vector<std::string>& languageNames() {
    static const std::vector<std::string> names = {"English", "French", "German", "Spanish",
                                                   "Japanese"};
    return names;
}

const std::vector<ListItem>& calendarSizes() {
    static const std::vector<ListItem> items = {
        {"Extra Large", 100}, {"Large", 66}, {"Medium", 33}, {"Small", 20}};
    return items;
}

const std::vector<ListItem>& calendarPositions() {
    static const std::vector<ListItem> items = {
        {"Top-Left", 1},    {"Top-Center", 2},    {"Top-Right", 3},
        {"Center-Left", 4}, {"Center", 5},        {"Center-Right", 6},
        {"Bottom-Left", 7}, {"Bottom-Center", 8}, {"Bottom-Right", 9}};
    return items;
}

const std::vector<ListItem>& autoChangeIntervals() {
    static const std::vector<ListItem> items = {
        {"Manually", 1},      {"Every Half-hour", 2}, {"Every Hour", 3},
        {"Every 2 Hours", 4}, {"Every 4 Hours", 5},   {"Every 8 Hours", 6},
        {"Every Day", 7},     {"Every 2nd Day", 8},   {"Every Week", 9}};
    return items;
}

int indexOfValue(const std::vector<ListItem>& items, int value) {
    for (std::size_t i = 0; i < items.size(); ++i)
        if (items[i].value == value)
            return static_cast<int>(i);
    return -1;
}

int oldCalendarSize(int code) {
    static constexpr int table[] = {100, 66, 33, 20};
    return code >= 1 && code <= 4 ? table[code - 1] : 0;
}

std::vector<std::string> setListEntries(const imagesets::SetsClass& sets) {
    std::vector<std::string> names;
    if (sets.GetIncludedSetNames(names) == 0)
        return {};
    if (names.size() >= 2)
        names.insert(names.begin(), kRandomSetsEntry);
    return names;
}

int FindItemIndex(const std::vector<std::string>& entries, std::string_view text) {
    for (std::size_t i = 0; i < entries.size(); ++i)
        if (entries[i] == text)
            return static_cast<int>(i);
    return -1;
}

int restoredSetIndex(const std::vector<std::string>& entries, std::string_view remembered,
                     bool random) {
    if (entries.empty())
        return -1;
    const bool hasRandom = entries.front() == kRandomSetsEntry;
    if (hasRandom && random)
        return 0;
    int i = FindItemIndex(entries, remembered);
    if (i >= 0)
        return i;
    return hasRandom ? 1 : 0;
}

} // namespace skyloom::config
