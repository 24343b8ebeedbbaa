// A set's images.ini and company.ini and the registry Skyloom.ini, read and
// registered the way the configuration dialog does at every start.

#include "../FuzzTargets.h"
#include "common/ProfileFile.h"
#include "common/SetFileAccess.h"
#include "imagesets/SetLibrary.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace skyloom::fuzz {
namespace {

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

// Everything the dialog shows of the library, as one text to compare.
std::string describe(const imagesets::SetsClass& sets) {
    std::string out;
    auto add = [&](const imagesets::SetCollection& coll, const char* kind) {
        for (const auto& e : coll) {
            const imagesets::SetInfoClass& set = *e.item;
            out += std::string(kind) + " set " + set.SetName() + " in " + set.SetDirectory() +
                   (set.m_HasTitlePage ? " title" : "") + (set.m_ShowTitlePage ? " shown" : "") +
                   (set.m_TitlePageUserControl ? " switchable" : "") + "\n";
            for (const auto& img : set.IncludedImages())
                out += "  + " + img.item->ImageName() + " = " + img.item->FileName() + "\n";
            for (const auto& img : set.ExcludedImages())
                out += "  - " + img.item->ImageName() + " = " + img.item->FileName() + "\n";
        }
    };
    add(sets.IncludedCollection(), "included");
    add(sets.ExcludedCollection(), "excluded");
    return out;
}

} // namespace

void runImageSet(const std::uint8_t* data, std::size_t size) {
    const std::string_view input = asText(data, size);
    std::string_view parts[3];
    std::size_t start = 0;
    for (int i = 0; i < 3 && start <= input.size(); ++i) {
        const std::size_t ff = i < 2 ? input.find('\f', start) : std::string_view::npos;
        parts[i] = input.substr(start, ff == std::string_view::npos ? ff : ff - start);
        start = ff == std::string_view::npos ? input.size() + 1 : ff + 1;
    }

    const std::string program = freshScratchFolder();
    const std::string set = program + "Set/";
    std::filesystem::create_directories(set);
    writeFile(set + "images.ini", parts[0]);
    if (!parts[1].empty())
        writeFile(set + "company.ini", parts[1]);
    if (!parts[2].empty())
        writeFile(program + imagesets::kRegistryFile, parts[2]);
    // Preview bitmaps: pictures named pic1 and pic2 are listed.
    writeFile(set + "pic1.bmp", "");
    writeFile(set + "Pic2.BMP", "");
    setSetFileRoot(program);
    profile::clearCache();
    const std::string registry = program + imagesets::kRegistryFile;

    imagesets::SetLibrary first;
    if (first.InitSetsInfo(program) != imagesets::SetLibrary::InitResult::Ok)
        return;
    const std::string registered = readFile(registry);
    const std::string shown = describe(first.Sets());

    // A second start finds the registry in step with the disk.
    imagesets::SetLibrary second;
    second.InitSetsInfo(program);
    check(readFile(registry) == registered, "a second start leaves the registry alone");
    check(describe(second.Sets()) == shown, "a second start shows the same library");

    // The set on disk is known: registering it again changes nothing.
    check(!imagesets::RegisterImageSet(program, "Set/"), "a known set is not registered again");
    check(readFile(registry) == registered, "registering a known set leaves the registry alone");

    // Saving what was shown and starting again shows the same.
    second.SaveSetsInfo(); // false for names that cannot be written; those are skipped
    imagesets::SetLibrary third;
    third.InitSetsInfo(program);
    check(describe(third.Sets()) == shown, "saving and starting again shows the same library");
}

} // namespace skyloom::fuzz
