#pragma once
// An ordered collection of shared objects keyed by text.
//
// Items keep the order in which they were added; positions are 1-based.
// Keys are unique and compared without regard to letter case (foldKey).
// Removing an item keeps the order of the others. The items are shared
// pointers because the dialog's lists, the library routines and the set
// operations all work on the same objects.

#include "imagesets/SetFiles.h"

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace skyloom::imagesets {

template <class T> class KeyedCollection {
public:
    using Ptr = std::shared_ptr<T>;
    struct Entry {
        std::string key;
        Ptr item;
    };

    int count() const { return static_cast<int>(entries_.size()); }
    bool empty() const { return entries_.empty(); }

    /// Appends `item` under `key`. A key that is already present (in any
    /// letter case) or a null item is refused: returns false, nothing changes.
    bool Add(std::string key, Ptr item) {
        if (!item)
            return false;
        std::string folded = foldKey(key);
        if (index_.count(folded))
            return false;
        index_.emplace(std::move(folded), entries_.size());
        entries_.push_back(Entry{std::move(key), std::move(item)});
        return true;
    }

    /// The item at the 1-based position, or null outside 1..count.
    Ptr Item(int position) const {
        if (position < 1 || position > count())
            return nullptr;
        return entries_[static_cast<std::size_t>(position - 1)].item;
    }

    /// The item stored under `key`, or null.
    Ptr Find(std::string_view key) const {
        auto it = index_.find(foldKey(key));
        return it == index_.end() ? nullptr : entries_[it->second].item;
    }
    bool Contains(std::string_view key) const { return index_.count(foldKey(key)) != 0; }

    /// Removes the item stored under `key`; false when there is none.
    bool Remove(std::string_view key) {
        auto it = index_.find(foldKey(key));
        if (it == index_.end())
            return false;
        std::size_t at = it->second;
        index_.erase(it);
        entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(at));
        for (auto& [k, i] : index_)
            if (i > at)
                --i;
        return true;
    }

    void Clear() {
        entries_.clear();
        index_.clear();
    }

    auto begin() const { return entries_.begin(); }
    auto end() const { return entries_.end(); }

private:
    std::vector<Entry> entries_;
    std::unordered_map<std::string, std::size_t> index_; // folded key -> position - 1
};

} // namespace skyloom::imagesets
