#include "imagesets/maker/SetMaker.h"

#include "common/AtomicFile.h"
#include "common/Folders.h"
#include "common/IniDocument.h"
#include "common/ProfileFile.h"
#include "common/SetFileAccess.h"
#include "imagesets/RegistryText.h"
#include "imagesets/SetFiles.h"
#include "imagesets/SetLibrary.h"
#include "imagesets/maker/Picture.h"

#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <set>
#include <sstream>
#include <system_error>

namespace fs = std::filesystem;

namespace skyloom::mkset {
using imagesets::withoutMark;
using imagesets::withSlash;
namespace {

constexpr const char* kImagesIni = "images.ini";
constexpr const char* kCompanyIni = "company.ini";

struct SkeletonKey {
    const char* section;
    const char* key;
    const char* value;
};
// Every key of company.ini with its default. Numbers are written out: an
// empty number reads as 0, which would show a title page for no time at all.
constexpr std::array<SkeletonKey, 24> kCompanySkeleton{{
    {"TitlePage", "file", ""},
    {"TitlePage", "time", "20"},
    {"TitlePage", "userControl", "1"},
    {"WebLinker", "webButton", ""},
    {"WebLinker", "CompanyURL", ""},
    {"WebLinker", "setURL", ""},
    {"WebLinker", "SSURL", ""},
    {"WebLinker", "WebLinker", "0"},
    {"WebLinker", "SSWebLinker", "0"},
    {"Company", "Introduction", ""},
    {"Company", "Company Name", ""},
    {"Company", "Street Address", ""},
    {"Company", "City State Zip", ""},
    {"Company", "Phone", ""},
    {"Company", "webButton", ""},
    {"Company", "Web Site", ""},
    {"About", "aboutTab", ""},
    {"About", "supportURL", ""},
    {"About", "supportPhone", ""},
    {"LayerSS", "layerImage", ""},
    {"LayerSS", "layerTranslucency", "50"},
    {"LayerSS", "layerFrequency", "1"},
    {"LayerWP", "layerImage", ""},
    {"LayerWP", "layerTranslucency", "0"},
}};

std::string systemError(int err) {
    return std::generic_category().message(err);
}

// Every file is opened as the saver opens set files (openSetFile): without
// blocking on pipes or devices, regular files only, and files named inside
// the program directory only while they stay inside it.
bool readFile(const std::string& path, std::size_t limit, std::string& bytes, std::string& error) {
    std::string why;
    if (readSetFile(path, limit, bytes, why))
        return true;
    if (why.rfind("file too large", 0) == 0)
        error = "the file is too large (over " + std::to_string(limit / (1024 * 1024)) + " MB)";
    else
        error = "cannot be read (" + why + ")";
    return false;
}

std::string readHead(const std::string& path, std::size_t n) {
    std::string error;
    const SetFileStream file = openSetFileStream(path, error);
    if (!file)
        return {};
    std::string head(n, '\0');
    head.resize(std::fread(head.data(), 1, n, file.get()));
    return head;
}

// Files of a set are written whole beside their final names and renamed;
// they are made again by a new run, so they are not flushed to the disk.
constexpr AtomicFile::Options kSetFile{.mode = 0644, .forceMode = false, .durable = false};

std::string commitFile(AtomicFile& file) {
    return file.commit() ? std::string() : file.error();
}

std::string writeAtomic(const std::string& path, std::string_view bytes) {
    std::string error;
    return writeFileAtomically(path, bytes, kSetFile, &error) ? std::string() : error;
}

// Puts the source JPEG in the set as it is.
std::string storeSource(const std::string& source, const std::string& target, StoreMode mode,
                        const std::string& programDir) {
    std::error_code ec;
    if (fs::exists(target, ec) && fs::equivalent(source, target, ec))
        return {};
    AtomicFile tmp(target, kSetFile);
    fs::remove(tmp.temporaryPath(), ec);
    if (mode == StoreMode::Link) {
        // A hard link needs the same file system and, with protected hard
        // links, a file of our own; a symbolic link always works.
        if (::link(source.c_str(), tmp.temporaryPath().c_str()) != 0) {
            // To the file itself, not to a link that may be temporary. The
            // saver follows links only within the program directory, so a
            // source outside it is copied instead.
            std::string real = fs::canonical(source, ec).string();
            const std::string realRoot = fs::canonical(programDir, ec).string();
            if (!ec && pathIsInside(real, realRoot)) {
                if (::symlink(real.c_str(), tmp.temporaryPath().c_str()) != 0)
                    return "cannot link " + target + " (" + systemError(errno) + ")";
            } else {
                fs::copy_file(source, tmp.temporaryPath(), fs::copy_options::overwrite_existing,
                              ec);
                if (ec)
                    return "cannot copy to " + target + " (" + ec.message() + ")";
            }
        }
    } else {
        fs::copy_file(source, tmp.temporaryPath(), fs::copy_options::overwrite_existing, ec);
        if (ec)
            return "cannot copy to " + target + " (" + ec.message() + ")";
    }
    return commitFile(tmp);
}

// A file base (the picture's name in the set without extension): a file
// name that stays inside the set and survives the registry's trimming and
// its "*" mark.
std::string fileBaseFor(std::string_view stem) {
    std::string out;
    for (char c : stem) {
        const auto u = static_cast<unsigned char>(c);
        out.push_back(u < 0x20 || c == '\\' || c == '/' || c == 0x7F ? '_' : c);
    }
    out = trimBlanks(out);
    if (!out.empty() && (out.front() == '*' || out.front() == '.'))
        out.front() = '_';
    if (out.empty())
        out = "picture";
    return out;
}

// An image name (a key of images.ini and Skyloom.ini).
std::string imageNameFor(std::string_view title) {
    std::string out;
    for (char c : title)
        out.push_back(c == '=' ? '-' : c == '[' ? '(' : c == ']' ? ')' : c);
    out = trimBlanks(out);
    while (!out.empty() && (out.front() == ';' || out.front() == ' '))
        out.erase(0, 1);
    if (out.size() > 60) {
        std::size_t cut = out.rfind(' ', 60);
        if (cut == std::string::npos || cut < 30) {
            cut = 60;
            while (cut > 0 && (static_cast<unsigned char>(out[cut]) & 0xC0) == 0x80)
                --cut;
        }
        out = trimBlanks(out.substr(0, cut));
    }
    return imagesets::isUsableName(out) ? out : "Picture";
}

std::string uniqueName(const std::string& wanted, std::set<std::string>& taken) {
    std::string name = wanted;
    for (int n = 2; taken.count(imagesets::foldKey(name)); ++n)
        name = wanted + " (" + std::to_string(n) + ")";
    taken.insert(imagesets::foldKey(name));
    return name;
}

std::string lowerAscii(std::string s) {
    for (char& c : s)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

struct Source {
    std::string path;
    std::string fileName;
    std::string base; ///< file base in the set
};

// The picture files of the sources, in order (a folder's files sorted by
// name); other files are reported as skipped.
std::vector<Source> collectSources(const std::vector<std::string>& args, const std::string& setPath,
                                   std::vector<Skipped>& skipped, std::string& error) {
    std::vector<Source> out;
    std::set<std::string> seen; // canonical paths
    auto consider = [&](const fs::path& p) {
        std::error_code ec;
        const std::string canonical = fs::weakly_canonical(p, ec).string();
        if (!seen.insert(ec ? p.string() : canonical).second)
            return;
        if (!fs::is_regular_file(p, ec)) {
            skipped.push_back({p.string(), "not a file"});
            return;
        }
        if (sniffKind(readHead(p.string(), 8)) == PictureKind::Unknown) {
            skipped.push_back({p.filename().string(), "not a JPEG or PNG picture"});
            return;
        }
        out.push_back({p.string(), p.filename().string(), {}});
    };
    for (const auto& arg : args) {
        std::error_code ec;
        const fs::path p(arg);
        if (fs::is_directory(p, ec)) {
            if (fs::exists(setPath, ec) && fs::equivalent(p, setPath, ec)) {
                error = arg + " is the set's own folder";
                return {};
            }
            std::vector<fs::path> files;
            for (const auto& entry : fs::directory_iterator(p, ec)) {
                const std::string name = entry.path().filename().string();
                if (name.empty() || name.front() == '.')
                    continue; // hidden files
                std::error_code sec;
                if (entry.is_directory(sec))
                    continue; // folders are not searched
                files.push_back(entry.path());
            }
            if (ec) {
                skipped.push_back({arg, "the folder cannot be read (" + ec.message() + ")"});
                continue;
            }
            std::sort(files.begin(), files.end());
            for (const auto& f : files)
                consider(f);
        } else if (fs::exists(p, ec)) {
            consider(p);
        } else {
            skipped.push_back({arg, "no such file or folder"});
        }
    }
    // File bases: the file name without extension; where two sources would
    // share one (letter case ignored), the later one gets its extension too.
    std::set<std::string> taken;
    for (auto& s : out) {
        const fs::path name(s.fileName);
        const std::string stem = fileBaseFor(name.stem().string());
        std::string base = stem;
        if (taken.count(imagesets::foldKey(base))) {
            base = stem + "-" + lowerAscii(name.extension().string().substr(1));
            const std::string first = base;
            for (int n = 2; taken.count(imagesets::foldKey(base)); ++n)
                base = first + "-" + std::to_string(n);
        }
        taken.insert(imagesets::foldKey(base));
        s.base = base;
    }
    return out;
}

bool upToDate(const std::string& dest, const std::string& source) {
    std::error_code ec;
    for (const char* ext : {".jpg", ".nfo", ".bmp"})
        if (!fs::exists(dest + ext, ec))
            return false;
    const auto made = fs::last_write_time(dest + ".bmp", ec);
    if (ec)
        return false;
    const auto changed = fs::last_write_time(source, ec);
    return !ec && made >= changed;
}

// Makes one picture of the set; empty on success, else why not.
std::string makePicture(const Source& src, const std::string& dest, StoreMode mode,
                        const std::string& programDir, PictureTitle& title) {
    std::string bytes, error;
    if (!readFile(src.path, kMaxFileBytes, bytes, error))
        return error;
    auto prepared = preparePicture(bytes, fs::path(src.fileName).stem().string(), error);
    if (!prepared)
        return error;
    bytes.clear();
    bytes.shrink_to_fit();
    title = prepared->title;
    // The preview is written last: a picture is listed only with its
    // preview, so a listed picture always has its picture and texts.
    error = prepared->encoded.empty() ? storeSource(src.path, dest + ".jpg", mode, programDir)
                                      : writeAtomic(dest + ".jpg", prepared->encoded);
    if (error.empty())
        error = writeAtomic(dest + ".nfo", nfoText(prepared->title, panoramaFor(prepared->size)));
    if (error.empty())
        error = writeAtomic(dest + ".bmp", prepared->preview);
    return error;
}

// The set directory under which `name` is registered, if any.
std::optional<std::string> registeredDirectory(const std::string& program,
                                               const std::string& name) {
    imagesets::RegistryView view(profile::load(program + imagesets::kRegistryFile));
    auto v = view.value(imagesets::kSetDescriptions, name);
    if (!v || v->empty())
        return std::nullopt;
    return *v;
}

bool sameDirectory(std::string a, std::string b) {
    std::replace(a.begin(), a.end(), '\\', '/');
    std::replace(b.begin(), b.end(), '\\', '/');
    return withSlash(a) == withSlash(b);
}

// Registers a new set, or brings a registered one up to date: pictures the
// registry lacks are added (new pictures keep their images.ini marks, known
// ones keep theirs), and a set whose folder moved follows it.
bool registerSet(const std::string& program, const std::string& setDirectory,
                 const imagesets::SetDescriptor& set) {
    if (!registeredDirectory(program, set.name))
        return imagesets::RegisterImageSet(program, setDirectory);
    return profile::update(program + imagesets::kRegistryFile, [&](IniDocument& doc) {
        const std::string sets = imagesets::rawSection(doc, imagesets::kSetDescriptions);
        const std::string key = imagesets::rawKey(doc, sets, set.name);
        const std::string value = doc.value(sets, key).value_or("");
        bool changed = false;
        if (!sameDirectory(withoutMark(value), setDirectory)) {
            doc.set(sets, key, (value.rfind('*', 0) == 0 ? "*" : "") + setDirectory);
            changed = true;
        }
        const std::string section = imagesets::rawSection(doc, set.name);
        imagesets::RegistryView view(std::make_shared<IniDocument>(doc));
        std::set<std::string> known;
        for (const auto& k : view.keys(set.name))
            known.insert(imagesets::foldKey(k));
        for (const auto& [image, file] : set.images)
            if (!known.count(imagesets::foldKey(image))) {
                doc.set(section, imagesets::rawKey(doc, section, image), file);
                changed = true;
            }
        return changed;
    });
}

std::string readableFolderName(const std::vector<std::string>& sources) {
    for (const auto& s : sources) {
        std::error_code ec;
        if (fs::is_directory(s, ec)) {
            const fs::path p = fs::weakly_canonical(s, ec);
            std::string name = p.filename().string();
            if (name.empty())
                name = p.parent_path().filename().string();
            if (!name.empty())
                return readableFileName(name);
        }
    }
    return "Pictures";
}

} // namespace

std::string folderNameFor(std::string_view setName) {
    std::string out = fileBaseFor(setName);
    if (out == "picture" && setName != "picture")
        out = "Set";
    return out;
}

std::string writeCompanyIni(const std::string& setPath, const std::string& companyFile) {
    std::string bytes, error;
    if (!readFile(companyFile, 1024 * 1024, bytes, error))
        return companyFile + " " + error;
    const IniDocument given = IniDocument::parse(bytes);
    const std::string target = withSlash(setPath) + kCompanyIni;
    bool ok = profile::update(target, [&](IniDocument& doc) {
        for (const auto& k : kCompanySkeleton) {
            if (!doc.value(k.section, k.key))
                doc.set(k.section, k.key, k.value);
        }
        for (const auto& section : given.sections())
            for (const auto& key : given.keys(section))
                if (auto v = given.value(section, key))
                    doc.set(section, key, *v);
        return true;
    });
    return ok ? "" : "cannot write " + target;
}

namespace {

using AddedPictures = std::vector<std::pair<std::string, std::string>>; // image name, file base

// Names the set and its folder; false with report.error when the name is unusable.
bool nameSet(const MakeOptions& options, const std::string& program, MakeReport& report) {
    report.setName =
        options.setName.empty() ? readableFolderName(options.sources) : cleanText(options.setName);
    if (!imagesets::isUsableSetName(report.setName)) {
        report.error = "\"" + report.setName + "\" cannot be a set name";
        return false;
    }
    report.setDirectory = folderNameFor(report.setName) + "/";
    report.setPath = program + report.setDirectory;
    return true;
}

// Reads the set already in the target folder, if any, and refuses a folder
// holding another set or a name installed elsewhere. False with report.error.
bool checkExistingSet(const std::string& program, const std::string& imagesIni,
                      std::optional<imagesets::SetDescriptor>& existing, MakeReport& report) {
    std::error_code ec;
    if (fs::exists(imagesIni, ec)) {
        existing = imagesets::readSetDescriptor(imagesIni);
        if (!existing) {
            report.error = imagesIni + " cannot be read as a set; it is left as it is";
            return false;
        }
        if (imagesets::foldKey(existing->name) != imagesets::foldKey(report.setName)) {
            report.error = report.setPath + " already holds the set \"" + existing->name +
                           "\"; choose another name";
            return false;
        }
        report.setName = existing->name;
    }
    if (auto dir = registeredDirectory(program, report.setName);
        dir && !sameDirectory(withoutMark(*dir), report.setDirectory) &&
        fs::exists(program + withoutMark(*dir) + "/" + kImagesIni, ec)) {
        report.error = "a set named \"" + report.setName + "\" is already installed in " + program +
                       withoutMark(*dir) + "; choose another name";
        return false;
    }
    return true;
}

// Makes every source's picture in the set folder, keeping the ones that are
// up to date; returns the pictures not yet listed in the set.
AddedPictures makePictures(const std::vector<Source>& sources,
                           const std::optional<imagesets::SetDescriptor>& existing,
                           const MakeOptions& options, const std::string& program,
                           Progress* progress, MakeReport& report) {
    // Pictures already in the set, by file base.
    std::set<std::string> listedBases, names;
    if (existing)
        for (const auto& [image, file] : existing->images) {
            listedBases.insert(imagesets::foldKey(withoutMark(file)));
            names.insert(imagesets::foldKey(image));
        }
    AddedPictures added;
    if (progress)
        progress->begin(int(sources.size()));
    int done = 0;
    for (const auto& src : sources) {
        const std::string dest = report.setPath + src.base;
        const bool listed = listedBases.count(imagesets::foldKey(src.base)) > 0;
        if (listed && upToDate(dest, src.path)) {
            ++report.kept;
        } else {
            PictureTitle title;
            std::string error = makePicture(src, dest, options.store, program, title);
            if (!error.empty()) {
                report.skipped.push_back({src.fileName, error});
            } else {
                ++report.made;
                if (!listed) {
                    added.emplace_back(uniqueName(imageNameFor(title.title), names), src.base);
                    listedBases.insert(imagesets::foldKey(src.base));
                }
            }
        }
        if (progress)
            progress->step(++done, src.fileName);
    }
    if (progress)
        progress->end();
    return added;
}

// Writes images.ini: the set's section is the last one, so new pictures are
// appended to the file as it is. Returns the error, empty on success.
std::string writeImagesIni(const std::string& imagesIni, bool existing, const MakeOptions& options,
                           const std::string& setName, const AddedPictures& added) {
    std::string text;
    if (existing) {
        std::string error;
        if (!readFile(imagesIni, 16 * 1024 * 1024, text, error))
            return imagesIni + " " + error;
        if (!text.empty() && text.back() != '\n')
            text += "\n";
    } else {
        std::string from;
        for (const auto& s : options.sources)
            from += (from.empty() ? "" : ", ") + fs::path(s).filename().string();
        text = "[SetDescriptions]\n" + setName + "=Photographs from " + cleanText(from) + "\n\n[" +
               setName + "]\n";
    }
    for (const auto& [image, file] : added)
        text += image + "=" + file + "\n";
    if (!added.empty() || !existing)
        return writeAtomic(imagesIni, text);
    return "";
}

} // namespace

MakeReport makeSet(const MakeOptions& options, Progress* progress) {
    MakeReport report;
    const std::string program = withSlash(options.programDir);
    if (program.empty()) {
        report.error = "no program directory";
        return report;
    }
    if (!nameSet(options, program, report))
        return report;
    const std::string imagesIni = report.setPath + kImagesIni;
    std::optional<imagesets::SetDescriptor> existing;
    if (!checkExistingSet(program, imagesIni, existing, report))
        return report;

    std::error_code ec;
    std::vector<Source> sources =
        collectSources(options.sources, report.setPath, report.skipped, report.error);
    if (!report.error.empty())
        return report;
    const bool newFolder = !fs::exists(report.setPath, ec);
    if (std::string why; !makeFolders(report.setPath, &why)) {
        report.error = "cannot make " + report.setPath + " (" + why + ")";
        return report;
    }

    const AddedPictures added = makePictures(sources, existing, options, program, progress, report);
    report.total = int(existing ? existing->images.size() : 0) + int(added.size());
    if (report.total == 0) {
        if (newFolder)
            fs::remove(report.setPath, ec); // only when still empty
        report.error = "no picture could be made";
        return report;
    }

    if (std::string error =
            writeImagesIni(imagesIni, existing.has_value(), options, report.setName, added);
        !error.empty()) {
        report.error = error;
        return report;
    }

    if (!options.companyFile.empty())
        if (std::string error = writeCompanyIni(report.setPath, options.companyFile);
            !error.empty()) {
            report.error = error;
            return report;
        }

    auto descriptor = imagesets::readSetDescriptor(imagesIni);
    report.registered = descriptor && registerSet(program, report.setDirectory, *descriptor);
    return report;
}

std::string skippedText(const MakeReport& r) {
    std::ostringstream out;
    if (!r.skipped.empty()) {
        out << r.skipped.size() << " skipped:\n";
        for (const auto& s : r.skipped)
            out << "  " << s.file << ": " << s.reason << "\n";
    }
    return out.str();
}

std::string summaryText(const MakeReport& r) {
    std::ostringstream out;
    if (r.total == 0 || !r.error.empty()) {
        out << "No set made";
        if (!r.setName.empty())
            out << " (\"" << r.setName << "\")";
        out << ": " << (r.error.empty() ? "no picture could be made" : r.error) << "\n";
    } else {
        out << "Set \"" << r.setName << "\" in " << r.setPath << ": " << r.total
            << (r.total == 1 ? " picture" : " pictures") << " (" << r.made << " made, " << r.kept
            << " already up to date)\n";
    }
    out << skippedText(r);
    if (r.error.empty() && r.total > 0)
        out << (r.registered ? "Registered in Skyloom.ini; the saver and the dialog list it.\n"
                             : "Not registered yet; the dialog registers it when it starts.\n");
    return out.str();
}

} // namespace skyloom::mkset
