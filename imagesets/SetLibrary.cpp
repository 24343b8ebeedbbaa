#include "SetLibrary.h"

#include "common/Log.h"
#include "common/Profile.h"
#include "common/ProfileFile.h"
#include "imagesets/RegistryText.h"
#include "imagesets/SetFiles.h"
#include "platform/Registry.h"

#include <optional>
#include <utility>
#include <vector>

namespace skyloom::imagesets {
namespace {

constexpr const char* kImagesIni = "images.ini";
constexpr const char* kCompanyIni = "company.ini";

// Writes a set found on disk into the registry document. Returns false when
// the set name is already registered with a directory (then nothing changes),
// so a set registered twice, or two folders holding sets of the same name,
// never produce a second entry.
bool registerInto(IniDocument& doc, const SetDescriptor& set, const std::string& setDirectory) {
    const std::string sets = rawSection(doc, kSetDescriptions);
    const std::string key = rawKey(doc, sets, set.name);
    if (auto known = doc.value(sets, key); known && !known->empty()) {
        logInfo(kLogCategory, "set \"" + set.name + "\" in " + setDirectory +
                                  " is already registered in " + *known + "; not registered again");
        return false;
    }
    doc.set(sets, key, setDirectory);
    const std::string section = rawSection(doc, set.name);
    for (const auto& [image, file] : set.images)
        doc.set(section, rawKey(doc, section, image), trimBlanks(file));
    logInfo(kLogCategory, "registered set \"" + set.name + "\" in " + setDirectory + " with " +
                              std::to_string(set.images.size()) + " pictures");
    return true;
}

// The same edit as RemoveIniEntry, inside a batch: the set's section and its
// [SetDescriptions] key.
void removeFrom(IniDocument& doc, const std::string& name) {
    const std::string sets = rawSection(doc, kSetDescriptions);
    doc.removeKey(sets, rawKey(doc, sets, name));
    const std::string section = rawSection(doc, name);
    if (foldKey(section) != foldKey(kSetDescriptions))
        doc.removeSection(section);
    logInfo(kLogCategory, "set \"" + name + "\" is no longer on disk; removed from the registry");
}

bool writable(std::string_view name, std::string_view value) {
    return isUsableName(name) && value.find_first_of("\r\n") == std::string_view::npos &&
           value.find('\0') == std::string_view::npos;
}

bool writeSetKey(IniDocument& doc, const SetInfoClass& set, bool excluded) {
    std::string value = (excluded ? "*" : "") + trimBlanks(set.SetDirectory());
    if (!isUsableSetName(set.SetName()) || !writable(set.SetName(), value)) {
        logWarning(kLogCategory, "set \"" + set.SetName() + "\" cannot be saved; skipped");
        return false;
    }
    const std::string sets = rawSection(doc, kSetDescriptions);
    doc.set(sets, rawKey(doc, sets, set.SetName()), value);
    return true;
}

void writeImages(IniDocument& doc, const SetInfoClass& set) {
    const std::string section = rawSection(doc, set.SetName());
    auto put = [&](const ImageInfoClass& img, bool excluded) {
        std::string value = (excluded ? "*" : "") + trimBlanks(img.FileName());
        if (!writable(img.ImageName(), value)) {
            logWarning(kLogCategory, "picture \"" + img.ImageName() + "\" of set \"" +
                                         set.SetName() + "\" cannot be saved; skipped");
            return;
        }
        doc.set(section, rawKey(doc, section, img.ImageName()), value);
    };
    for (const auto& e : set.ExcludedImages())
        put(*e.item, true);
    for (const auto& e : set.IncludedImages())
        put(*e.item, false);
}

// A folder below the program directory holding an images.ini.
struct DiskSet {
    std::string directory;
    std::string imagesIni;
    std::optional<std::string> name;
    bool matched = false;
};

// The sets on disk: every folder below the program directory with an
// images.ini. One lying in the program directory itself comes last in the
// search and is not a set.
std::vector<DiskSet> findDiskSets(const std::string& programPath) {
    FindFiles search;
    search.StartPath(programPath);
    search.Pattern(kImagesIni);
    std::vector<std::string> found;
    search.Find(found);
    std::vector<DiskSet> onDisk;
    for (const auto& path : found) {
        std::string rel = path.substr(programPath.size());
        std::string dir = rel.substr(0, rel.rfind('/') + 1);
        if (dir.empty())
            break;
        DiskSet d{dir, path, readSetName(path)};
        d.matched = !d.name; // a folder without a usable set name is left alone (logged)
        onDisk.push_back(std::move(d));
    }
    return onDisk;
}

// What the registry needs so that it matches the disk.
struct RegistryChanges {
    std::vector<std::string> removals;
    std::vector<std::pair<std::string, std::string>> moves;     // name, new value
    std::vector<std::pair<SetDescriptor, std::string>> newSets; // descriptor, directory

    bool empty() const { return removals.empty() && moves.empty() && newSets.empty(); }
};

// Registered sets that have a set of the same name on disk stay; the
// others are removed. A registered set whose folder moved follows it.
void matchRegistered(const SetCollection& sets, bool excluded, const std::string& programPath,
                     PathResolver& resolver, std::vector<DiskSet>& onDisk,
                     RegistryChanges& changes) {
    for (const auto& e : sets) {
        const SetInfoClass& set = *e.item;
        const std::string want = foldKey(set.SetName());
        DiskSet* hit = nullptr;
        for (auto& d : onDisk)
            if (!d.matched && foldKey(*d.name) == want) {
                hit = &d;
                break;
            }
        if (!hit) {
            changes.removals.push_back(set.SetName());
            continue;
        }
        hit->matched = true;
        const std::string& dir = set.SetDirectory();
        if (!isSafeRelativePath(dir) || !resolver.resolve(programPath, dir + "/" + kImagesIni)) {
            logInfo(kLogCategory, "set \"" + set.SetName() + "\" moved from \"" + dir + "\" to " +
                                      hit->directory);
            changes.moves.emplace_back(set.SetName(), (excluded ? "*" : "") + hit->directory);
        }
    }
}

// Sets the registry does not know; their descriptors are checked in full.
void addUnknownSets(const std::vector<DiskSet>& onDisk, RegistryChanges& changes) {
    for (const auto& d : onDisk)
        if (!d.matched)
            if (auto descriptor = readSetDescriptor(d.imagesIni))
                changes.newSets.emplace_back(std::move(*descriptor), d.directory);
}

void writeRegistryChanges(const std::string& registryPath, const RegistryChanges& changes) {
    bool written = profile::update(registryPath, [&](IniDocument& doc) {
        for (const auto& name : changes.removals)
            removeFrom(doc, name);
        const std::string sets = rawSection(doc, kSetDescriptions);
        for (const auto& [name, value] : changes.moves)
            doc.set(sets, rawKey(doc, sets, name), value);
        for (const auto& [descriptor, directory] : changes.newSets)
            registerInto(doc, descriptor, directory);
        return true;
    });
    if (!written)
        logWarning(kLogCategory, "could not write " + registryPath);
}

} // namespace

bool RegisterImageSet(const std::string& programPath, const std::string& setDirectory) {
    const std::string base = withSlash(programPath);
    if (base.empty() || !isSafeRelativePath(setDirectory)) {
        logWarning(kLogCategory, "not a set directory: \"" + setDirectory + "\"");
        return false;
    }
    PathResolver resolver;
    auto ini = resolver.resolve(base, setDirectory + "/" + kImagesIni);
    if (!ini) {
        logWarning(kLogCategory, "no images.ini in " + base + setDirectory);
        return false;
    }
    auto set = readSetDescriptor(*ini);
    if (!set)
        return false;
    bool registered = false;
    bool written = profile::update(base + kRegistryFile, [&](IniDocument& doc) {
        registered = registerInto(doc, *set, setDirectory);
        return registered;
    });
    if (!written)
        logWarning(kLogCategory, "could not write " + base + kRegistryFile);
    return written && registered;
}

SetLibrary::InitResult SetLibrary::InitSetsInfo() {
    return InitSetsInfo(platform::GetProgramPath());
}

SetLibrary::InitResult SetLibrary::InitSetsInfo(const std::string& programPath) {
    sets_ = SetsClass{};
    programPath_ = withSlash(programPath);
    if (programPath_.empty()) {
        registryPath_.clear();
        settingsPath_.clear();
        return InitResult::NoProgramPath;
    }
    registryPath_ = programPath_ + kRegistryFile;
    settingsPath_ = programPath_ + kSettingsFile;
    buildFromRegistry();

    std::vector<DiskSet> onDisk = findDiskSets(programPath_);
    if (onDisk.empty())
        return InitResult::NoImageSetsFound;

    PathResolver resolver;
    RegistryChanges changes;
    matchRegistered(sets_.IncludedCollection(), false, programPath_, resolver, onDisk, changes);
    matchRegistered(sets_.ExcludedCollection(), true, programPath_, resolver, onDisk, changes);
    addUnknownSets(onDisk, changes);
    if (!changes.empty()) {
        writeRegistryChanges(registryPath_, changes);
        // Read the registry again, now that it matches the disk.
        sets_ = SetsClass{};
        buildFromRegistry();
    }

    for (const auto& e : sets_.IncludedCollection())
        InitImageInfo(*e.item);
    for (const auto& e : sets_.ExcludedCollection())
        InitImageInfo(*e.item);
    return InitResult::Ok;
}

void SetLibrary::buildFromRegistry() {
    RegistryView registry(profile::load(registryPath_));
    BuildSetCollection(registry.keyList(kSetDescriptions), sets_.IncludedCollection(),
                       sets_.ExcludedCollection());
}

void SetLibrary::BuildSetCollection(std::string keyList, SetCollection& included,
                                    SetCollection& excluded) {
    RegistryView registry(profile::load(registryPath_));
    PathResolver resolver;
    while (!keyList.empty()) {
        auto nul = keyList.find('\0');
        std::string name = keyList.substr(0, nul);
        keyList.erase(0, nul == std::string::npos ? keyList.size() : nul + 1);
        if (!isUsableSetName(name)) {
            logWarning(kLogCategory,
                       "\"" + name + "\" in " + registryPath_ + " cannot be a set name; ignored");
            continue;
        }
        if (included.Contains(name) || excluded.Contains(name)) {
            logWarning(kLogCategory, "set \"" + name + "\" is listed twice in " + registryPath_);
            continue;
        }
        std::string value = registry.value(kSetDescriptions, name).value_or("");
        const bool isExcluded = !value.empty() && value.front() == '*';
        auto set = std::make_shared<SetInfoClass>();
        set->SetName(name);
        set->SetDirectory(withoutMark(value));
        (isExcluded ? excluded : included).Add(name, set);

        if (!isSafeRelativePath(set->SetDirectory()))
            continue; // no folder to read; InitImageInfo lists nothing either
        auto company = resolver.resolve(programPath_, set->SetDirectory() + "/" + kCompanyIni);
        if (!company)
            continue; // defaults: no title page, switchable
        set->m_TitlePageUserControl = ReadIniInt("TitlePage", "userControl", 1, *company) != 0;
        std::string title = fromIniText(ReadIniString("TitlePage", "file", "", *company));
        set->m_HasTitlePage = !title.empty();
        set->m_ShowTitlePage = title.empty() || title.front() != '*';
        if (set->m_HasTitlePage && !isSafeRelativePath(withoutMark(title))) {
            logWarning(kLogCategory, *company + ": title page \"" + title +
                                         "\" is not a file inside the set; ignored");
            set->m_HasTitlePage = false;
        }
    }
}

void SetLibrary::InitImageInfo(SetInfoClass& set) {
    const std::string& dir = set.SetDirectory();
    if (!isSafeRelativePath(dir)) {
        logWarning(kLogCategory, "set \"" + set.SetName() + "\" has no usable directory (\"" + dir +
                                     "\"); no pictures listed");
        return;
    }
    PathResolver resolver;
    auto folder = resolver.resolve(programPath_, dir);
    if (!folder) {
        logInfo(kLogCategory,
                "folder " + programPath_ + dir + " of set \"" + set.SetName() + "\" not found");
        return;
    }
    const std::string base = *folder + "/";
    RegistryView registry(profile::load(registryPath_));
    for (const auto& name : registry.keys(set.SetName())) {
        std::string value = registry.value(set.SetName(), name).value_or("");
        const bool isExcluded = !value.empty() && value.front() == '*';
        std::string file = withoutMark(value);
        if (!isSafeRelativePath(file)) {
            logWarning(kLogCategory, "picture \"" + name + "\" of set \"" + set.SetName() +
                                         "\" names \"" + value + "\", not a file inside the set");
            continue;
        }
        if (!isUsableName(name) || !resolver.resolve(base, file + ".bmp"))
            continue; // listed only with its preview bitmap
        if (isExcluded)
            set.ExcludeImage(name, file);
        else
            set.IncludeImage(name, file);
    }
}

namespace {

// The title-page switch lives in the set's company.ini: its [TitlePage]
// "file" value starts with "*" while the page is switched off. The value's
// bytes are kept as they are; only the mark changes.
bool saveTitlePage(const std::string& programPath, const SetInfoClass& set) {
    if (!set.m_HasTitlePage || !isSafeRelativePath(set.SetDirectory()))
        return true;
    PathResolver resolver;
    auto company = resolver.resolve(programPath, set.SetDirectory() + "/" + kCompanyIni);
    if (!company)
        return true;
    bool ok = profile::update(*company, [&](IniDocument& doc) {
        auto current = doc.value("TitlePage", "file");
        if (!current || current->empty())
            return false;
        std::string want = (set.m_ShowTitlePage ? "" : "*") + withoutMark(*current);
        if (want == *current)
            return false;
        doc.set("TitlePage", "file", want);
        return true;
    });
    if (!ok)
        logWarning(kLogCategory, "could not write " + *company);
    return ok;
}

} // namespace

bool SetLibrary::SaveSetsInfo() {
    if (registryPath_.empty())
        return false;
    bool ok = profile::update(registryPath_, [&](IniDocument& doc) {
        for (const auto& e : sets_.ExcludedCollection())
            if (writeSetKey(doc, *e.item, true))
                writeImages(doc, *e.item);
        for (const auto& e : sets_.IncludedCollection())
            if (writeSetKey(doc, *e.item, false))
                writeImages(doc, *e.item);
        return true;
    });
    if (!ok)
        logWarning(kLogCategory, "could not write " + registryPath_);
    for (const auto* coll : {&sets_.ExcludedCollection(), &sets_.IncludedCollection()})
        for (const auto& e : *coll)
            ok = saveTitlePage(programPath_, *e.item) && ok;
    return ok;
}

bool SetLibrary::SaveSetImages(const SetInfoClass& set) {
    if (registryPath_.empty())
        return false;
    if (!isUsableSetName(set.SetName()))
        return false;
    bool ok = profile::update(registryPath_, [&](IniDocument& doc) {
        writeImages(doc, set);
        return true;
    });
    if (!ok)
        logWarning(kLogCategory, "could not write " + registryPath_);
    return saveTitlePage(programPath_, set) && ok;
}

} // namespace skyloom::imagesets
