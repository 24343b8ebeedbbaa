#pragma once
// A private XDG home with a program directory holding image sets, for the
// configuration dialog tests.

#include "common/ProfileFile.h"
#include "platform/Locations.h"
#include "platform/Registry.h"
#include "tests/support/QtTestSupport.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace skyloom::test {

class ConfigFixture : public ::testing::Test {
protected:
    static void SetUpTestSuite() { skyloom::test::ensureQApplication(); }
    void SetUp() override {
        skyloom::test::useXdgFoldersIn(dir);
        platform::initialise();
        program = platform::GetProgramPath();
        settings = program + "ScreenSaver.ini";
    }

    /// A set folder "folder" named `name` with pictures (image name = file base).
    void makeSet(const std::string& folder, const std::string& name,
                 const std::vector<std::string>& pictures) const {
        std::string ini = "[SetDescriptions]\n" + name + "=Pictures\n\n[" + name + "]\n";
        for (const auto& p : pictures) {
            ini += p + "=" + p + "\n";
            QImage preview(8, 6, QImage::Format_RGB32);
            preview.fill(Qt::darkBlue);
            std::filesystem::create_directories(program + folder);
            preview.save(QString::fromStdString(program + folder + "/" + p + ".bmp"), "BMP");
            preview.save(QString::fromStdString(program + folder + "/" + p + ".jpg"), "JPEG");
        }
        writeFile(program + folder + "/images.ini", ini);
    }
    void twoSets() const {
        makeSet("harbour", "Harbour", {"Boats", "Quay"});
        makeSet("meadow", "Meadow", {"Grass", "Poppies", "Oak"});
    }
    static void writeFile(const std::string& path, const std::string& bytes) {
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        std::ofstream(path, std::ios::binary) << bytes;
        profile::clearCache();
    }
    void writeSettings(const std::string& bytes) const { writeFile(settings, bytes); }
    std::string readSettings() const { return TempDir::readPath(settings); }
    /// The value of a key as the programs read it ("" when missing).
    std::string value(const std::string& section, const std::string& key,
                      const std::string& file = {}) const {
        profile::clearCache();
        auto doc = profile::load(file.empty() ? settings : file);
        return doc->value(section, key).value_or("");
    }
    bool has(const std::string& section, const std::string& key) const {
        profile::clearCache();
        return profile::load(settings)->value(section, key).has_value();
    }

    TempDir dir;
    std::string program;
    std::string settings;
};

} // namespace skyloom::test
