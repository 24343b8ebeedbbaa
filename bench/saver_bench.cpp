// Measures the saver's picture change: preparing a 24-megapixel photo for a
// 1920 × 1080 canvas against vipsthumbnail making the same fit (each as its
// own process, interleaved, so that load on the machine hits both alike),
// the CPU time of transition steps, and the pacing of the steps in the real
// window.
//
//   saver_bench run [--reps N] [--work DIR]   preparation and step figures
//   saver_bench prep IN WIDTH HEIGHT DIR      one preparation into DIR
//   saver_bench generate OUT.jpg              the 6000 × 4000 test photo
//   saver_bench steps TYPE [WIDTH HEIGHT]     step pacing of one transition in
//                                             a saver window (needs a display)

#include "BenchMath.h"
#include "graphics/io/JpegCodec.h"
#include "graphics/io/PictureFile.h"
#include "graphics/io/Resample.h"
#include "imagesets/PlayList.h"
#include "saver/PrepImage.h"
#include "saver/Transition.h"
#include "saver/frmSaver.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPainter>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <iostream>
#include <random>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <vector>

extern char** environ;

using namespace skyloom;
namespace fs = std::filesystem;

namespace {

using skyloom::bench::fixed;
using skyloom::bench::median;

using Clock = std::chrono::steady_clock;

double ms(Clock::time_point a, Clock::time_point b) {
    return std::chrono::duration<double, std::milli>(b - a).count();
}

double threadCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

// A 6000 × 4000 photo as a camera writes it (4:2:0, quality 92): a desktop
// background enlarged, or drawn shapes when there is none, with sensor grain.
int generate(const std::string& out) {
    QImage big(6000, 4000, QImage::Format_RGB32);
    QImage source;
    std::string error;
    if (graphics::loadPicture("/usr/share/backgrounds/mate/abstract/Elephants.jpg", source,
                              error)) {
        graphics::resampleRect(source, 0, 0, source.width(), source.height(), big, 0, 0, 6000,
                               4000);
    } else {
        QPainter p(&big);
        QLinearGradient sky(0, 0, 6000, 4000);
        sky.setColorAt(0, QColor(20, 40, 120));
        sky.setColorAt(1, QColor(240, 180, 60));
        p.fillRect(big.rect(), sky);
        std::mt19937 r(9);
        for (int i = 0; i < 400; ++i) {
            p.setBrush(QColor::fromHsv(int(r() % 360), 160, 200));
            p.drawEllipse(int(r() % 6000), int(r() % 4000), int(r() % 600), int(r() % 600));
        }
    }
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
    graphics::JpegEncodeOptions options;
    options.quality = 92;
    options.chroma = graphics::ChromaSampling::Quarter;
    if (!graphics::writeJpeg(out, big, options, error)) {
        std::cerr << error << "\n";
        return 1;
    }
    return 0;
}

saver::PrepResult prepare(const std::string& in, int w, int h, const std::string& dir) {
    saver::PrepRequest rq;
    rq.programPath = dir.back() == '/' ? dir : dir + "/";
    rq.picturePath = in;
    rq.display = {w, h};
    return saver::preparePicture(rq);
}

struct Timing {
    double wall = -1; ///< ms
    double cpu = -1;  ///< user + system ms of the process
};

Timing spawnTimed(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (const auto& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    pid_t pid;
    const auto start = Clock::now();
    const int rc = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0)
        return {};
    int status = 0;
    struct rusage usage {};
    wait4(pid, &status, 0, &usage);
    const double t = ms(start, Clock::now());
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return {};
    auto tv = [](const timeval& v) { return v.tv_sec * 1e3 + v.tv_usec / 1e3; };
    return {t, tv(usage.ru_utime) + tv(usage.ru_stime)};
}

double processCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

// CPU time of each step of a block effect at w × h.
std::vector<double> stepCpu(int type, int w, int h) {
    graphics::DeviceContext display(w, h), source(w, h);
    source.fill(qRgb(200, 100, 50));
    saver::TransitionClass t;
    t.InitTrasitions(display.hdc(), w, h, "/tmp/");
    t.BlindSize(w / 10); // as the saver sets it
    t.TransType(type);
    t.AddSourcePic(source.hdc(), w, h, 0, 0);
    t.Prepare(); // as the saver does before the first step
    std::vector<double> cpu;
    for (bool done = false; !done;) {
        const double c0 = threadCpuMs();
        done = t.Transition();
        cpu.push_back(threadCpuMs() - c0);
    }
    return cpu;
}

// The 32,400 cell copies of "Fast Block Out" in reveal order against memory order.
std::pair<double, double> blockOrderCost(int w, int h) {
    graphics::DeviceContext display(w, h), source(w, h);
    const int n = 180, cw = w / (n - 1) + 1, ch = h / (n - 1) + 1;
    std::mt19937 r(5);
    auto order = saver::shuffledBlockOrder(
        n, [&] { return std::uniform_real_distribution<double>(0, 1)(r); });
    auto copyAll = [&] {
        const double c0 = threadCpuMs();
        for (const auto c : order)
            graphics::BitBlt(display.hdc(), cw * (c % n), ch * (c / n), cw, ch, source.hdc(),
                             cw * (c % n), ch * (c / n), graphics::SRCCOPY);
        return threadCpuMs() - c0;
    };
    std::vector<double> shuffled, sorted;
    for (int i = 0; i < 7; ++i)
        shuffled.push_back(copyAll());
    std::sort(order.begin(), order.end());
    for (int i = 0; i < 7; ++i)
        sorted.push_back(copyAll());
    return {median(shuffled), median(sorted)};
}

int run(int reps, const fs::path& work, const std::string& self) {
    fs::create_directories(work / "ours");
    const std::string photo = (work / "photo24.jpg").string();
    if (!fs::exists(photo)) {
        std::cerr << "generating the 24-megapixel test photo...\n";
        if (generate(photo) != 0)
            return 1;
    }
    const std::string w = "1920", h = "1080";
    struct Series {
        std::string name;
        std::vector<std::string> command;
        std::vector<double> wall, cpu;
    };
    std::vector<Series> tools = {
        {"saver_bench prep (own process: PrepImage with its BMP work file)",
         {self, "prep", photo, w, h, (work / "ours").string()}},
        {"vipsthumbnail -s 1920x1080! -o out.bmp",
         {"vipsthumbnail", photo, "-s", w + "x" + h + "!", "-o", (work / "vips.bmp").string()}},
        {"vipsthumbnail -s 1920x1080! -o out.ppm",
         {"vipsthumbnail", photo, "-s", w + "x" + h + "!", "-o", (work / "vips.ppm").string()}}};
    for (int rep = 0; rep < reps; ++rep) {
        // Rotate the order so that no tool always runs first.
        for (std::size_t k = 0; k < tools.size(); ++k) {
            Series& t = tools[(k + static_cast<std::size_t>(rep)) % tools.size()];
            const Timing r = spawnTimed(t.command);
            if (r.wall < 0) {
                std::cerr << "failed: " << t.command[0] << "\n";
                return 1;
            }
            t.wall.push_back(r.wall);
            t.cpu.push_back(r.cpu);
        }
    }
    std::vector<double> inWall, inCpu;
    for (int rep = 0; rep < reps; ++rep) {
        const auto t0 = Clock::now();
        const double c0 = processCpuMs();
        const auto r = prepare(photo, 1920, 1080, (work / "ours").string());
        inWall.push_back(ms(t0, Clock::now()));
        inCpu.push_back(processCpuMs() - c0);
        if (r.status != saver::PrepResult::Status::Ready) {
            std::cerr << "preparation failed: " << r.error << "\n";
            return 1;
        }
    }
    std::cout << "Preparing a 6000 x 4000 JPEG (4:2:0, q92) for 1920 x 1080, stretched, "
              << "medians of " << reps << " interleaved runs:\n\n"
              << "| run | wall ms | CPU ms |\n|---|---|---|\n"
              << "| PrepImage inside the saver (decode, fit, BMP work file) | "
              << fixed(median(inWall)) << " | " << fixed(median(inCpu)) << " |\n";
    for (const Series& t : tools)
        std::cout << "| " << t.name << " | " << fixed(median(t.wall)) << " | "
                  << fixed(median(t.cpu)) << " |\n";
    std::cout << "\n";

    std::cout << "Transition step CPU time at 1920 x 1080 (thread CPU time):\n\n"
              << "| effect | steps | median step ms | longest step ms |\n|---|---|---|---|\n";
    for (int type :
         {saver::kBlockOut, saver::kFastBlockOut, saver::kVerticalBlinds, saver::kBoxedIn}) {
        const auto cpu = stepCpu(type, 1920, 1080);
        std::cout << "| " << saver::kTransitionNames[type] << " | " << cpu.size() << " | "
                  << fixed(median(cpu), 3) << " | "
                  << fixed(*std::max_element(cpu.begin(), cpu.end()), 3) << " |\n";
    }
    const auto [shuffled, sorted] = blockOrderCost(1920, 1080);
    std::cout << "\nThe 32,400 cell copies of Fast Block Out: in reveal order "
              << fixed(shuffled, 2) << " ms, in memory order " << fixed(sorted, 2) << " ms\n";
    return 0;
}

// Runs the saver window with one picture and the given transition, and
// reports the gaps between the steps as they were drawn.
int steps(int argc, char** argv, int type, int width, int height) {
    QApplication app(argc, argv);
    fs::path dir = fs::temp_directory_path() / "saver-bench-steps";
    fs::create_directories(dir / "Set");
    QImage picture(width, height, QImage::Format_RGB32);
    picture.fill(qRgb(90, 140, 200));
    std::string error;
    if (!graphics::writeJpeg((dir / "Set/one.jpg").string(), picture, 90, error))
        return std::cerr << error << "\n", 1;
    saver::frmSaver w;
    saver::SaverSettings s;
    s.szImagePath = dir.string() + "/";
    s.szINI = s.szImagePath + "Skyloom.ini";
    s.szScrIni = s.szImagePath + "ScreenSaver.ini";
    s.nTransition = type;
    w.InitiSaver(s, false);
    w.change().playList().Add(imagesets::makePlayListEntry("Set/one", "One"));
    std::vector<Clock::time_point> times;
    w.canvasDrawn = [&] {
        if (!w.change().tmrTrans().isActive() && w.change().picStretch().width() > 0)
            times.push_back(Clock::now());
    };
    w.pictureShown = [&](saver::frmSaver& s2) {
        QTimer::singleShot(100, &s2, [&] { s2.CloseSaver(); });
    };
    QTimer::singleShot(60000, &w, [&] { w.CloseSaver(); });
    w.showModal();
    std::vector<double> gaps;
    for (std::size_t i = 1; i < times.size(); ++i)
        gaps.push_back(ms(times[i - 1], times[i]));
    if (gaps.empty())
        return std::cerr << "no steps drawn\n", 1;
    std::cout << saver::kTransitionNames[type] << " on a " << w.canvas().width() << " x "
              << w.canvas().height() << " canvas: " << times.size() << " steps, gaps min "
              << fixed(*std::min_element(gaps.begin(), gaps.end()), 1) << " ms, median "
              << fixed(median(gaps), 1) << " ms, longest "
              << fixed(*std::max_element(gaps.begin(), gaps.end()), 1) << " ms (after step "
              << std::max_element(gaps.begin(), gaps.end()) - gaps.begin() + 1 << ")\n";
    fs::remove_all(dir);
    return 0;
}

int usage() {
    std::cerr << "usage: saver_bench run [--reps N] [--work DIR]\n"
                 "       saver_bench prep IN WIDTH HEIGHT DIR\n"
                 "       saver_bench generate OUT.jpg\n"
                 "       saver_bench steps TYPE [WIDTH HEIGHT]\n";
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty())
        return usage();
    if (args[0] == "prep" && args.size() == 5) {
        const auto r =
            prepare(args[1], std::atoi(args[2].c_str()), std::atoi(args[3].c_str()), args[4]);
        if (r.status != saver::PrepResult::Status::Ready)
            return std::cerr << r.error << "\n", 1;
        return 0;
    }
    if (args[0] == "generate" && args.size() == 2)
        return generate(args[1]);
    if (args[0] == "steps" && (args.size() == 2 || args.size() == 4)) {
        const int type = std::atoi(args[1].c_str());
        const int w = args.size() == 4 ? std::atoi(args[2].c_str()) : 1920;
        const int h = args.size() == 4 ? std::atoi(args[3].c_str()) : 1080;
        return steps(argc, argv, type, w, h);
    }
    if (args[0] == "run") {
        int reps = 7;
        fs::path work = fs::temp_directory_path() / "saver-bench";
        for (std::size_t i = 1; i + 1 < args.size(); i += 2) {
            if (args[i] == "--reps")
                reps = std::max(1, std::atoi(args[i + 1].c_str()));
            else if (args[i] == "--work")
                work = args[i + 1];
            else
                return usage();
        }
        return run(reps, work, fs::canonical("/proc/self/exe").string());
    }
    return usage();
}
