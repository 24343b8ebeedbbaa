#pragma once
// Shared set-up of tests that run Qt windows offscreen against a private
// home: one QApplication for the whole test program, and the XDG folders of
// a temporary directory.

#include "common/ProfileFile.h"
#include "tests/support/TempDir.h"

#include <QApplication>

#include <cstdlib>
#include <filesystem>

namespace skyloom::test {

/// Creates the program's QApplication once (never destroyed: Qt objects of
/// later tests may outlive any one test).
inline void ensureQApplication() {
    static int argc = 1;
    static char arg0[] = "skyloom-test";
    static char* argv[] = {arg0, nullptr};
    if (!QApplication::instance())
        new QApplication(argc, argv);
}

/// Points XDG_CONFIG_HOME, XDG_DATA_HOME and XDG_RUNTIME_DIR (mode 0700)
/// into `dir` and forgets cached settings files.
inline void useXdgFoldersIn(const TempDir& dir) {
    setenv("XDG_CONFIG_HOME", dir.file("config").c_str(), 1);
    setenv("XDG_DATA_HOME", dir.file("data").c_str(), 1);
    std::filesystem::create_directories(dir.file("run"));
    std::filesystem::permissions(dir.file("run"), std::filesystem::perms::owner_all);
    setenv("XDG_RUNTIME_DIR", dir.file("run").c_str(), 1);
    profile::clearCache();
}

} // namespace skyloom::test
