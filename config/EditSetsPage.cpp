#include "EditSetsPage.h"

#include "PageLists.h"
#include "imagesets/SetFiles.h"

#include <QtGlobal>

#include <algorithm>

namespace skyloom::config {

using imagesets::SetInfoClass;

// Whole captions, so each can be translated as one text (kMoveContext).
MoveCaption imageMoveCaption(bool fromIncluded, int selected) {
    const bool many = selected > 1;
    if (fromIncluded)
        return {many ? QT_TRANSLATE_NOOP("skyloom::config::EditSetsPage", "Exclude Images")
                     : QT_TRANSLATE_NOOP("skyloom::config::EditSetsPage", "Exclude Image"),
                "Exclude"};
    return {many ? QT_TRANSLATE_NOOP("skyloom::config::EditSetsPage", "Include Images")
                 : QT_TRANSLATE_NOOP("skyloom::config::EditSetsPage", "Include Image"),
            "Include"};
}

MoveCaption setMoveCaption(bool fromIncluded, int selected) {
    const bool many = selected > 1;
    if (fromIncluded)
        return {many ? QT_TRANSLATE_NOOP("skyloom::config::EditSetsPage", "Exclude Sets")
                     : QT_TRANSLATE_NOOP("skyloom::config::EditSetsPage", "Exclude Set"),
                "Exclude"};
    return {many ? QT_TRANSLATE_NOOP("skyloom::config::EditSetsPage", "Include Sets")
                 : QT_TRANSLATE_NOOP("skyloom::config::EditSetsPage", "Include Set"),
            "Include"};
}

std::shared_ptr<SetInfoClass> EditSetsPage::LocateSet(std::string_view name) const {
    if (name.empty())
        return nullptr;
    return library_.Sets().GetSet(name);
}

int EditSetsPage::IncludeImages(SetInfoClass& set, const std::vector<std::string>& names) {
    int moved = 0;
    for (const auto& name : names)
        if (auto image = set.ExcludedImages().Find(name))
            moved += set.IncludeImage(image->ImageName(), image->FileName()) ? 1 : 0;
    return moved;
}

int EditSetsPage::ExcludeImages(SetInfoClass& set, const std::vector<std::string>& names) {
    int moved = 0;
    for (const auto& name : names)
        if (auto image = set.IncludedImages().Find(name))
            moved += set.ExcludeImage(image->ImageName(), image->FileName()) ? 1 : 0;
    return moved;
}

int EditSetsPage::IncludeSets(const std::vector<std::string>& names) {
    auto& sets = library_.Sets();
    int moved = 0;
    for (const auto& name : names)
        if (auto set = sets.ExcludedCollection().Find(name))
            moved += sets.IncludeSet(set) ? 1 : 0;
    return moved;
}

bool EditSetsPage::wouldExcludeAll(const std::vector<std::string>& names) const {
    const auto& included = library_.Sets().IncludedCollection();
    int staying = included.count();
    for (const auto& name : names)
        if (included.Contains(name))
            --staying;
    return staying <= 0 && included.count() > 0;
}

bool EditSetsPage::ExcludeSets(const std::vector<std::string>& names) {
    if (wouldExcludeAll(names))
        return false;
    auto& sets = library_.Sets();
    for (const auto& name : names)
        if (auto set = sets.IncludedCollection().Find(name))
            sets.ExcludeSet(set);
    return true;
}

std::vector<std::string> EditSetsPage::includedSetNames() const {
    std::vector<std::string> names;
    library_.Sets().GetIncludedSetNames(names);
    return names;
}

std::vector<std::string> EditSetsPage::excludedSetNames() const {
    std::vector<std::string> names;
    library_.Sets().GetExcludedSetNames(names);
    return names;
}

void RotatingPreview::setSet(std::shared_ptr<SetInfoClass> set) {
    set_ = std::move(set);
    position_ = 1;
    excludedList_ = false;
}

bool RotatingPreview::step(const std::string& programPath,
                           const std::function<bool(const std::string&)>& show) {
    if (!set_)
        return false;
    const int total = set_->IncludedCount() + set_->ExcludedCount();
    // Each picture once, plus one switch of lists at each end.
    for (int tries = 0; tries < total + 2; ++tries) {
        const int count = excludedList_ ? set_->ExcludedCount() : set_->IncludedCount();
        if (position_ > count) {
            excludedList_ = !excludedList_;
            position_ = 1;
            continue;
        }
        auto image =
            excludedList_ ? set_->ExcludedImage(position_) : set_->IncludedImage(position_);
        ++position_;
        if (image && show(imagesets::setFilePath(
                         programPath + set_->SetDirectory() + image->FileName(), ".bmp")))
            return true;
    }
    return false;
}

bool ThumbnailCycle::step(const std::function<bool(const std::string&)>& load) {
    const int n = static_cast<int>(entries_.size());
    if (n == 0)
        return false;
    index_ = nextIndex(index_, n);
    for (int tries = 0; tries < n; ++tries) {
        if (load(entries_[static_cast<std::size_t>(index_ - 1)]))
            return true;
        index_ = index_ % n + 1;
    }
    return false;
}

std::vector<std::string> thumbnailEntries(const imagesets::SetsClass& sets,
                                          const std::vector<std::string>& listEntries,
                                          std::string_view chosen) {
    std::vector<std::string> entries;
    auto addSet = [&](std::string_view name) {
        auto set = sets.GetSet(name);
        if (!set)
            return;
        for (int i = 1; i <= set->IncludedCount(); ++i)
            entries.push_back(set->SetDirectory() + set->IncludedImage(i)->FileName());
    };
    if (chosen == kRandomSetsEntry) {
        for (std::size_t i = 1; i < listEntries.size(); ++i)
            addSet(listEntries[i]);
    } else if (!chosen.empty()) {
        addSet(chosen);
    }
    return entries;
}

} // namespace skyloom::config
