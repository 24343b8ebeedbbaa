#pragma once
// The saver's play list: one entry per picture, built from Skyloom.ini.
//
// An entry is the picture's path relative to the program directory (set
// directory + file base, both as stored in Skyloom.ini), one NUL character,
// and a label: the picture's image name, or "NULL" for a set's title page.
// The saver appends ".jpg" to a path without extension (resolvePicture).

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace skyloom::imagesets {

class PathResolver;

/// Label of a title-page entry: no title or description belongs to it.
inline constexpr const char* kTitleLabel = "NULL";

/// An ordered list of text entries with 1-based positions.
class clsImageList {
public:
    int count() const { return static_cast<int>(items_.size()); }
    /// Appends when `position` < 1 or beyond the end; otherwise inserts
    /// before the entry now at that 1-based position.
    void Add(std::string entry, int position = -1);
    /// The entry at the 1-based position; "" outside 1..count.
    std::string Item(int position) const;
    /// Removes the entry at the 1-based position; nothing outside 1..count.
    void Remove(int position);
    void Clear() { items_.clear(); }

private:
    std::vector<std::string> items_;
};

std::string makePlayListEntry(std::string_view relativePath, std::string_view label);
/// The path part of an entry (before the first NUL).
std::string_view entryPath(std::string_view entry);
/// The label of an entry: everything after the first NUL ("" without one).
std::string_view entryLabel(std::string_view entry);
bool isTitleEntry(std::string_view entry);

/// Splits a list of names, each followed by a NUL, into `names` with an empty
/// text as last element (consumers stop there). `list` is consumed.
void SplitNulList(std::string& list, std::vector<std::string>& names);

/// Where the builders read from: the saver's program directory (ending in
/// "/"), its copy of the registry path, and the time between pictures.
struct PlayListSource {
    std::string imagePath;
    std::string iniPath;
    int timeBetween = 60;
};

/// The title page a list starts with: its file relative to the set directory
/// (empty when there is none) and the seconds it is shown. Without a title
/// page the time is the time between pictures.
struct TitlePage {
    std::string file;
    int time = 0;
};

/// Appends the included pictures of set `currentSet`, in registry order,
/// after its title page when the set has one switched on. A set that is not
/// registered or is excluded gives no entries.
TitlePage BuildSetPlayList(clsImageList& list, const PlayListSource& source,
                           const std::string& currentSet);
/// Appends the included pictures of every included set, sets in registry
/// order. No title page.
TitlePage BuildAllSetsPlayList(clsImageList& list, const PlayListSource& source);

struct PlayListChoice {
    bool fromAllSets = true; ///< entries are to be drawn at random
    TitlePage title;
};
/// The choice made at the saver's load: the one-set list unless `useAll`, and
/// the all-sets list when the one-set list comes out empty. `list` is cleared
/// first.
PlayListChoice ChoosePlayList(clsImageList& list, const PlayListSource& source, bool useAll,
                              const std::string& currentSet);
/// ChoosePlayList with [PrefsSS] "Random" (default 1) and "CurrentSet" read
/// from the settings file.
PlayListChoice LoadPlayList(clsImageList& list, const PlayListSource& source,
                            const std::string& settingsPath);

/// The picture file an entry path names: ".jpg" is appended when the last
/// path component has no extension, and the path is looked up below the
/// program directory as the set files are (separators "/" or "\", letter case
/// ignored when the exact name does not exist). nullopt when the file does not
/// exist or the path leads outside the program directory.
std::optional<std::string> resolvePicture(const std::string& programPath,
                                          std::string_view relativePath);
/// The same, with the folder listings `resolver` has already read: the
/// saver keeps one resolver for all the entries it tries in one change.
std::optional<std::string> resolvePicture(const std::string& programPath,
                                          std::string_view relativePath, PathResolver& resolver);

} // namespace skyloom::imagesets
