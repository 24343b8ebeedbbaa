// The processor time of one picture change on one 1920 × 1080 canvas
// against the same change on two (each monitor its own picture, and the
// same picture on both, prepared once), in one run, interleaved so that
// load on the machine hits every case alike. A change here is the whole
// road: choose, decode a 4000 × 2667 photo, fit, smooth, the transition's
// steps, the calendar on the primary canvas.
//
//   monitors_bench [--reps N] [--transition T]

#include "BenchMath.h"
#include "graphics/io/JpegCodec.h"
#include "imagesets/PlayList.h"
#include "saver/PictureChange.h"

#include <QEventLoop>
#include <QGuiApplication>
#include <QPainter>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <ctime>
#include <memory>
#include <random>
#include <string>
#include <vector>

using namespace skyloom;

namespace {

double processCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

void writePhoto(const std::string& path, int seed) {
    QImage photo(4000, 2667, QImage::Format_RGB32);
    QPainter p(&photo);
    QLinearGradient sky(0, 0, 4000, 2667);
    sky.setColorAt(0, QColor::fromHsv(seed * 70 % 360, 160, 120));
    sky.setColorAt(1, QColor::fromHsv(seed * 70 % 360, 90, 240));
    p.fillRect(photo.rect(), sky);
    std::mt19937 r(static_cast<unsigned>(seed));
    for (int i = 0; i < 300; ++i)
        p.fillRect(int(r() % 4000), int(r() % 2667), 40 + int(r() % 200), 40 + int(r() % 200),
                   QColor(int(r() % 256), int(r() % 256), int(r() % 256)));
    p.end();
    std::string error;
    if (!graphics::writeJpeg(path, photo, 92, error))
        std::fprintf(stderr, "monitors_bench: %s\n", error.c_str());
}

struct Case {
    const char* name;
    int canvases;
    bool same;
    std::vector<double> cpu;
};

// Runs one change on `canvases` canvases of 1920 × 1080; the processor time
// from the start until every canvas has shown its picture.
double oneChange(const saver::SaverSettings& s, int canvases, bool same) {
    auto handOut = std::make_shared<saver::PictureHandOut>(s.szScrIni, false,
                                                           saver::clockSeededRandom(), same);
    std::vector<std::unique_ptr<saver::PictureChange>> changes;
    for (int i = 0; i < canvases; ++i) {
        auto c = std::make_unique<saver::PictureChange>();
        c->InitiSaver(s, false);
        for (int n = 1; n <= 4; ++n)
            c->playList().Add(imagesets::makePlayListEntry("Set/p" + std::to_string(n), "x"));
        c->Load(s.szImagePath);
        c->setHandOut(handOut);
        c->setCalendarShown(i == 0);
        c->setCanvas(saver::computeLayout(1920, 1080, true), 1.0);
        changes.push_back(std::move(c));
    }
    QEventLoop loop;
    int left = canvases;
    for (auto& c : changes)
        c->pictureShown = [&](saver::PictureChange& shown) {
            shown.Abort();
            if (--left == 0)
                loop.quit();
        };
    const double t0 = processCpuMs();
    for (auto& c : changes)
        c->start();
    QTimer::singleShot(120000, &loop, &QEventLoop::quit);
    loop.exec();
    return processCpuMs() - t0;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    int reps = 7;
    int transition = 2; // "Vertical Blinds"
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::string(argv[i]) == "--reps")
            reps = std::max(1, std::atoi(argv[++i]));
        else if (std::string(argv[i]) == "--transition")
            transition = std::atoi(argv[++i]);
    }
    QTemporaryDir dir;
    const std::string folder = dir.path().toStdString() + "/";
    QDir().mkpath(dir.filePath("Set"));
    for (int n = 1; n <= 4; ++n)
        writePhoto(folder + "Set/p" + std::to_string(n) + ".jpg", n);
    saver::SaverSettings s;
    s.szImagePath = folder;
    s.szINI = folder + "Skyloom.ini";
    s.szScrIni = folder + "ScreenSaver.ini";
    s.bUseAll = false;
    s.nTransition = transition;
    s.bCalender = true;

    std::vector<Case> cases = {{"one 1920x1080 canvas", 1, false, {}},
                               {"two 1920x1080 canvases, own pictures", 2, false, {}},
                               {"two 1920x1080 canvases, same picture", 2, true, {}}};
    oneChange(s, 1, false); // warm the page cache and the fonts
    for (int r = 0; r < reps; ++r)
        for (Case& c : cases)
            c.cpu.push_back(oneChange(s, c.canvases, c.same));
    const double one = bench::median(cases[0].cpu);
    std::printf("picture change, transition %d, %d runs each (process CPU time, median):\n",
                transition, reps);
    for (Case& c : cases) {
        const double m = bench::median(c.cpu);
        std::printf("  %-40s %8s ms  (%s x one canvas)\n", c.name, bench::fixed(m, 1).c_str(),
                    bench::fixed(m / one, 2).c_str());
    }
    return 0;
}
