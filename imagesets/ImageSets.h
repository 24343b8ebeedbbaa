#pragma once
// The image library in memory: sets with their included and excluded
// pictures, and the recursive file search that discovers sets on disk.
//
// A set is in at most one of the two set collections and a picture in at
// most one of its set's two picture collections. Moving between included and
// excluded removes from one collection and appends to the other, so an item
// that is excluded and included again ends up last.

#include "imagesets/KeyedCollection.h"

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace skyloom::imagesets {

/// One picture of a set.
class ImageInfoClass {
public:
    ImageInfoClass() = default;
    ImageInfoClass(std::string imageName, std::string fileName)
        : imageName_(std::move(imageName)), fileName_(std::move(fileName)) {}

    /// Display name of the picture and its key within the set.
    const std::string& ImageName() const { return imageName_; }
    void ImageName(std::string name) { imageName_ = std::move(name); }
    /// File base relative to the set directory, without extension and
    /// without the "*" exclusion mark.
    const std::string& FileName() const { return fileName_; }
    void FileName(std::string name) { fileName_ = std::move(name); }

private:
    std::string imageName_;
    std::string fileName_;
};

using ImageCollection = KeyedCollection<ImageInfoClass>;

/// One image set.
class SetInfoClass {
public:
    bool m_HasTitlePage = false;        ///< company.ini names a title-page picture
    bool m_TitlePageUserControl = true; ///< the user may switch the title page
    bool m_ShowTitlePage = true;        ///< the title page is switched on

    const std::string& SetName() const { return setName_; }
    void SetName(std::string name) { setName_ = std::move(name); }
    /// Set directory relative to the program directory, ending in a separator
    /// (as stored in Skyloom.ini, without the "*" exclusion mark).
    const std::string& SetDirectory() const { return setDirectory_; }
    void SetDirectory(std::string dir) { setDirectory_ = std::move(dir); }

    /// Moves the picture (a new object with these names) to the end of the
    /// excluded pictures. Returns false when the excluded pictures already
    /// hold that name; the picture is then left where it was.
    bool ExcludeImage(const std::string& imageName, const std::string& fileName);
    /// The mirror image of ExcludeImage.
    bool IncludeImage(const std::string& imageName, const std::string& fileName);

    /// Replaces `names` with the picture names in collection order.
    void GetIncludedImages(std::vector<std::string>& names) const;
    void GetExcludedImages(std::vector<std::string>& names) const;

    int IncludedCount() const { return included_.count(); }
    int ExcludedCount() const { return excluded_.count(); }
    /// The picture at a 1-based position, or null outside 1..count.
    std::shared_ptr<ImageInfoClass> IncludedImage(int index) const { return included_.Item(index); }
    std::shared_ptr<ImageInfoClass> ExcludedImage(int index) const { return excluded_.Item(index); }
    /// The picture of that name among the included, else the excluded
    /// pictures, else null.
    std::shared_ptr<ImageInfoClass> FindImage(std::string_view imageName) const;

    const ImageCollection& IncludedImages() const { return included_; }
    const ImageCollection& ExcludedImages() const { return excluded_; }

private:
    std::string setName_;
    std::string setDirectory_;
    ImageCollection included_;
    ImageCollection excluded_;
};

using SetCollection = KeyedCollection<SetInfoClass>;

/// The library: included and excluded sets.
class SetsClass {
public:
    SetCollection& IncludedCollection() { return included_; }
    SetCollection& ExcludedCollection() { return excluded_; }
    const SetCollection& IncludedCollection() const { return included_; }
    const SetCollection& ExcludedCollection() const { return excluded_; }

    /// Removes the set's name from the excluded sets (absence ignored) and
    /// appends the set to the included sets. False when the included sets
    /// already hold that name (nothing changes then).
    bool IncludeSet(const std::shared_ptr<SetInfoClass>& set);
    /// The mirror image of IncludeSet.
    bool ExcludeSet(const std::shared_ptr<SetInfoClass>& set);

    /// Returns the number of included (excluded) sets. When there is at least
    /// one, `names` is replaced by their names in collection order; when there
    /// is none, `names` is left as it was, so callers go by the count.
    int GetIncludedSetNames(std::vector<std::string>& names) const;
    int GetExcludedSetNames(std::vector<std::string>& names) const;

    /// The set of that name among the included, else the excluded sets, else
    /// null. Letter case does not matter.
    std::shared_ptr<SetInfoClass> GetSet(std::string_view name) const;

private:
    SetCollection included_;
    SetCollection excluded_;
};

/// Recursive search for files by name below a folder.
///
/// Within a folder, subfolders are searched first (depth first, in name
/// order) and the folder's own matches follow, in name order; so a match in
/// the start folder itself comes last. Symbolic links to folders are
/// followed, but no folder is searched twice (which ends link loops) and the
/// search goes at most kMaxDepth folders deep. Unreadable entries are skipped.
class FindFiles {
public:
    static constexpr int kMaxDepth = 24;

    /// Folder to search, ending in "/".
    const std::string& StartPath() const { return startPath_; }
    void StartPath(std::string path) { startPath_ = std::move(path); }
    /// File name or wildcard pattern ("*", "?"), matched without regard to
    /// letter case as on the systems the sets are authored on.
    const std::string& Pattern() const { return pattern_; }
    void Pattern(std::string pattern) { pattern_ = std::move(pattern); }

    /// Runs the search (the class's search routine; a member cannot carry the
    /// class's own name in C++). When something was found, `paths` is replaced by the
    /// full paths of the matches in search order and the result is true;
    /// otherwise the result is false and `paths` is left as it was.
    bool Find(std::vector<std::string>& paths);

private:
    std::string startPath_;
    std::string pattern_;
};

} // namespace skyloom::imagesets
