// The blending transitions at 1920 x 1080, without a window:
//   smooth_bench frames        the cost of one Cross Fade, Slide and Slow
//                              Zoom frame against a plain copy of the frame
//   smooth_bench fade          a whole picture change with Cross Fade on the
//                              change's own frame clock (60 Hz): frames,
//                              longest gap, processor time per frame
// See docs/PERFORMANCE.md.

#include "BenchMath.h"
#include "graphics/io/JpegCodec.h"
#include "imagesets/PlayList.h"
#include "saver/PictureChange.h"
#include "saver/SmoothTransition.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QTimer>

#include <sys/resource.h>

#include <cstring>
#include <filesystem>
#include <iostream>
#include <vector>

using namespace skyloom;
using bench::fixed;
using bench::median;

namespace {

// Two pictures with shapes, as photos have them.
QImage sky(int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    QPainter p(&image);
    QLinearGradient g(0, 0, 0, h);
    g.setColorAt(0, QColor(20, 40, 120));
    g.setColorAt(1, QColor(250, 160, 60));
    p.fillRect(image.rect(), g);
    p.setBrush(QColor(255, 240, 180));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(w * 0.7, h * 0.62), h * 0.14, h * 0.14);
    p.setBrush(QColor(30, 20, 40));
    p.drawRect(0, h * 4 / 5, w, h / 5);
    return image;
}

QImage meadow(int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    QPainter p(&image);
    QLinearGradient g(0, 0, 0, h);
    g.setColorAt(0, QColor(150, 200, 240));
    g.setColorAt(0.55, QColor(220, 235, 250));
    g.setColorAt(0.56, QColor(70, 140, 50));
    g.setColorAt(1, QColor(30, 80, 20));
    p.fillRect(image.rect(), g);
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 5; ++i) {
        p.setBrush(QColor(40 + 20 * i, 110, 40));
        p.drawEllipse(QPointF(w * (0.1 + 0.2 * i), h * 0.75), w * 0.06, h * 0.18);
    }
    p.setBrush(QColor(200, 40, 40));
    p.drawRect(w * 0.42, h * 0.4, w * 0.16, h * 0.22);
    return image;
}

double cpuMs() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return (u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1e3 +
           (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e3;
}

template <typename F> double timedMs(F&& f, int runs) {
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        f(i);
        ms.push_back(t.nsecsElapsed() / 1e6);
    }
    return median(ms);
}

int frames() {
    const int w = 1920, h = 1080, runs = 60;
    const QImage before = sky(w, h), after = meadow(w, h);
    QImage canvas = before.copy();
    const double copy = timedMs(
        [&](int) {
            std::memcpy(canvas.bits(), after.constBits(),
                        static_cast<std::size_t>(after.sizeInBytes()));
        },
        runs);
    std::cout << "| Frame at 1920 x 1080 | median of " << runs
              << " | against the copy |\n|---|---|---|\n";
    std::cout << "| plain copy of the frame (memcpy) | " << fixed(copy, 2) << " ms | 1.0 |\n";
    for (int type : {saver::kCrossFade, saver::kSlide}) {
        saver::SmoothTransition t;
        canvas = before.copy();
        t.begin(type, canvas, after, canvas.rect(), {});
        const double ms =
            timedMs([&](int i) { t.drawFrame(canvas, (i + 1) / double(runs + 2)); }, runs);
        std::cout << "| " << saver::kTransitionNames[type] << " frame | " << fixed(ms, 2)
                  << " ms | " << fixed(ms / copy, 1) << " |\n";
    }
    saver::SlowZoom zoom;
    zoom.begin(after, canvas, canvas.rect(), QPointF(0.6, -0.4), {});
    const double zoomMs =
        timedMs([&](int i) { zoom.drawFrame(canvas, (i + 1) / double(runs + 2)); }, runs);
    std::cout << "| Slow Zoom frame (bilinear window) | " << fixed(zoomMs, 2) << " ms | "
              << fixed(zoomMs / copy, 1) << " |\n\n";
    for (int seconds : {10, 60, 600}) {
        const int interval = saver::zoomFrameInterval(zoom.travel(), seconds * 1000, 16, zoomMs);
        std::cout << "Slow Zoom over " << seconds << " s: a frame every " << interval << " ms, "
                  << fixed(100 * zoomMs / interval, 1) << " % of a core for the frames\n";
    }
    return 0;
}

// A whole change on the change's frame clock: the fade's frames as the
// window would be told them.
int fade(int type) {
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("smooth_bench." + std::to_string(getpid()));
    std::filesystem::create_directories(folder / "Set");
    std::string error;
    if (!graphics::writeJpeg((folder / "Set/one.jpg").string(), meadow(1920, 1080), 92, error)) {
        std::cerr << error << "\n";
        return 1;
    }
    saver::SaverSettings s;
    s.szImagePath = folder.string() + "/";
    s.szINI = s.szImagePath + "Skyloom.ini";
    s.szScrIni = s.szImagePath + "ScreenSaver.ini";
    s.bUseAll = false;
    s.bCalender = false;
    s.nTransition = type;
    saver::PictureChange change;
    change.InitiSaver(s, false);
    change.playList().Add(imagesets::makePlayListEntry("Set/one", "label"));
    change.Load(s.szImagePath);
    change.setCanvas(saver::computeLayout(1920, 1080, true), 1.0);
    change.setFrameInterval(saver::screenFrameInterval(60));
    change.canvas() = sky(1920, 1080);
    QElapsedTimer clock;
    std::vector<double> at;
    double cpuStart = 0;
    bool started = false;
    change.drawRequested = [&](const QRegion&) {
        if (!change.tmrFrame().isActive() && !started)
            return; // the canvas set-up, before the effect
        if (!started) {
            started = true;
            clock.start();
            cpuStart = cpuMs();
        }
        at.push_back(clock.nsecsElapsed() / 1e6);
    };
    QEventLoop loop;
    double cpuEnd = 0;
    change.pictureShown = [&](saver::PictureChange& c) {
        cpuEnd = cpuMs();
        c.Abort();
        loop.quit();
    };
    change.start();
    QTimer::singleShot(60000, &loop, [&loop] { loop.quit(); });
    loop.exec();
    std::filesystem::remove_all(folder);
    double longest = 0;
    for (std::size_t i = 1; i < at.size(); ++i)
        longest = std::max(longest, at[i] - at[i - 1]);
    const double span = at.empty() ? 0 : at.back();
    std::cout << saver::kTransitionNames[type] << " at 1920 x 1080, 60 Hz: " << at.size()
              << " frames in " << fixed(span) << " ms, longest gap " << fixed(longest, 1)
              << " ms, processor "
              << fixed((cpuEnd - cpuStart) / std::max<std::size_t>(1, at.size()), 2)
              << " ms a frame (" << fixed(100 * (cpuEnd - cpuStart) / std::max(1.0, span))
              << " % of a core)\n";
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    const std::string what = argc > 1 ? argv[1] : "frames";
    if (what == "frames")
        return frames();
    if (what == "fade") {
        int status = 0;
        for (int type : {saver::kCrossFade, saver::kSlide, saver::kSlowZoom})
            status |= fade(type);
        return status;
    }
    std::cerr << "usage: smooth_bench frames | fade\n";
    return 2;
}
