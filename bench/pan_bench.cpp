// The cost of one step of the panoramic motion (scroll the view by one
// pixel, copy in one new row or column) for panoramas of different sizes
// on the same display: it must not grow with the picture.
//
//   pan_bench [WIDTH HEIGHT]   display size, default 1920 × 1080

#include "graphics/rasterkit/DeviceContext.h"
#include "saver/Pan.h"

#include <QImage>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <vector>

using namespace skyloom;

namespace {

double threadCpuUs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e6 + t.tv_nsec / 1e3;
}

struct Figures {
    double medianUs = 0, p95Us = 0;
    int steps = 0;
};

// Runs up to `limit` steps of a pan of `mode` over a picture of the given
// size; the cost of each step in thread CPU microseconds.
Figures measure(int mode, saver::Size display, saver::Size picture, int limit) {
    QImage img(picture.width, picture.height, QImage::Format_RGB32);
    for (int y = 0; y < img.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < img.width(); ++x)
            line[x] = qRgb(x * 7, y * 3, (x ^ y) & 0xFF);
    }
    graphics::DeviceContext screen(display.width, display.height), pic(std::move(img));
    saver::PanState pan = saver::planPan(mode, display, picture);
    std::vector<double> costs;
    while (!pan.done && static_cast<int>(costs.size()) < limit) {
        const double t0 = threadCpuUs();
        saver::panStep(pan, screen.hdc(), pic.hdc());
        costs.push_back(threadCpuUs() - t0);
    }
    std::sort(costs.begin(), costs.end());
    Figures f;
    f.steps = static_cast<int>(costs.size());
    if (!costs.empty()) {
        f.medianUs = costs[costs.size() / 2];
        f.p95Us = costs[costs.size() * 95 / 100];
    }
    return f;
}

} // namespace

int main(int argc, char** argv) {
    const int w = argc == 3 ? std::atoi(argv[1]) : 1920;
    const int h = argc == 3 ? std::atoi(argv[2]) : 1080;
    if (w <= 0 || h <= 0)
        return std::fprintf(stderr, "usage: pan_bench [WIDTH HEIGHT]\n"), 2;
    std::printf("display %d x %d; per-step thread CPU time, 120 steps (after 8 warm-up steps)\n", w,
                h);
    std::printf("| pan | picture | steps | median | 95th percentile |\n|---|---|---|---|---|\n");
    struct Case {
        const char* name;
        int mode;
        saver::Size picture;
    };
    const Case cases[] = {
        {"LeftToRight", saver::kPanLeftToRight, {2048, h}},
        {"LeftToRight", saver::kPanLeftToRight, {8192, h}},
        {"LeftToRight", saver::kPanLeftToRight, {44000, h}},
        {"RightToLeft", saver::kPanRightToLeft, {2048, h}},
        {"RightToLeft", saver::kPanRightToLeft, {8192, h}},
        {"RightToLeft", saver::kPanRightToLeft, {44000, h}},
        {"TopToBottom", saver::kPanTopToBottom, {w, 2048}},
        {"TopToBottom", saver::kPanTopToBottom, {w, 8192}},
    };
    for (const Case& c : cases) {
        measure(c.mode, {w, h}, c.picture, 8);
        const Figures f = measure(c.mode, {w, h}, c.picture, 120);
        std::printf("| %s | %d x %d | %d | %.0f us | %.0f us |\n", c.name, c.picture.width,
                    c.picture.height, f.steps, f.medianUs, f.p95Us);
    }
    return 0;
}
