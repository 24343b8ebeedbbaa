#pragma once
// Builds image-set folders in a temporary program directory.

#include "common/ProfileFile.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace skyloom::test {

using Pictures = std::vector<std::pair<std::string, std::string>>; // image name, file base

class SetFolders : public ::testing::Test {
protected:
    void SetUp() override {
        profile::clearCache();
        setenv("XDG_CONFIG_HOME", dir.file("config").c_str(), 1);
        setenv("XDG_DATA_HOME", dir.file("data").c_str(), 1);
        std::filesystem::create_directories(program);
    }

    /// A set folder with images.ini and a preview bitmap and picture for
    /// every file base (without its "*" mark).
    void makeSet(const std::string& folder, const std::string& name, const Pictures& pictures,
                 const std::string& company = "") const {
        std::string ini =
            "[SetDescriptions]\n" + name + "=Pictures of " + name + "\n\n[" + name + "]\n";
        for (const auto& [image, file] : pictures) {
            ini += image + "=" + file + "\n";
            std::string base = file.substr(file.find_first_not_of(" *"));
            base.erase(base.find_last_not_of(' ') + 1);
            std::replace(base.begin(), base.end(), '\\', '/');
            write(folder + "/" + base + ".bmp", "BM");
            write(folder + "/" + base + ".jpg", "JPEG");
        }
        write(folder + "/images.ini", ini);
        if (!company.empty())
            write(folder + "/company.ini", company);
    }

    void write(const std::string& rel, const std::string& bytes) const {
        std::filesystem::create_directories(std::filesystem::path(program + rel).parent_path());
        std::ofstream(program + rel, std::ios::binary) << bytes;
    }
    std::string read(const std::string& rel) const { return TempDir::readPath(program + rel); }
    std::string registry() const { return read("Skyloom.ini"); }
    void removeFolder(const std::string& rel) const { std::filesystem::remove_all(program + rel); }

    TempDir dir;
    const std::string program = dir.path() + "/program/";
};

} // namespace skyloom::test
