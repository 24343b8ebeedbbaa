// Runs every seed and every saved regression input through the fuzz
// targets, so that inputs which once crashed stay fixed in ordinary builds.

#include "FuzzTargets.h"
#include "graphics/io/FileIO.h"

#include <filesystem>
#include <gtest/gtest.h>

#ifndef SKYLOOM_FUZZ_DIR
#error "SKYLOOM_FUZZ_DIR must name tests/fuzz"
#endif

namespace {

void replayFolder(const std::filesystem::path& folder,
                  void (*target)(const std::uint8_t*, std::size_t)) {
    if (!std::filesystem::is_directory(folder))
        return;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (!entry.is_regular_file())
            continue;
        SCOPED_TRACE(entry.path().string());
        skyloom::graphics::FileBytes file(entry.path().string());
        ASSERT_TRUE(file.ok());
        target(file.bytes().data(), file.bytes().size());
    }
}

} // namespace

TEST(FuzzReplay, BmpRegressions) {
    replayFolder(std::filesystem::path(SKYLOOM_FUZZ_DIR) / "regressions" / "bmp",
                 skyloom::fuzz::runBmp);
}

TEST(FuzzReplay, JpegRegressions) {
    replayFolder(std::filesystem::path(SKYLOOM_FUZZ_DIR) / "regressions" / "jpeg",
                 skyloom::fuzz::runJpeg);
}
