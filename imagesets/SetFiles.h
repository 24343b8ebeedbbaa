#pragma once
// Reading the files of an image set as they come from their authors.
//
// Sets are often written on Windows: names in INI files may be in
// Windows-1252 rather than UTF-8, paths use "\" as separator, and file names
// in INI values may differ in letter case from the names on disk. These
// helpers turn such text and paths into something safe to use on Linux, and
// refuse paths that would lead outside the program directory.

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace skyloom::imagesets {

/// Text read from an INI file as UTF-8: valid UTF-8 is kept as it is,
/// anything else is taken as Windows-1252 and converted.
std::string fromIniText(std::string_view bytes);

/// True when every byte is below 0x80.
bool isAscii(std::string_view s);

/// `path` with one "/" at its end (an empty path stays empty).
std::string withSlash(std::string path);
/// A registry value without the "*" that marks a set of the user's own.
std::string withoutMark(std::string_view value);

/// Key used to compare set and picture names without regard to letter case
/// (Unicode case folding of the decoded text).
std::string foldKey(std::string_view name);

/// True when `name` can be written as a set or picture key (not empty, no
/// "=", "[", "]" or line break, no leading ";").
bool isUsableName(std::string_view name);
/// A set name must also not be "SetDescriptions": the registry's own section
/// would be overwritten by the set's pictures and removed with the set.
bool isUsableSetName(std::string_view name);

/// True when `rel` is a relative path (with "/" or "\" separators) that
/// stays below its base: not empty, not absolute, no drive letter, no ".."
/// component.
bool isSafeRelativePath(std::string_view rel);

/// Splits a relative path at "/" and "\", dropping empty and "." parts.
std::vector<std::string> pathComponents(std::string_view rel);

/// Finds files named by relative paths below a trusted base folder. Each
/// path component is taken exactly when it exists, otherwise the first entry
/// of the folder (in name order) whose name is equal without regard to case
/// is used. Folder listings are cached for the resolver's lifetime, so keep a
/// resolver for one pass over a set, not for the life of the program.
class PathResolver {
public:
    /// The existing path of `base` + `rel`, or nullopt when it does not
    /// exist, `rel` is not a safe relative path, or the entry found is
    /// neither a folder nor a regular file inside the program directory (or
    /// inside `base` when that lies elsewhere) after resolving links; such
    /// entries are logged, and `error` (when given) says why. `base` ends in "/".
    std::optional<std::string> resolve(const std::string& base, std::string_view rel,
                                       std::string* error = nullptr);

private:
    const std::unordered_map<std::string, std::string>& listing(const std::string& dir);
    std::unordered_map<std::string, std::unordered_map<std::string, std::string>> listings_;
};

/// The file that a stored picture name stands for: `base` (a set folder
/// joined with a picture's file base from images.ini, which may hold "\"
/// separators and differ in letter case from the disk) plus `extension`
/// (".jpg", ".bmp", ".nfo"), found below the folder `base` starts with as
/// the saver finds its pictures. When there is no such set file, `base` +
/// `extension` as it stands, so that messages name what was looked for.
/// The saver, the wallpaper, the dialog's previews and the credits all find
/// a picture's files through this.
std::string setFilePath(std::string_view base, std::string_view extension);

/// The contents of a set's images.ini that registration uses.
struct SetDescriptor {
    std::string name; ///< the set name (UTF-8)
    /// Picture lines after the set's section header: image name, file base
    /// (with its "*" mark when excluded), both trimmed and in UTF-8.
    std::vector<std::pair<std::string, std::string>> images;
};

/// The set name of a set's images.ini (its [SetDescriptions] key), or
/// nullopt with a logged warning when it has no usable one.
std::optional<std::string> readSetName(const std::string& imagesIniPath);

/// Reads a set's images.ini. Returns nullopt, with a logged warning naming
/// the file, when the file cannot be read, has no [SetDescriptions] key, has
/// an unusable set name, lacks the set's section, or has a line without "="
/// after that section's header. Single picture lines with an unusable image
/// name or an unsafe file base are skipped with a logged warning.
std::optional<SetDescriptor> readSetDescriptor(const std::string& imagesIniPath);

/// Name used in logs for this library.
inline constexpr const char* kLogCategory = "imagesets";

} // namespace skyloom::imagesets
