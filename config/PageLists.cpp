#include "PageLists.h"

#include "imagesets/SetFiles.h"

#include <QtGlobal>

namespace skyloom::config {

// The texts below are shown translated (context kListContext); the lists
// keep the English texts, which the settings and the set files use.
[[maybe_unused]] static const char* const kMarkedEntries[] = {
    QT_TRANSLATE_NOOP("skyloom::config::PageLists", "Randomize From All Image Sets")};

const std::vector<std::string>& transitionNames() {
    static const std::vector<std::string> names = {
        QT_TRANSLATE_NOOP("skyloom::config::PageLists", "No Transitions"),
        QT_TRANSLATE_NOOP("skyloom::config::PageLists", "All Transitions"),
        QT_TRANSLATE_NOOP("skyloom::config::PageLists", "Vertical Blinds"),
        QT_TRANSLATE_NOOP("skyloom::config::PageLists", "Horizontal Blinds"),
        QT_TRANSLATE_NOOP("skyloom::config::PageLists", "Vertical Sweep"),
        QT_TRANSLATE_NOOP("skyloom::config::PageLists", "Horizontal Sweep"),
        QT_TRANSLATE_NOOP("skyloom::config::PageLists", "Boxed In"),
        QT_TRANSLATE_NOOP("skyloom::config::PageLists", "Horizontal Center Sweep"),
        QT_TRANSLATE_NOOP("skyloom::config::PageLists", "Vertical Center Sweep"),
        QT_TRANSLATE_NOOP("skyloom::config::PageLists", "Block Out"),
        QT_TRANSLATE_NOOP("skyloom::config::PageLists", "Fast Block Out"),
        QT_TRANSLATE_NOOP("skyloom::config::PageLists", "Cross Fade"),
        QT_TRANSLATE_NOOP("skyloom::config::PageLists", "Slide"),
        QT_TRANSLATE_NOOP("skyloom::config::PageLists", "Slow Zoom"),
        QT_TRANSLATE_NOOP("skyloom::config::PageLists", "All Transitions, Smooth")};
    return names;
}

const std::vector<std::string>& languageNames() {
    static const std::vector<std::string> names = {
        QT_TRANSLATE_NOOP("skyloom::config::PageLists", "English"),
        QT_TRANSLATE_NOOP("skyloom::config::PageLists", "French"),
        QT_TRANSLATE_NOOP("skyloom::config::PageLists", "German"),
        QT_TRANSLATE_NOOP("skyloom::config::PageLists", "Spanish"),
        QT_TRANSLATE_NOOP("skyloom::config::PageLists", "Japanese")};
    return names;
}

const std::vector<ListItem>& calendarSizes() {
    static const std::vector<ListItem> items = {
        {QT_TRANSLATE_NOOP("skyloom::config::PageLists", "Extra Large"), 100},
        {QT_TRANSLATE_NOOP("skyloom::config::PageLists", "Large"), 66},
        {QT_TRANSLATE_NOOP("skyloom::config::PageLists", "Medium"), 33},
        {QT_TRANSLATE_NOOP("skyloom::config::PageLists", "Small"), 20}};
    return items;
}

const std::vector<ListItem>& calendarPositions() {
    static const std::vector<ListItem> items = {
        {QT_TRANSLATE_NOOP("skyloom::config::PageLists", "Top-Left"), 1},
        {QT_TRANSLATE_NOOP("skyloom::config::PageLists", "Top-Center"), 2},
        {QT_TRANSLATE_NOOP("skyloom::config::PageLists", "Top-Right"), 3},
        {QT_TRANSLATE_NOOP("skyloom::config::PageLists", "Center-Left"), 4},
        {QT_TRANSLATE_NOOP("skyloom::config::PageLists", "Center"), 5},
        {QT_TRANSLATE_NOOP("skyloom::config::PageLists", "Center-Right"), 6},
        {QT_TRANSLATE_NOOP("skyloom::config::PageLists", "Bottom-Left"), 7},
        {QT_TRANSLATE_NOOP("skyloom::config::PageLists", "Bottom-Center"), 8},
        {QT_TRANSLATE_NOOP("skyloom::config::PageLists", "Bottom-Right"), 9}};
    return items;
}

const std::vector<ListItem>& autoChangeIntervals() {
    static const std::vector<ListItem> items = {
        {QT_TRANSLATE_NOOP("skyloom::config::PageLists", "Manually"), 1},
        {QT_TRANSLATE_NOOP("skyloom::config::PageLists", "Every Half-hour"), 2},
        {QT_TRANSLATE_NOOP("skyloom::config::PageLists", "Every Hour"), 3},
        {QT_TRANSLATE_NOOP("skyloom::config::PageLists", "Every 2 Hours"), 4},
        {QT_TRANSLATE_NOOP("skyloom::config::PageLists", "Every 4 Hours"), 5},
        {QT_TRANSLATE_NOOP("skyloom::config::PageLists", "Every 8 Hours"), 6},
        {QT_TRANSLATE_NOOP("skyloom::config::PageLists", "Every Day"), 7},
        {QT_TRANSLATE_NOOP("skyloom::config::PageLists", "Every 2nd Day"), 8},
        {QT_TRANSLATE_NOOP("skyloom::config::PageLists", "Every Week"), 9}};
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
    // Stored set and picture names may differ in letter case from the
    // registered ones (settings written by hand or on Windows); the saver
    // matches them without regard to case, and so do the pages.
    const std::string key = imagesets::foldKey(imagesets::fromIniText(text));
    for (std::size_t i = 0; i < entries.size(); ++i)
        if (imagesets::foldKey(entries[i]) == key)
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
