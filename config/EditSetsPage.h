#pragma once
// The "Edit Sets" page without its widgets: which sets and pictures take
// part, the captions of the move buttons, and the pictures the page's
// rotating set preview walks through. Every move changes the library at once;
// nothing is written until the page is applied (SetLibrary::SaveSetsInfo).

#include "imagesets/SetLibrary.h"

#include <QtGlobal>
#include <functional>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace skyloom::config {

/// Translation context of the move captions and kLastSetMessage.
inline constexpr const char* kMoveContext = "skyloom::config::EditSetsPage";

/// Caption (English; shown translated in kMoveContext) and Tag of a move
/// button.
struct MoveCaption {
    std::string text; ///< e.g. "Exclude Images"
    std::string tag;  ///< "Include" or "Exclude"
};

/// cmdImageMove for `selected` pictures of the included (or excluded) list.
MoveCaption imageMoveCaption(bool fromIncluded, int selected);
/// cmdMoveSet for `selected` sets of the included (or excluded) list.
MoveCaption setMoveCaption(bool fromIncluded, int selected);

/// Message shown when a move would leave no included set.
/// (English; shown translated in kMoveContext.)
inline constexpr const char* kLastSetMessage = QT_TRANSLATE_NOOP(
    "skyloom::config::EditSetsPage",
    "At least one image set must stay included, or the screen saver has no pictures to show.");

class EditSetsPage {
public:
    explicit EditSetsPage(imagesets::SetLibrary& library) : library_(library) {}

    /// The set of that name, null when the library no longer has it.
    std::shared_ptr<imagesets::SetInfoClass> LocateSet(std::string_view name) const;

    /// Moves the named pictures of `set` to its included (excluded) pictures.
    /// Returns how many moved.
    static int IncludeImages(imagesets::SetInfoClass& set, const std::vector<std::string>& names);
    static int ExcludeImages(imagesets::SetInfoClass& set, const std::vector<std::string>& names);

    /// Moves the named sets to the included sets.
    int IncludeSets(const std::vector<std::string>& names);
    /// Moves the named sets to the excluded sets, unless that would exclude
    /// every included set: then nothing moves and the result is false.
    bool ExcludeSets(const std::vector<std::string>& names);
    /// True when excluding `names` would leave no included set.
    bool wouldExcludeAll(const std::vector<std::string>& names) const;

    std::vector<std::string> includedSetNames() const;
    std::vector<std::string> excludedSetNames() const;

    /// Switches the title page of the set, when the set lets the user.
    static bool titlePageSwitchable(const imagesets::SetInfoClass& set) {
        return set.m_HasTitlePage && set.m_TitlePageUserControl;
    }

private:
    imagesets::SetLibrary& library_;
};

/// The pictures the rotating set preview shows: all included pictures of a
/// set, then all its excluded ones, then again from the start.
class RotatingPreview {
public:
    void setSet(std::shared_ptr<imagesets::SetInfoClass> set);
    const std::shared_ptr<imagesets::SetInfoClass>& set() const { return set_; }

    /// One tick: offers the next pictures' paths (program directory + set
    /// directory + file base + ".bmp") to `show` until it accepts one. Every
    /// picture of the set is offered at most once per tick; false when none
    /// was shown (no set, no pictures, or none could be shown), and the
    /// preview should then stop.
    bool step(const std::string& programPath, const std::function<bool(const std::string&)>& show);

    int position() const { return position_; }

private:
    std::shared_ptr<imagesets::SetInfoClass> set_;
    int position_ = 1;
    bool excludedList_ = false;
};

/// The saver page's rotating thumbnail: a list of picture paths (relative to
/// the program directory, without ".bmp") walked two entries forward per step.
class ThumbnailCycle {
public:
    void clear() {
        entries_.clear();
        index_ = 0;
    }
    void add(std::string entry) { entries_.push_back(std::move(entry)); }
    const std::vector<std::string>& entries() const { return entries_; }
    /// 1-based index of the entry shown last, 0 before the first step.
    int index() const { return index_; }

    /// The step after `index` in a list of `n` entries: ((index + 1) mod n) + 1.
    static int nextIndex(int index, int n) { return ((index + 1) % n) + 1; }

    /// One step: moves two entries forward and offers that entry to `load`;
    /// when it cannot be loaded, the following entries are offered one by
    /// one, each at most once. False when the list is empty or no entry
    /// could be loaded.
    bool step(const std::function<bool(const std::string&)>& load);

private:
    std::vector<std::string> entries_;
    int index_ = 0;
};

/// The thumbnail list of a saver set-list entry: for "Randomize From All
/// Image Sets" the included pictures of every listed set, set after set;
/// else those of the named set. Entries are set directory + file base.
std::vector<std::string> thumbnailEntries(const imagesets::SetsClass& sets,
                                          const std::vector<std::string>& listEntries,
                                          std::string_view chosen);

} // namespace skyloom::config
