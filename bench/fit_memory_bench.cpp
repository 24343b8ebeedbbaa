// Peak memory and time of the row-by-row fitted decode of pictures that
// declare far more pixels than memory should hold: a 15000 x 15000 PNG, a
// 16-bit 9000 x 9000 PNG with transparency, a 16000 x 16000 RLE bitmap.
// Each picture is made first (streamed, a few megabytes at most), then
// decoded onto 1920 x 1080 in a process of its own, so that the peak
// resident size is the decode's alone.
// Run: build/bench/fit_memory_bench run [FOLDER]   (see docs/PERFORMANCE.md)

#include "../tests/graphics/PngBuilder.h"
#include "graphics/io/FitStream.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

using namespace skyloom;

namespace {

void save(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

// Rows of shades with a pattern across, so that the pixels are not all alike.
std::vector<std::uint8_t> shadedPng(std::uint32_t w, std::uint32_t h, int colorType, int depth) {
    test::PngLayout p;
    p.width = w;
    p.height = h;
    p.colorType = colorType;
    p.depth = depth;
    const int channels = colorType == 2 ? 3 : colorType == 6 ? 4 : 1;
    const std::size_t bytes = std::size_t(w) * channels * depth / 8;
    p.row = [=](std::uint32_t y, std::uint8_t* row) {
        for (std::size_t i = 0; i < bytes; ++i)
            row[i] = static_cast<std::uint8_t>((i / 512 + y / 64) * 16);
    };
    return test::buildPng(p);
}

// An RLE8 bitmap whose rows are runs of 255 pixels in changing colours.
std::vector<std::uint8_t> rleBitmap(std::int32_t w, std::int32_t h) {
    std::vector<std::uint8_t> d(54 + 1024, 0);
    const auto le32 = [&](std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            d[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
    };
    d[0] = 'B';
    d[1] = 'M';
    le32(10, 54 + 1024);
    le32(14, 40);
    le32(18, static_cast<std::uint32_t>(w));
    le32(22, static_cast<std::uint32_t>(h));
    d[26] = 1;
    d[28] = 8;
    le32(30, 1);
    for (int i = 0; i < 256; ++i) {
        d[54 + 4 * i] = static_cast<std::uint8_t>(i);
        d[55 + 4 * i] = static_cast<std::uint8_t>(255 - i);
        d[56 + 4 * i] = static_cast<std::uint8_t>(i * 7);
    }
    for (std::int32_t y = 0; y < h; ++y) {
        for (std::int32_t x = 0; x < w; x += 255) {
            d.push_back(static_cast<std::uint8_t>(std::min(255, w - x)));
            d.push_back(static_cast<std::uint8_t>(x / 255 + y / 100));
        }
        d.push_back(0);
        d.push_back(0);
    }
    d.push_back(0);
    d.push_back(1);
    le32(2, static_cast<std::uint32_t>(d.size()));
    return d;
}

int fit(const std::string& path) {
    graphics::FitRequest rq;
    rq.target = QSize(1920, 1080);
    QImage out;
    std::string error;
    graphics::FitStats stats;
    const auto start = std::chrono::steady_clock::now();
    const bool ok = graphics::decodeFittedFile(path, rq, out, error, &stats);
    const double ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("  %-34s %s  %7.0f ms  peak RSS %6.1f MB  band %5.1f MB%s%s\n",
                std::filesystem::path(path).filename().c_str(), ok ? "ok     " : "refused", ms,
                usage.ru_maxrss / 1024.0, stats.bandBytes / 1048576.0, ok ? "" : "  ",
                ok ? "" : error.c_str());
    return ok ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc >= 3 && std::strcmp(argv[1], "fit") == 0)
        return fit(argv[2]), 0;
    if (argc < 2 || std::strcmp(argv[1], "run") != 0) {
        std::fprintf(stderr, "usage: fit_memory_bench run [FOLDER]\n");
        return 2;
    }
    const std::filesystem::path folder = argc >= 3 ? argv[2] : "bench/out/fit-memory";
    std::filesystem::create_directories(folder);
    const struct {
        const char* name;
        std::vector<std::uint8_t> (*make)();
    } pictures[] = {
        {"grey-15000x15000.png", [] { return shadedPng(15000, 15000, 0, 8); }},
        {"rgb-15000x15000.png", [] { return shadedPng(15000, 15000, 2, 8); }},
        {"rgba16-9000x9000.png", [] { return shadedPng(9000, 9000, 6, 16); }},
        {"rle8-16000x16000.bmp", [] { return rleBitmap(16000, 16000); }},
    };
    std::printf("Fitted onto 1920 x 1080 (file sizes in bytes):\n");
    for (const auto& p : pictures) {
        const std::string path = (folder / p.name).string();
        if (!std::filesystem::exists(path))
            save(path, p.make());
        std::printf("  %s: %ju bytes\n", p.name, std::uintmax_t(std::filesystem::file_size(path)));
        std::fflush(stdout);
        const pid_t child = fork();
        if (child == 0) {
            execl("/proc/self/exe", argv[0], "fit", path.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        int status = 0;
        waitpid(child, &status, 0);
    }
    return 0;
}
