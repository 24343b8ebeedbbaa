#pragma once
// Makes (or brings up to date) an image set from folders and files of
// photos: one picture, preview bitmap and information file per JPEG or PNG,
// the set's images.ini, optionally its company.ini, and its registration in
// Skyloom.ini.

#include <string>
#include <string_view>
#include <vector>

namespace skyloom::mkset {

enum class StoreMode {
    Copy, ///< JPEG sources are copied
    Link  ///< hard-linked, or symlinked where a hard link is not possible
};

struct MakeOptions {
    std::vector<std::string> sources; ///< folders (their pictures, not recursive) and files
    std::string setName;              ///< empty: the first source folder's name made readable
    std::string programDir;           ///< the program directory (created when missing)
    StoreMode store = StoreMode::Copy;
    std::string companyFile; ///< non-empty: make company.ini from this file over a skeleton
};

struct Skipped {
    std::string file;
    std::string reason;
};

struct MakeReport {
    std::string setName;
    std::string setDirectory; ///< relative to the program directory, ending in "/"
    std::string setPath;      ///< absolute, ending in "/"
    int made = 0;             ///< pictures made or made again this run
    int kept = 0;             ///< pictures already up to date
    int total = 0;            ///< pictures listed in the set afterwards
    std::vector<Skipped> skipped;
    std::string error; ///< why nothing could be done (empty when the set was written)
    bool registered = false;
};

/// Told about every source picture as it is done (for a progress display).
class Progress {
public:
    virtual ~Progress() = default;
    virtual void begin(int total) = 0;
    virtual void step(int done, std::string_view file) = 0;
    virtual void end() = 0;
};

MakeReport makeSet(const MakeOptions& options, Progress* progress = nullptr);

/// The summary printed at the end: set, counts and every skipped file with
/// the reason.
std::string summaryText(const MakeReport& report);
/// The pictures that could not be used, one per line ("" when none).
std::string skippedText(const MakeReport& report);

/// A set name turned into a folder name: no separators or control
/// characters, no leading "." or "*" (the registry's exclusion mark).
std::string folderNameFor(std::string_view setName);

/// Writes company.ini in `setPath`: keys of `companyFile` over the keys
/// already there, and every key of the format with its default where neither
/// has one. Empty on success, else why not.
std::string writeCompanyIni(const std::string& setPath, const std::string& companyFile);

} // namespace skyloom::mkset
