// Reads and writes Skyloom's settings from scripts, with the same atomic,
// locked writes as the programs (so a running saver or dialog loses nothing).
//
//   skyloom-ini get FILE SECTION KEY [DEFAULT]   (KEY "": the section's key
//                                                 names, one per line)
//   skyloom-ini set FILE SECTION KEY VALUE
//   skyloom-ini registry-get KEY NAME
//   skyloom-ini registry-set KEY NAME VALUE
//   skyloom-ini paths
//   skyloom-ini saver-password   (reads the new saver password from stdin;
//                                 an empty line removes it)
//
// KEY of the registry forms is a path below HKEY_CURRENT_USER (a leading
// "HKEY_CURRENT_USER\" is accepted), NAME "@" for the unnamed value.
// Exit status: 0 done, 1 the value is missing or could not be written,
// 2 a wrong command line.

#include "common/Profile.h"
#include "common/ProgramInfo.h"
#include "platform/Locations.h"
#include "platform/Password.h"
#include "platform/Registry.h"

#include <algorithm>
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

namespace {

constexpr const char* kUsage = "usage: skyloom-ini get FILE SECTION KEY [DEFAULT]\n"
                               "       skyloom-ini set FILE SECTION KEY VALUE\n"
                               "       skyloom-ini registry-get KEY NAME\n"
                               "       skyloom-ini registry-set KEY NAME VALUE\n"
                               "       skyloom-ini paths\n"
                               "       skyloom-ini saver-password < password\n"
                               "An empty KEY lists the section's key names, one per line.\n";

int usage() {
    std::fputs(kUsage, stderr);
    return 2;
}

// A failure: its reason on one line of stderr, exit status 1.
int failed(const std::string& reason) {
    std::fprintf(stderr, "skyloom-ini: %s\n", reason.c_str());
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    using namespace skyloom;
    std::vector<std::string> a(argv + 1, argv + argc);
    if (a.empty())
        return usage();
    if (auto status = answerStandardOptions(a, "skyloom-ini", kUsage))
        return *status;
    platform::initialise();
    const std::string& cmd = a[0];
    if (cmd == "get" && (a.size() == 4 || a.size() == 5)) {
        std::string text = ReadIniString(a[2], a[3], a.size() == 5 ? a[4] : "", a[1]);
        if (a[3].empty()) {
            // The key list: each name ends in a NUL; print one name per line.
            std::replace(text.begin(), text.end(), '\0', '\n');
            std::fputs(text.c_str(), stdout);
        } else {
            std::puts(text.c_str());
        }
        return 0;
    }
    if (cmd == "set" && a.size() == 5)
        return WriteIniString(a[2], a[3], a[4], a[1]) ? 0 : failed("could not write " + a[1]);
    if (cmd == "registry-get" && a.size() == 3) {
        auto v = platform::readRegistryValue(a[1], a[2]);
        if (!v)
            return failed("no value \"" + a[2] + "\" under " + a[1]);
        std::puts(v->c_str());
        return 0;
    }
    if (cmd == "registry-set" && a.size() == 4)
        return platform::writeRegistryValue(a[1], a[2], a[3])
                   ? 0
                   : failed("could not write " + platform::registryFilePath());
    if (cmd == "paths" && a.size() == 1) {
        std::printf("registry=%s\nsystem=%s\nprogram=%s\n", platform::registryFilePath().c_str(),
                    platform::GetWindowsDir().c_str(), platform::GetProgramPath().c_str());
        return 0;
    }
    if (cmd == "saver-password" && a.size() == 1) {
        std::string password;
        std::getline(std::cin, password);
        return platform::setSaverPassword(password) ? 0
                                                    : failed("could not store the saver password");
    }
    return usage();
}
