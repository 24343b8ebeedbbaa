// Measures " /wall" end to end against feh --bg-fill on the same photo, in
// the same run, on an Xvfb screen: each run is a separate process, the two
// programs alternate, and wall time and peak memory come from wait4.
//
//   wallpaper_bench SKYLOOM [--photo JPEG]... [--reps N] [--screen WxH]
//
// Skyloom renders the picture fitted to the screen with a calendar, writes
// "Skyloom.bmp" and puts it on the root window (root-window backend); feh
// decodes, scales to fill and sets the root window. " /kalendar" (the same
// picture again, for the next day's calendar) is timed as well; it reuses
// the decoded picture that the render before it kept in the cache folder,
// while every " /wall" starts without one.

#include "BenchMath.h"
#include <QImage>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <signal.h>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

using skyloom::bench::median;

struct Run {
    double ms = 0;
    double peakMb = 0;
    int status = -1;
};

// Starts argv with the given environment (and stdin/stdout/stderr to
// /dev/null unless `quiet` is false); times it to its end.
Run timed(const std::vector<std::string>& argv, const std::vector<std::string>& env) {
    std::vector<char*> args, envp;
    for (const auto& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    for (const auto& e : env)
        envp.push_back(const_cast<char*>(e.c_str()));
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    if (!std::getenv("BENCH_VERBOSE"))
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    Run run;
    pid_t pid = 0;
    const auto start = Clock::now();
    if (posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), envp.data()) != 0) {
        posix_spawn_file_actions_destroy(&actions);
        return run;
    }
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    run.ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    run.peakMb = usage.ru_maxrss / 1024.0;
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

// Xvfb on a free display, kept across client disconnects (-noreset).
class Xvfb {
public:
    // A display number no other server holds (by its lock file), kept
    // across client disconnects (-noreset).
    explicit Xvfb(const std::string& screen) {
        for (int n = 200 + getpid() % 100, tries = 0; tries < 20 && display_.empty();
             ++n, ++tries) {
            if (fs::exists("/tmp/.X" + std::to_string(n) + "-lock"))
                continue;
            const std::string name = ":" + std::to_string(n);
            const std::string geometry = screen + "x24";
            const char* argv[] = {"Xvfb",     name.c_str(), "-screen", "0",    geometry.c_str(),
                                  "-noreset", "-nolisten",  "tcp",     nullptr};
            posix_spawn_file_actions_t actions;
            posix_spawn_file_actions_init(&actions);
            posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
            if (posix_spawnp(&pid_, "Xvfb", &actions, nullptr, const_cast<char**>(argv), environ) !=
                0)
                pid_ = 0;
            posix_spawn_file_actions_destroy(&actions);
            // The server is ready when its socket appears; it ends at once
            // when the number was taken after all.
            for (int wait = 0; pid_ > 0 && wait < 100; ++wait) {
                if (waitpid(pid_, nullptr, WNOHANG) != 0) {
                    pid_ = 0;
                    break;
                }
                if (fs::exists("/tmp/.X11-unix/X" + std::to_string(n))) {
                    display_ = name;
                    break;
                }
                usleep(50000);
            }
        }
    }
    ~Xvfb() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
    }
    Xvfb(const Xvfb&) = delete;
    Xvfb& operator=(const Xvfb&) = delete;
    const std::string& display() const { return display_; }

private:
    pid_t pid_ = 0;
    std::string display_;
};

void writeFile(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream(path) << text;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::cerr << "usage: wallpaper_bench SKYLOOM [--photo JPEG]... [--reps N] [--screen WxH]\n";
        return 2;
    }
    const std::string skyloom = fs::absolute(argv[1]).string();
    std::vector<std::string> photos;
    int reps = 5;
    std::string screen = "1920x1080";
    for (int i = 2; i + 1 < argc; i += 2) {
        const std::string opt = argv[i];
        if (opt == "--photo")
            photos.push_back(fs::absolute(argv[i + 1]).string());
        else if (opt == "--reps")
            reps = std::max(1, std::atoi(argv[i + 1]));
        else if (opt == "--screen")
            screen = argv[i + 1];
    }
    if (photos.empty())
        photos.push_back("/usr/share/backgrounds/mate/abstract/Elephants_5640x3172.jpg");

    char tmpl[] = "/tmp/wallpaper-bench-XXXXXX";
    if (!mkdtemp(tmpl))
        return 1;
    const fs::path work = tmpl;
    Xvfb xvfb(screen);
    if (xvfb.display().empty()) {
        std::cerr << "Xvfb did not start\n";
        return 77;
    }
    const fs::path program = work / "data/skyloom/program";
    fs::create_directories(work / "run");
    fs::permissions(work / "run", fs::perms::owner_all);
    for (std::size_t k = 0; k < photos.size(); ++k) {
        const fs::path set = program / ("set" + std::to_string(k));
        fs::create_directories(set);
        // Sets may not point outside the program folder with symbolic
        // links, so the photo comes in as a hard link, or a copy.
        std::error_code linked;
        fs::create_hard_link(photos[k], set / "photo.jpg", linked);
        if (linked)
            fs::copy_file(photos[k], set / "photo.jpg");
        QImage preview(96, 54, QImage::Format_RGB32);
        preview.fill(Qt::darkGray);
        preview.save(QString::fromStdString((set / "photo.bmp").string()), "BMP");
        writeFile(set / "images.ini", "[SetDescriptions]\nSet" + std::to_string(k) +
                                          "=Photo\n\n[Set" + std::to_string(k) +
                                          "]\nPhoto=photo\n");
    }
    const std::vector<std::string> env{
        "DISPLAY=" + xvfb.display(),
        "HOME=" + work.string(),
        "PATH=" + std::string(std::getenv("PATH") ? std::getenv("PATH") : "/usr/bin:/bin"),
        "XDG_CONFIG_HOME=" + (work / "config").string(),
        "XDG_DATA_HOME=" + (work / "data").string(),
        "XDG_RUNTIME_DIR=" + (work / "run").string(),
        "XDG_CACHE_HOME=" + (work / "cache").string(),
        "SKYLOOM_NONINTERACTIVE=1",
        "SKYLOOM_QUIET=1",
        "SKYLOOM_FIRST_SET_SOURCE=/nonexistent",
        "SKYLOOM_WALLPAPER_BACKEND=x11root",
    };
    const auto settings = [&](std::size_t k) {
        writeFile(program / "ScreenSaver.ini",
                  "[ScreenSaver]\nSetup=1\n[PrefsWP]\nrandom=0\nCurrentSet=Set" +
                      std::to_string(k) +
                      "\nCurrentImage=Photo\nstretch=1\nenable=1\nchange=7\n"
                      "[CalendarWP]\nenable=1\nposition=3\nsize=20\n");
    };
    // One unmeasured start registers the sets.
    settings(0);
    timed({skyloom, " /kalendar"}, env);

    std::cout
        << "| picture | screen | skyloom /wall ms | skyloom /kalendar ms | feh --bg-fill ms "
           "| /wall ÷ feh | skyloom peak MB | feh peak MB |\n|---|---|---|---|---|---|---|---|\n";
    int failures = 0;
    for (std::size_t k = 0; k < photos.size(); ++k) {
        std::map<std::string, std::vector<double>> ms, mb;
        for (int r = 0; r < reps; ++r) {
            settings(k);
            const std::vector<std::pair<std::string, std::vector<std::string>>> order{
                {"wall", {skyloom, " /wall"}},
                {"kalendar", {skyloom, " /kalendar"}},
                {"feh", {"feh", "--no-fehbg", "--bg-fill", photos[k]}}};
            for (std::size_t i = 0; i < order.size(); ++i) {
                const auto& [name, command] =
                    order[(i + static_cast<std::size_t>(r)) % order.size()];
                // " /wall" is timed cold: a picture it has not decoded before.
                // " /kalendar" finds the decoded picture of the last render.
                // Only the decoded picture goes: the rest of the cache folder
                // (the screen size seen last) stays, as between real changes.
                if (name == "wall") {
                    std::error_code ec;
                    fs::remove(work / "cache/skyloom/wallpaper-source.raw", ec);
                }
                const Run run = timed(command, env);
                if (run.status != 0) {
                    std::cerr << name << " failed with status " << run.status << " on "
                              << xvfb.display() << "\n";
                    ++failures;
                }
                ms[name].push_back(run.ms);
                mb[name].push_back(run.peakMb);
            }
        }
        const double wall = median(ms["wall"]);
        const double feh = median(ms["feh"]);
        char line[512];
        std::snprintf(line, sizeof line, "| %s | %s | %.0f | %.0f | %.0f | %.2f | %.0f | %.0f |\n",
                      fs::path(photos[k]).filename().c_str(), screen.c_str(), wall,
                      median(ms["kalendar"]), feh, feh > 0 ? wall / feh : 0.0, median(mb["wall"]),
                      median(mb["feh"]));
        std::cout << line;
    }
    std::cout << "\nMedians of " << reps << " interleaved runs per cell.\n";
    std::error_code ec;
    fs::remove_all(work, ec);
    return failures ? 1 : 0;
}
