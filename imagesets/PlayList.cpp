#include "PlayList.h"

#include "common/Log.h"
#include "common/Profile.h"
#include "common/ProfileFile.h"
#include "imagesets/RegistryText.h"
#include "imagesets/SetFiles.h"
#include "imagesets/SetLibrary.h"

#include <algorithm>

namespace skyloom::imagesets {
namespace {

bool isMarked(std::string_view value) {
    return !value.empty() && value.front() == '*';
}

// Appends the included pictures of one set; `dir` is its stored directory.
void appendPictures(clsImageList& list, const RegistryView& registry, const std::string& setName,
                    const std::string& dir) {
    std::string keys = registry.keyList(setName);
    std::vector<std::string> names;
    SplitNulList(keys, names);
    for (const auto& name : names) {
        if (name.empty())
            break;
        std::string value = registry.value(setName, name).value_or("");
        if (isMarked(value))
            continue; // excluded picture
        if (!isSafeRelativePath(value)) {
            logWarning(kLogCategory, "picture \"" + name + "\" of set \"" + setName +
                                         "\" names \"" + value + "\", not a file inside the set");
            continue;
        }
        list.Add(makePlayListEntry(dir + value, name));
    }
}

// The stored directory of a set that may contribute pictures, or nullopt.
std::optional<std::string> usableDirectory(const RegistryView& registry, const std::string& name) {
    if (!isUsableSetName(name))
        return std::nullopt;
    std::string dir = registry.value(kSetDescriptions, name).value_or("");
    if (dir.empty() || isMarked(dir))
        return std::nullopt; // not registered, or excluded
    if (!isSafeRelativePath(dir)) {
        logWarning(kLogCategory, "set \"" + name + "\" names \"" + dir +
                                     "\", not a folder inside the program directory");
        return std::nullopt;
    }
    return dir;
}

} // namespace

void clsImageList::Add(std::string entry, int position) {
    if (position < 1 || position > count())
        items_.push_back(std::move(entry));
    else
        items_.insert(items_.begin() + (position - 1), std::move(entry));
}

std::string clsImageList::Item(int position) const {
    if (position < 1 || position > count())
        return {};
    return items_[static_cast<std::size_t>(position - 1)];
}

void clsImageList::Remove(int position) {
    if (position >= 1 && position <= count())
        items_.erase(items_.begin() + (position - 1));
}

std::string makePlayListEntry(std::string_view relativePath, std::string_view label) {
    std::string entry(relativePath);
    entry.push_back('\0');
    entry += label;
    return entry;
}

std::string_view entryPath(std::string_view entry) {
    return entry.substr(0, entry.find('\0'));
}

std::string_view entryLabel(std::string_view entry) {
    auto nul = entry.find('\0');
    return nul == std::string_view::npos ? std::string_view{} : entry.substr(nul + 1);
}

bool isTitleEntry(std::string_view entry) {
    return entryLabel(entry) == kTitleLabel;
}

void SplitNulList(std::string& list, std::vector<std::string>& names) {
    names.clear();
    std::size_t pos = 0;
    while (pos < list.size()) {
        auto nul = list.find('\0', pos);
        if (nul == std::string::npos)
            nul = list.size();
        names.push_back(list.substr(pos, nul - pos));
        pos = nul + 1;
    }
    names.emplace_back();
    list.clear();
}

TitlePage BuildSetPlayList(clsImageList& list, const PlayListSource& source,
                           const std::string& currentSet) {
    TitlePage title{{}, source.timeBetween};
    RegistryView registry(profile::load(source.iniPath));
    auto dir = usableDirectory(registry, currentSet);
    if (!dir)
        return title;

    PathResolver resolver;
    if (auto company = resolver.resolve(source.imagePath, *dir + "/company.ini")) {
        std::string file = fromIniText(ReadIniString("TitlePage", "file", "", *company));
        if (isMarked(file))
            file.clear(); // title page switched off
        if (!file.empty() && !isSafeRelativePath(file)) {
            logWarning(kLogCategory, *company + ": title page \"" + file +
                                         "\" is not a file inside the set; ignored");
            file.clear();
        }
        if (!file.empty()) {
            title.file = file;
            title.time = std::clamp(ReadIniInt("TitlePage", "time", 20, *company), 0, 32767);
            list.Add(makePlayListEntry(*dir + file, kTitleLabel));
        }
    }
    appendPictures(list, registry, currentSet, *dir);
    return title;
}

TitlePage BuildAllSetsPlayList(clsImageList& list, const PlayListSource& source) {
    RegistryView registry(profile::load(source.iniPath));
    std::string keys = registry.keyList(kSetDescriptions);
    std::vector<std::string> sets;
    SplitNulList(keys, sets);
    for (const auto& name : sets) {
        if (name.empty())
            break;
        if (auto dir = usableDirectory(registry, name))
            appendPictures(list, registry, name, *dir);
    }
    return TitlePage{{}, source.timeBetween};
}

PlayListChoice ChoosePlayList(clsImageList& list, const PlayListSource& source, bool useAll,
                              const std::string& currentSet) {
    list.Clear();
    if (!useAll) {
        TitlePage title = BuildSetPlayList(list, source, currentSet);
        if (list.count() > 0)
            return PlayListChoice{false, title};
        logInfo(kLogCategory, "set \"" + currentSet + "\" has no pictures to show; using all sets");
        list.Clear();
    }
    return PlayListChoice{true, BuildAllSetsPlayList(list, source)};
}

PlayListChoice LoadPlayList(clsImageList& list, const PlayListSource& source,
                            const std::string& settingsPath) {
    bool useAll = ReadIniInt("PrefsSS", "Random", 1, settingsPath) != 0;
    std::string currentSet = fromIniText(ReadIniString("PrefsSS", "CurrentSet", "", settingsPath));
    return ChoosePlayList(list, source, useAll, currentSet);
}

std::optional<std::string> resolvePicture(const std::string& programPath,
                                          std::string_view relativePath) {
    PathResolver resolver;
    return resolvePicture(programPath, relativePath, resolver);
}

std::optional<std::string> resolvePicture(const std::string& programPath,
                                          std::string_view relativePath, PathResolver& resolver) {
    std::string rel(relativePath);
    auto parts = pathComponents(rel);
    if (!parts.empty() && parts.back().find('.') == std::string::npos)
        rel += ".jpg";
    return resolver.resolve(programPath, rel);
}

} // namespace skyloom::imagesets
