#include "WallpaperPage.h"

#include "PageLists.h"

#include "common/Log.h"
#include "common/Profile.h"
#include "common/ProfileFile.h"
#include "imagesets/SetFiles.h"

#include <cmath>

namespace skyloom::config {

WallpaperPage::WallpaperPage(const imagesets::SetLibrary& library) : library_(library) {}

void WallpaperPage::fallBack(const std::string& what) {
    fallbacks_.push_back(what);
    logInfo("config", what);
}

std::string WallpaperPage::setEntry() const {
    return setIndex >= 0 && setIndex < static_cast<int>(sets.size())
               ? sets[static_cast<std::size_t>(setIndex)]
               : std::string();
}

int WallpaperPage::changeCode() const {
    const auto& items = autoChangeIntervals();
    return changeIndex >= 0 && changeIndex < static_cast<int>(items.size())
               ? items[static_cast<std::size_t>(changeIndex)].value
               : 7;
}

std::string WallpaperPage::previewPath() const {
    return szWallpaperImage.empty() ? std::string()
                                    : imagesets::setFilePath(szWallpaperImage, ".bmp");
}

bool WallpaperPage::InitSetList() {
    const std::string f = settingsPath();
    sets = setListEntries(library_.Sets());
    bool randomSets = false;
    int index = -1;
    if (sets.size() >= 2 && sets.front() == kRandomSetsEntry &&
        ReadIniInt("PrefsWP", "random", 1, f) != 0) {
        index = 0;
        randomSets = true;
    } else {
        const std::string current = ReadIniString("PrefsWP", "CurrentSet", "", f);
        index = FindItemIndex(sets, current);
        // The page shows the first entry when the stored set is gone.
        if (index < 0 && !sets.empty())
            index = 0;
    }
    SelectSet(index);
    return randomSets;
}

void WallpaperPage::InitWallpaperPage() {
    const std::string f = settingsPath();
    fallbacks_.clear();
    stretch = ReadIniInt("PrefsWP", "stretch", 0, f) != 0;
    keepAspect = ReadIniInt("PrefsWP", "keepAspect", 1, f) != 0;
    perScreen = ReadIniInt("PrefsWP", "perScreen", 0, f) != 0;

    const int code = ReadIniInt("PrefsWP", "change", 7, f);
    changeIndex = indexOfValue(autoChangeIntervals(), code);
    if (changeIndex < 0) {
        fallBack("[PrefsWP] change " + std::to_string(code) + " is no interval: shown as Manually");
        changeIndex = 0;
    }

    enabled = ReadIniInt("PrefsWP", "enable", 1, f) != 0;
    calendarOn = ReadIniInt("CalendarWP", "enable", 1, f) != 0;

    const int position = ReadIniInt("CalendarWP", "position", 3, f);
    if (indexOfValue(calendarPositions(), position) >= 0) {
        calendarPosition = position;
    } else {
        fallBack("[CalendarWP] position " + std::to_string(position) +
                 " is no position: shown as Top-Right until the page is saved");
        calendarPosition = 3;
    }

    // Codes 1-4 are the size form of older settings.
    int size = ReadIniInt("CalendarWP", "Size", 4, f);
    const int stored = size;
    if (size < 20)
        size = oldCalendarSize(size);
    if (indexOfValue(calendarSizes(), size) >= 0) {
        calendarSize = size;
    } else {
        fallBack("[CalendarWP] size " + std::to_string(stored) +
                 " is no size: shown as Small until the page is saved");
        calendarSize = 20;
    }
}

void WallpaperPage::SelectSet(int index) {
    setIndex = index >= 0 && index < static_cast<int>(sets.size()) ? index : -1;
    GetImageList();
}

void WallpaperPage::GetImageList() {
    const std::string f = settingsPath();
    const std::string entry = setEntry();
    images.clear();
    imageIndex = -1;
    imageSet_.clear();
    if (entry.empty()) {
        imagesEnabled = false;
        szWallpaperImage.clear();
        szWallpaperSetDir.clear();
        currentImageName.clear();
        return;
    }
    const imagesets::SetsClass& lib = library_.Sets();
    if (entry == kRandomSetsEntry) {
        imagesEnabled = false;
        std::string name = ReadIniString("PrefsWP", "CurrentSet", "", f);
        // A stored set that is no longer included (excluded or removed) gives
        // way to the first included set and its first picture.
        if (name.empty() || !lib.IncludedCollection().Contains(name)) {
            auto first = lib.IncludedCollection().Item(1);
            if (!first)
                return;
            auto picture = first->IncludedImage(1);
            name = first->SetName();
            const std::string image = picture ? picture->ImageName() : std::string();
            profile::update(f, [&](IniDocument& doc) {
                doc.set("PrefsWP", "CurrentSet", name);
                doc.set("PrefsWP", "CurrentImage", image);
                return true;
            });
        }
        imageSet_ = name;
    } else {
        imageSet_ = entry;
        imagesEnabled = true;
    }
    if (auto set = lib.GetSet(imageSet_))
        set->GetIncludedImages(images);
    const std::string currentImage = ReadIniString("PrefsWP", "CurrentImage", "", f);
    int index = FindItemIndex(images, currentImage);
    if (index < 0 && !images.empty())
        index = 0;
    SelectImage(index);
}

bool WallpaperPage::SelectImage(int index) {
    if (index < 0 || index >= static_cast<int>(images.size())) {
        imageIndex = -1;
        return false;
    }
    imageIndex = index;
    const std::string& name = images[static_cast<std::size_t>(index)];
    auto set = library_.Sets().GetSet(imageSet_);
    auto picture = set ? set->FindImage(name) : nullptr;
    if (set && picture) {
        szWallpaperSetDir = library_.ProgramPath() + set->SetDirectory();
        szWallpaperImage = szWallpaperSetDir + picture->FileName();
    }
    currentImageName = name;
    return currentImageName != ReadIniString("PrefsWP", "CurrentImage", "", settingsPath());
}

bool WallpaperPage::PickRandomPicture(std::mt19937& random) {
    // The picture on show is the one recorded last; a new pick never repeats
    // it while there is any other picture to take.
    const std::string f = settingsPath();
    const std::string shownSet = ReadIniString("PrefsWP", "CurrentSet", "", f);
    const std::string shownImage = ReadIniString("PrefsWP", "CurrentImage", "", f);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    // One of `count` choices with `skip` left out (-1: none), uniformly.
    const auto draw = [&](int count, int skip) {
        const int choices = skip >= 0 ? count - 1 : count;
        int i = std::min(static_cast<int>(std::floor(unit(random) * choices)), choices - 1);
        if (skip >= 0 && i >= skip)
            ++i;
        return i;
    };
    const auto onlyTheShownPicture = [&] {
        return imageSet_ == shownSet && images.size() == 1 && images.front() == shownImage;
    };
    if (setEntry() == kRandomSetsEntry && sets.size() >= 2) {
        const int realSets = static_cast<int>(sets.size()) - 1;
        const int first = draw(realSets, -1);
        SelectSet(first + 1);
        // The set drawn holds nothing but the picture on show: another set.
        if (onlyTheShownPicture() && realSets >= 2)
            SelectSet(draw(realSets, first) + 1);
    }
    if (images.empty())
        return false;
    const int count = static_cast<int>(images.size());
    const int shown = imageSet_ == shownSet && count >= 2 ? FindItemIndex(images, shownImage) : -1;
    SelectImage(draw(count, shown));
    return imageIndex >= 0;
}

bool WallpaperPage::SaveSettings() const {
    const std::string entry = setEntry();
    const auto flag = [](bool b) { return b ? "1" : "0"; };
    return profile::update(settingsPath(), [&](IniDocument& doc) {
        if (bWallpaperAutoChange) {
            if (entry.empty() || currentImageName.empty())
                return false;
            doc.set("PrefsWP", "CurrentSet", entry);
            doc.set("PrefsWP", "CurrentImage", currentImageName);
            return true;
        }
        if (entry == kRandomSetsEntry) {
            doc.set("PrefsWP", "random", "1");
        } else if (!entry.empty()) {
            doc.set("PrefsWP", "random", "0");
            doc.set("PrefsWP", "CurrentSet", entry);
            doc.set("PrefsWP", "CurrentImage", currentImageName);
        }
        doc.set("PrefsWP", "stretch", flag(stretch));
        // Written once it was ever switched on: the files of a single-monitor
        // desktop stay as they were.
        if (perScreen || doc.value("PrefsWP", "perScreen"))
            doc.set("PrefsWP", "perScreen", flag(perScreen));
        doc.set("PrefsWP", "enable", flag(enabled));
        doc.set("PrefsWP", "change", std::to_string(changeCode()));
        doc.set("CalendarWP", "enable", flag(calendarOn));
        doc.set("CalendarWP", "position", std::to_string(calendarPosition));
        doc.set("CalendarWP", "size", std::to_string(calendarSize));
        return true;
    });
}

} // namespace skyloom::config
