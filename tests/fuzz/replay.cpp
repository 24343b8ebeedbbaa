// Runs every seed and every saved regression input through its fuzz target,
// so that inputs which once crashed stay fixed in ordinary builds. Every
// target must have seeds, and every folder must name a target: a seed
// folder cannot be dropped or misnamed without this test failing.

#include "FuzzTargets.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <set>

#ifndef SKYLOOM_FUZZ_DIR
#error "SKYLOOM_FUZZ_DIR must name tests/fuzz"
#endif

namespace {

namespace fs = std::filesystem;
using skyloom::fuzz::Target;

const fs::path kRoot(SKYLOOM_FUZZ_DIR);

// Runs every file of the folder; the number of files run.
int replayFolder(const fs::path& folder, const Target& target) {
    int files = 0;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (!entry.is_regular_file())
            continue;
        SCOPED_TRACE(std::string(target.name) + ": " + entry.path().string());
        std::ifstream in(entry.path(), std::ios::binary);
        const std::string bytes{std::istreambuf_iterator<char>(in),
                                std::istreambuf_iterator<char>()};
        EXPECT_TRUE(in.good() || in.eof()) << "cannot read " << entry.path();
        target.run(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
        ++files;
    }
    return files;
}

class FuzzReplay : public ::testing::TestWithParam<Target> {};

TEST_P(FuzzReplay, EverySeedAndRegression) {
    const Target& target = GetParam();
    const fs::path seeds = kRoot / "seeds" / target.name;
    ASSERT_TRUE(fs::is_directory(seeds)) << "no seed folder " << seeds;
    EXPECT_GT(replayFolder(seeds, target), 0) << "the seed folder " << seeds << " is empty";
    const fs::path regressions = kRoot / "regressions" / target.name;
    if (fs::is_directory(regressions))
        replayFolder(regressions, target);
}

INSTANTIATE_TEST_SUITE_P(Targets, FuzzReplay, ::testing::ValuesIn(skyloom::fuzz::kTargets),
                         [](const auto& param) { return std::string(param.param.name); });

// A folder whose name matches no target would never be replayed.
TEST(FuzzReplayFolders, EveryFolderNamesATarget) {
    std::set<std::string> names;
    for (const Target& t : skyloom::fuzz::kTargets)
        names.insert(t.name);
    for (const char* kind : {"seeds", "regressions"}) {
        ASSERT_TRUE(fs::is_directory(kRoot / kind)) << "missing " << kRoot / kind;
        for (const auto& entry : fs::directory_iterator(kRoot / kind))
            EXPECT_TRUE(entry.is_directory() && names.count(entry.path().filename().string()))
                << entry.path() << " is not the folder of a fuzz target";
    }
}

} // namespace
