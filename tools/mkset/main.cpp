// skyloom-mkset: turns folders of photos into an image set.
//
//   skyloom-mkset SOURCE... [--name "Set name"] [--into PROGRAM_DIR]
//                 [--copy|--link] [--company FILE]
//
// SOURCE is a folder (its JPEG and PNG pictures; other files are reported
// and skipped) or a picture file. The set goes into the program directory
// (default: the one in the user's registry file) and is registered there.
// Running it again on the same sources adds new pictures and remakes changed
// ones; nothing is listed twice. Exit status 0 when the set has pictures, 1
// when nothing could be made, 2 for a wrong command line.

#include "common/ProgramInfo.h"
#include "common/SetFileAccess.h"
#include "imagesets/maker/Progress.h"
#include "imagesets/maker/SetMaker.h"
#include "platform/Locations.h"
#include "platform/Registry.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

constexpr const char* kUsage =
    "usage: skyloom-mkset SOURCE... [--name \"Set name\"] [--into PROGRAM_DIR]\n"
    "                     [--copy|--link] [--company FILE]\n"
    "  SOURCE        a folder of JPEG/PNG photos, or a picture file\n"
    "  --name        the set's name (default: the first folder's name)\n"
    "  --into        the program directory (default: the user's, from the registry)\n"
    "  --copy        copy JPEG pictures into the set (default)\n"
    "  --link        hard-link them, or symlink where that is not possible\n"
    "  --company     make the set's company.ini from FILE (INI sections of\n"
    "                company.ini); keys FILE lacks get their defaults\n"
    "  --help        show this text;  --version  show the version\n";

// A wrong command line: the reason and the usage on standard error.
int usage(const std::string& problem) {
    std::fprintf(stderr, "skyloom-mkset: %s\n%s", problem.c_str(), kUsage);
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    using namespace skyloom;
    mkset::MakeOptions options;
    bool intoGiven = false;
    std::vector<std::string> args(argv + 1, argv + argc);
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](const char* what) -> const std::string* {
            if (i + 1 >= args.size()) {
                usage(std::string(what) + " needs a value");
                return nullptr;
            }
            return &args[++i];
        };
        if (a == "--name") {
            auto v = value("--name");
            if (!v)
                return 2;
            options.setName = *v;
        } else if (a == "--into") {
            auto v = value("--into");
            if (!v)
                return 2;
            std::error_code ec;
            options.programDir = std::filesystem::absolute(*v, ec).string();
            if (ec)
                options.programDir = *v;
            intoGiven = true;
        } else if (a == "--company") {
            auto v = value("--company");
            if (!v)
                return 2;
            options.companyFile = *v;
        } else if (a == "--copy") {
            options.store = mkset::StoreMode::Copy;
        } else if (a == "--link") {
            options.store = mkset::StoreMode::Link;
        } else if (a == "-h" || a == "--help" || a == "--version") {
            return *answerStandardOptions({a}, "skyloom-mkset", kUsage);
        } else if (a.size() > 1 && a[0] == '-' && a != "--") {
            return usage("unknown option " + a);
        } else if (a == "--") {
            options.sources.insert(options.sources.end(), args.begin() + long(i) + 1, args.end());
            break;
        } else {
            options.sources.push_back(a);
        }
    }
    if (options.sources.empty())
        return usage("no source folder or picture given");
    if (!intoGiven) {
        platform::initialise();
        options.programDir = platform::GetProgramPath();
        if (options.programDir.empty()) {
            std::fputs("skyloom-mkset: no program directory (see the message above)\n", stderr);
            return 1;
        }
    }
    mkset::TerminalProgress progress(stderr);
    setSetFileRoot(options.programDir); // the set's own files stay inside it
    const mkset::MakeReport report = mkset::makeSet(options, &progress);
    // The result goes to standard output only when a set was made; every
    // problem (a failure, skipped pictures) goes to standard error.
    const bool made = report.error.empty() && report.total > 0;
    if (made) {
        mkset::MakeReport result = report;
        result.skipped.clear();
        std::fputs(mkset::summaryText(result).c_str(), stdout);
        std::fputs(mkset::skippedText(report).c_str(), stderr);
    } else {
        std::fputs(mkset::summaryText(report).c_str(), stderr);
    }
    return made ? 0 : 1;
}
