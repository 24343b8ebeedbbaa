// The smoothing filter: a binomial blur applied in place, slice by slice,
// with pending window events run between slices so that input handlers
// can stop it through KillFilter.

#include "graphics/rasterkit/HandleTable.h"
#include "graphics/rasterkit/Rasterkit.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <algorithm>
#include <atomic>
#include <vector>

namespace skyloom::rasterkit {
namespace {

std::atomic<bool> killRequested{false};
std::atomic<int> radiusX{1};
std::atomic<int> radiusY{1};
bool filterRunning = false; // UI thread only: refuses nested filters from event handlers

// Runs pending events about every 10 ms of work, from the application's own thread only.
class EventPump {
public:
    EventPump() {
        auto* app = QCoreApplication::instance();
        enabled_ = app && app->thread() == QThread::currentThread();
        timer_.start();
    }
    void maybeRun() {
        if (enabled_ && timer_.elapsed() >= 10) {
            QCoreApplication::processEvents(QEventLoop::AllEvents);
            timer_.restart();
        }
    }

private:
    bool enabled_ = false;
    QElapsedTimer timer_;
};

// One pass of [1 2 1] / 4 along rows (horizontal) or columns (vertical).
// Returns false when stopped.
bool pass(QImage& image, bool horizontal, EventPump& pump) {
    const int w = image.width(), h = image.height();
    std::vector<QRgb> prev(w), cur(w);
    for (int y = 0; y < h; ++y) {
        if ((y & 15) == 0) {
            if (killRequested.load(std::memory_order_relaxed))
                return false;
            pump.maybeRun();
            if (killRequested.load(std::memory_order_relaxed))
                return false;
        }
        QRgb* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        if (horizontal) {
            smoothAcross(row, w);
        } else {
            std::copy(row, row + w, cur.begin());
            const QRgb* above = y == 0 ? cur.data() : prev.data();
            const QRgb* below =
                reinterpret_cast<const QRgb*>(image.constScanLine(std::min(y + 1, h - 1)));
            smoothDown(above, cur.data(), below, row, w);
            std::swap(prev, cur);
        }
    }
    return true;
}

} // namespace

namespace {

QRgb smoothed(QRgb a, QRgb b, QRgb c) {
    auto ch = [&](int shift) {
        return ((((a >> shift) & 0xff) + 2 * ((b >> shift) & 0xff) + ((c >> shift) & 0xff) + 2) >>
                2)
               << shift;
    };
    return 0xff000000u | ch(16) | ch(8) | ch(0);
}

} // namespace

void smoothAcross(QRgb* row, int w) {
    if (w <= 0)
        return;
    QRgb left = row[0];
    for (int x = 0; x < w; ++x) {
        const QRgb mid = row[x];
        row[x] = smoothed(left, mid, row[std::min(x + 1, w - 1)]);
        left = mid;
    }
}

void smoothDown(const QRgb* above, const QRgb* row, const QRgb* below, QRgb* out, int w) {
    for (int x = 0; x < w; ++x)
        out[x] = smoothed(above[x], row[x], below[x]);
}

void SetFilterParameters(int rx, int ry, int, int) {
    radiusX = std::clamp(rx, 0, 8);
    radiusY = std::clamp(ry, 0, 8);
}

int FilterBitmap(Handle handle) {
    auto raster = detail::find(handle);
    if (!raster)
        return detail::failure("unknown handle");
    if (filterRunning)
        return detail::failure("a filter is already running");
    filterRunning = true;
    killRequested = false;
    EventPump pump;
    QImage& image = raster->surface.image();
    bool finished = true;
    for (int i = 0; finished && i < radiusX; ++i)
        finished = pass(image, true, pump);
    for (int i = 0; finished && i < radiusY; ++i)
        finished = pass(image, false, pump);
    filterRunning = false;
    detail::succeeded();
    return finished ? 1 : 0;
}

void KillFilter() {
    killRequested = true;
}

} // namespace skyloom::rasterkit
