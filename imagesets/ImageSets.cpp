#include "ImageSets.h"

#include "common/IniDocument.h"
#include "common/Log.h"

#include <algorithm>
#include <filesystem>
#include <fnmatch.h>
#include <set>
#include <sys/stat.h>
#include <system_error>
#include <utility>

namespace skyloom::imagesets {
namespace {

template <class T>
bool moveTo(KeyedCollection<T>& from, KeyedCollection<T>& to, const std::string& key,
            std::shared_ptr<T> item) {
    if (to.Contains(key))
        return false;
    from.Remove(key);
    return to.Add(key, std::move(item));
}

int namesOf(const SetCollection& sets, std::vector<std::string>& names) {
    if (sets.count() > 0) {
        names.clear();
        for (const auto& e : sets)
            names.push_back(e.item->SetName());
    }
    return sets.count();
}

// Case-insensitive name order with the byte order as tie-break, so that the
// order is the same on every run and close to what the authors' systems show.
bool nameLess(const std::string& a, const std::string& b) {
    std::string la = asciiLower(a), lb = asciiLower(b);
    return la != lb ? la < lb : a < b;
}

struct DirId {
    dev_t dev;
    ino_t ino;
    bool operator<(const DirId& o) const { return dev != o.dev ? dev < o.dev : ino < o.ino; }
};

class Search {
public:
    Search(std::string pattern, std::vector<std::string>& results)
        : pattern_(std::move(pattern)), results_(results) {}

    void run(const std::string& dir, int depth) {
        struct stat st {};
        if (::stat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
            return;
        if (!visited_.insert(DirId{st.st_dev, st.st_ino}).second) {
            logInfo(kLogCategory, "not searching " + dir + " again (linked twice)");
            return;
        }
        std::vector<std::string> subdirs, files;
        std::error_code ec;
        for (std::filesystem::directory_iterator it(dir, ec), end; !ec && it != end;
             it.increment(ec)) {
            std::string name = it->path().filename().string();
            std::error_code sec;
            auto status = it->status(sec); // follows links; unreadable entries are skipped
            if (sec)
                continue;
            if (std::filesystem::is_directory(status))
                subdirs.push_back(std::move(name));
            else if (::fnmatch(pattern_.c_str(), name.c_str(), FNM_CASEFOLD) == 0)
                files.push_back(std::move(name));
        }
        std::sort(subdirs.begin(), subdirs.end(), nameLess);
        std::sort(files.begin(), files.end(), nameLess);
        for (const auto& sub : subdirs) {
            if (depth >= FindFiles::kMaxDepth) {
                logWarning(kLogCategory,
                           "not searching " + dir + sub + ": folders nested too deep");
                continue;
            }
            run(dir + sub + "/", depth + 1);
        }
        for (auto& f : files)
            results_.push_back(dir + f);
    }

private:
    std::string pattern_;
    std::vector<std::string>& results_;
    std::set<DirId> visited_;
};

} // namespace

bool SetInfoClass::ExcludeImage(const std::string& imageName, const std::string& fileName) {
    return moveTo(included_, excluded_, imageName,
                  std::make_shared<ImageInfoClass>(imageName, fileName));
}

bool SetInfoClass::IncludeImage(const std::string& imageName, const std::string& fileName) {
    return moveTo(excluded_, included_, imageName,
                  std::make_shared<ImageInfoClass>(imageName, fileName));
}

void SetInfoClass::GetIncludedImages(std::vector<std::string>& names) const {
    names.clear();
    for (const auto& e : included_)
        names.push_back(e.item->ImageName());
}

void SetInfoClass::GetExcludedImages(std::vector<std::string>& names) const {
    names.clear();
    for (const auto& e : excluded_)
        names.push_back(e.item->ImageName());
}

std::shared_ptr<ImageInfoClass> SetInfoClass::FindImage(std::string_view imageName) const {
    if (auto img = included_.Find(imageName))
        return img;
    return excluded_.Find(imageName);
}

bool SetsClass::IncludeSet(const std::shared_ptr<SetInfoClass>& set) {
    return set && moveTo(excluded_, included_, set->SetName(), set);
}

bool SetsClass::ExcludeSet(const std::shared_ptr<SetInfoClass>& set) {
    return set && moveTo(included_, excluded_, set->SetName(), set);
}

int SetsClass::GetIncludedSetNames(std::vector<std::string>& names) const {
    return namesOf(included_, names);
}

int SetsClass::GetExcludedSetNames(std::vector<std::string>& names) const {
    return namesOf(excluded_, names);
}

std::shared_ptr<SetInfoClass> SetsClass::GetSet(std::string_view name) const {
    if (auto set = included_.Find(name))
        return set;
    return excluded_.Find(name);
}

bool FindFiles::Find(std::vector<std::string>& paths) {
    std::string start = startPath_;
    if (start.empty())
        return false;
    if (start.back() != '/')
        start.push_back('/');
    std::vector<std::string> results;
    Search(pattern_, results).run(start, 0);
    if (results.empty())
        return false;
    paths = std::move(results);
    return true;
}

} // namespace skyloom::imagesets
