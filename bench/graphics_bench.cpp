// Measures Skyloom's picture path against peer tools in the same run:
// decode a large JPEG, fit it to a screen size with area-averaging quality
// and write a 24-bit BMP. Each tool runs as its own process, interleaved
// with the others, so that load on the machine hits all of them alike;
// wall time and peak memory come from the kernel (wait4), quality from the
// PSNR against a full-resolution Lanczos reference.
//
//   graphics_bench run [--reps N] [--work DIR] [--photo JPEG]   the comparison
//   graphics_bench fit IN WIDTH HEIGHT OUT.bmp [--wallpaper]    our path, once (the wallpaper's:
//   halving progressive files) graphics_bench generate PHOTO OUTDIR                        the 24
//   MP test files graphics_bench psnr A.bmp B.bmp                             quality of A against
//   B graphics_bench bmpwrite PICTURE DIR                         BMP writing against a raw write

#include "BenchMath.h"
#include "graphics/io/BmpCodec.h"
#include "graphics/io/FileIO.h"
#include "graphics/io/JpegCodec.h"
#include "graphics/io/PictureFile.h"
#include "graphics/io/Resample.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <iostream>
#include <map>
#include <random>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

using namespace skyloom::graphics;
namespace fs = std::filesystem;

namespace {

using skyloom::bench::fixed;
using skyloom::bench::median;

using Clock = std::chrono::steady_clock;

int fit(const std::string& in, int width, int height, const std::string& out,
        JpegThreads threads = JpegThreads::One) {
    QImage image;
    std::string error;
    if (!decodeJpegFittedFile(in, QSize(width, height), FitMode::Cover, image, error, {},
                              threads) ||
        !writeBmp24(out, image, error)) {
        std::cerr << error << "\n";
        return 1;
    }
    return 0;
}

bool readAny(const std::string& path, QImage& image) {
    std::string error;
    if (!loadPicture(path, image, error)) {
        std::cerr << error << "\n";
        return false;
    }
    return true;
}

double psnr(const QImage& a, const QImage& b) {
    if (a.size() != b.size())
        return -1;
    double sum = 0;
    for (int y = 0; y < a.height(); ++y) {
        const QRgb* p = reinterpret_cast<const QRgb*>(a.constScanLine(y));
        const QRgb* q = reinterpret_cast<const QRgb*>(b.constScanLine(y));
        for (int x = 0; x < a.width(); ++x)
            for (int shift : {0, 8, 16}) {
                const int d = int((p[x] >> shift) & 0xff) - int((q[x] >> shift) & 0xff);
                sum += d * d;
            }
    }
    const double mse = sum / (3.0 * a.width() * a.height());
    return mse == 0 ? 99.0 : 10 * std::log10(255.0 * 255.0 / mse);
}

// A 6000 × 4000 photo made from the given one: enlarged with interpolation,
// then given a fixed pattern of fine grain as a camera sensor would.
int generate(const std::string& photo, const fs::path& outDir) {
    QImage source;
    if (!readAny(photo, source))
        return 1;
    QImage big(6000, 4000, QImage::Format_RGB32);
    resampleRect(source, 0, 0, source.width(), source.height(), big, 0, 0, 6000, 4000);
    std::mt19937 random(4);
    std::uniform_int_distribution<int> grain(-4, 4);
    for (int y = 0; y < big.height(); ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(big.scanLine(y));
        for (int x = 0; x < big.width(); ++x) {
            const int g = grain(random);
            auto ch = [&](int v) { return std::clamp(v + g, 0, 255); };
            row[x] = qRgb(ch(qRed(row[x])), ch(qGreen(row[x])), ch(qBlue(row[x])));
        }
    }
    fs::create_directories(outDir);
    std::string error;
    JpegEncodeOptions options;
    options.quality = 92;
    options.chroma = ChromaSampling::Quarter;
    if (!writeJpeg((outDir / "photo24-baseline.jpg").string(), big, options, error))
        return std::cerr << error << "\n", 1;
    options.progressive = true;
    if (!writeJpeg((outDir / "photo24-progressive.jpg").string(), big, options, error))
        return std::cerr << error << "\n", 1;
    return 0;
}

struct RunResult {
    double ms = 0;
    double peakMb = 0;
    bool ok = false;
};

RunResult spawn(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (const auto& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    RunResult result;
    pid_t pid;
    const auto start = Clock::now();
    if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
        posix_spawn_file_actions_destroy(&actions);
        return result;
    }
    int status = 0;
    struct rusage usage {};
    wait4(pid, &status, 0, &usage);
    result.ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    posix_spawn_file_actions_destroy(&actions);
    result.peakMb = usage.ru_maxrss / 1024.0;
    result.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return result;
}

// BMP writing against a plain write of the same bytes, in-process, both
// into a new file and over an existing one (which costs the file system
// the freeing of the old file's blocks as well).
void bmpWriteComparison(const fs::path& work, const std::string& picture) {
    QImage image;
    if (!readAny(picture, image))
        return;
    const std::vector<std::uint8_t> bytes = encodeBmp24(image);
    std::cout << "\nBMP writing, " << image.width() << " x " << image.height() << " ("
              << fixed(bytes.size() / 1e6, 1) << " MB), median of 9 interleaved runs:\n";
    for (bool replace : {false, true}) {
        std::vector<double> ours, raw;
        for (int i = 0; i < 9; ++i) {
            if (!replace) {
                fs::remove(work / "write-ours.bmp");
                fs::remove(work / "write-raw.bmp");
            }
            auto start = Clock::now();
            std::string error;
            writeBmp24((work / "write-ours.bmp").string(), image, error);
            ours.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
            start = Clock::now();
            FILE* f = std::fopen((work / "write-raw.bmp").c_str(), "wb");
            if (f) {
                std::fwrite(bytes.data(), 1, bytes.size(), f);
                std::fclose(f);
            }
            raw.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        }
        std::cout << "- " << (replace ? "over an existing file" : "into a new file") << ": ours "
                  << fixed(median(ours), 1) << " ms, raw write of the same bytes "
                  << fixed(median(raw), 1) << " ms, ratio " << fixed(median(ours) / median(raw), 2)
                  << "\n";
    }
}

int run(int reps, const fs::path& work, const std::string& photo, const std::string& self) {
    fs::create_directories(work);
    if (!fs::exists(work / "photo24-baseline.jpg") ||
        !fs::exists(work / "photo24-progressive.jpg")) {
        // In a process of its own: a child's peak memory includes what its
        // parent held when it was started, and making the photos takes
        // hundreds of megabytes.
        std::cerr << "generating the 24-megapixel test photos...\n";
        if (!spawn({self, "generate", photo, work.string()}).ok)
            return 1;
    }
    struct Input {
        std::string name, path;
    };
    const std::vector<Input> inputs = {
        {"Elephants 5640x3172 (progressive, q100)", photo},
        {"generated 6000x4000 baseline", (work / "photo24-baseline.jpg").string()},
        {"generated 6000x4000 progressive", (work / "photo24-progressive.jpg").string()}};
    const std::vector<QSize> targets = {{1920, 1080}, {3840, 2160}};
    const std::vector<std::string> tools = {"skyloom", "vipsthumbnail", "convert"};
    auto command = [&](const std::string& tool, const std::string& in, QSize t,
                       const std::string& out) -> std::vector<std::string> {
        const std::string w = std::to_string(t.width()), h = std::to_string(t.height());
        if (tool == "skyloom")
            return {self, "fit", in, w, h, out};
        if (tool == "vipsthumbnail")
            return {"vipsthumbnail", in, "-s", w + "x" + h, "-m", "centre", "-o", out};
        return {"/usr/bin/convert", in,          "-resize", w + "x" + h + "^", "-gravity", "center",
                "-extent",          w + "x" + h, out};
    };
    std::map<std::string, std::vector<double>> times, peaks;
    for (int rep = 0; rep < reps; ++rep) {
        for (std::size_t i = 0; i < inputs.size(); ++i)
            for (QSize t : targets)
                for (std::size_t k = 0; k < tools.size(); ++k) {
                    // Rotate the order so that no tool always runs first.
                    const std::string& tool = tools[(k + rep) % tools.size()];
                    const std::string key =
                        std::to_string(i) + "/" + std::to_string(t.width()) + "/" + tool;
                    const std::string out = (work / (tool + "-" + std::to_string(i) + "-" +
                                                     std::to_string(t.width()) + ".bmp"))
                                                .string();
                    const RunResult r = spawn(command(tool, inputs[i].path, t, out));
                    if (!r.ok) {
                        std::cerr << "failed: " << tool << " on " << inputs[i].path << "\n";
                        continue;
                    }
                    times[key].push_back(r.ms);
                    peaks[key].push_back(r.peakMb);
                }
        std::cerr << "round " << rep + 1 << " of " << reps << " done\n";
    }
    // Reference: full-resolution decode, Lanczos resize, centre cut.
    std::cout << "| picture | target | skyloom ms | vipsthumbnail ms | convert ms | skyloom / vips "
                 "| skyloom / convert | skyloom peak MB | vips peak MB | convert peak MB | PSNR "
                 "skyloom dB | PSNR vips dB |\n";
    std::cout << "|---|---|---|---|---|---|---|---|---|---|---|---|\n";
    for (std::size_t i = 0; i < inputs.size(); ++i)
        for (QSize t : targets) {
            const std::string w = std::to_string(t.width()), h = std::to_string(t.height());
            const std::string ref =
                (work / ("reference-" + std::to_string(i) + "-" + w + ".bmp")).string();
            spawn({"/usr/bin/convert", inputs[i].path, "-filter", "Lanczos", "-resize",
                   w + "x" + h + "^", "-gravity", "center", "-extent", w + "x" + h, ref});
            QImage reference, ours, vips;
            double psnrOurs = -1, psnrVips = -1;
            auto outFile = [&](const std::string& tool) {
                return (work / (tool + "-" + std::to_string(i) + "-" + w + ".bmp")).string();
            };
            if (readAny(ref, reference)) {
                if (readAny(outFile("skyloom"), ours))
                    psnrOurs = psnr(ours, reference);
                if (readAny(outFile("vipsthumbnail"), vips))
                    psnrVips = psnr(vips, reference);
            }
            auto key = [&](const std::string& tool) {
                return std::to_string(i) + "/" + w + "/" + tool;
            };
            const double s = median(times[key("skyloom")]), v = median(times[key("vipsthumbnail")]),
                         c = median(times[key("convert")]);
            std::cout << "| " << inputs[i].name << " | " << w << "x" << h << " | " << fixed(s)
                      << " | " << fixed(v) << " | " << fixed(c) << " | " << fixed(s / v, 2) << " | "
                      << fixed(s / c, 2) << " | " << fixed(median(peaks[key("skyloom")])) << " | "
                      << fixed(median(peaks[key("vipsthumbnail")])) << " | "
                      << fixed(median(peaks[key("convert")])) << " | " << fixed(psnrOurs, 1)
                      << " | " << fixed(psnrVips, 1) << " |\n";
        }
    std::cout << "\nMedians of " << reps << " interleaved runs per cell.\n";
    // djpeg alone, for scale: the fastest a 1/2 DCT decode of the baseline file gets.
    std::vector<double> djpeg;
    for (int rep = 0; rep < reps; ++rep) {
        const RunResult r = spawn({"djpeg", "-scale", "1/2", "-bmp", "-outfile",
                                   (work / "djpeg.bmp").string(), inputs[1].path});
        if (r.ok)
            djpeg.push_back(r.ms);
    }
    if (!djpeg.empty())
        std::cout << "djpeg -scale 1/2 of the 6000x4000 baseline file alone: "
                  << fixed(median(djpeg)) << " ms\n";
    bmpWriteComparison(work, (work / "skyloom-1-3840.bmp").string());
    return 0;
}

int usage() {
    std::cerr << "usage: graphics_bench run [--reps N] [--work DIR] [--photo JPEG]\n"
                 "       graphics_bench fit IN WIDTH HEIGHT OUT.bmp [--wallpaper]\n"
                 "       graphics_bench generate PHOTO OUTDIR\n"
                 "       graphics_bench psnr A B\n"
                 "       graphics_bench bmpwrite PICTURE DIR\n";
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty())
        return usage();
    if (args[0] == "fit" && (args.size() == 5 || (args.size() == 6 && args[5] == "--wallpaper")))
        return fit(args[1], std::atoi(args[2].c_str()), std::atoi(args[3].c_str()), args[4],
                   args.size() == 6 ? JpegThreads::Several : JpegThreads::One);
    if (args[0] == "bmpwrite" && args.size() == 3) {
        bmpWriteComparison(args[2], args[1]);
        return 0;
    }
    if (args[0] == "generate" && args.size() == 3)
        return generate(args[1], args[2]);
    if (args[0] == "psnr" && args.size() == 3) {
        QImage a, b;
        if (!readAny(args[1], a) || !readAny(args[2], b))
            return 1;
        std::cout << fixed(psnr(a, b), 2) << " dB\n";
        return 0;
    }
    if (args[0] == "run") {
        int reps = 5;
        fs::path work = fs::temp_directory_path() / "graphics-bench";
        std::string photo = "/usr/share/backgrounds/mate/abstract/Elephants_5640x3172.jpg";
        for (std::size_t i = 1; i + 1 < args.size(); i += 2) {
            if (args[i] == "--reps")
                reps = std::max(1, std::atoi(args[i + 1].c_str()));
            else if (args[i] == "--work")
                work = args[i + 1];
            else if (args[i] == "--photo")
                photo = args[i + 1];
            else
                return usage();
        }
        if (!fs::exists(photo)) {
            std::cerr << photo << " is missing: install Debian's mate-backgrounds\n";
            return 1;
        }
        return run(reps, work, photo, fs::canonical("/proc/self/exe").string());
    }
    return usage();
}
