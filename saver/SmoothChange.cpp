// The picture change's blending effects: the frames of "Cross Fade",
// "Slide" and "Slow Zoom" paced by the screen's frame time, and the slow
// zoom of a still picture over its display time. Each frame is computed
// from the pictures kept for the change and the time since it began, so a
// late frame only skips ahead, and the abort flag stops the next one.

#include "PictureChange.h"

#include "common/Log.h"

#include <algorithm>
#include <cmath>

namespace skyloom::saver {

void PictureChange::startSmoothTransition() {
    tmrFrame_.stop();
    const graphics::DeviceContext* source = graphics::deviceContext(trans_.source());
    const QImage none;
    smooth_.begin(trans_.TransType(), canvas(), source ? source->image() : none,
                  QRect(0, 0, trans_.areaWidth(), trans_.areaHeight()),
                  QPoint(trans_.sourceX(), trans_.sourceY()));
    zoomNext_ = trans_.TransType() == kSlowZoom;
    logInfo("saver", std::string("blending transition of ") + std::to_string(smooth_.durationMs()) +
                         " ms, frames " + std::to_string(frameIntervalMs_) + " ms apart");
    // The first frame is the old picture, already on screen.
    effectClock_.start();
    tmrFrame_.setInterval(frameIntervalMs_);
    tmrFrame_.start();
}

void PictureChange::smoothFrame() {
    if (abort_) {
        tmrFrame_.stop();
        return;
    }
    const int duration = smooth_.durationMs();
    const double progress = duration > 0 ? double(effectClock_.elapsed()) / duration : 1.0;
    const bool last = smooth_.drawFrame(canvas(), progress);
    requestDraw(QRegion(smooth_.area()));
    if (!last)
        return;
    tmrFrame_.stop();
    pictureOnShow_ = true;
    if (!zoomNext_)
        smooth_.clear();
    ShowDescription();
}

void PictureChange::startSlowZoom() {
    zoomDurationMs_ = std::max(1, clock_.timeBetween()) * 1000;
    const double rx = random_ ? random_() : 0.5, ry = random_ ? random_() : 0.5;
    std::vector<QRect> kept;
    for (const QRect& r : {titleRect_, calendarRect_.adjusted(-2, -2, 2, 2)})
        if (!r.isEmpty())
            kept.push_back(r);
    zoom_.begin(smooth_.picture(), canvas(), smooth_.area(), QPointF(2 * rx - 1, 2 * ry - 1),
                std::move(kept));
    smooth_.clear();
    if (!zoom_.active())
        return;
    zoomCostMs_ = 0;
    effectClock_.start();
    const int interval = zoomFrameInterval(zoom_.travel(), zoomDurationMs_, frameIntervalMs_, 0);
    logInfo("saver", "slow zoom over " + std::to_string(zoomDurationMs_) + " ms, frames " +
                         std::to_string(interval) + " ms apart or more");
    tmrZoom_.setInterval(interval);
    tmrZoom_.start();
}

void PictureChange::zoomFrame() {
    if (abort_ || !zoom_.active()) {
        tmrZoom_.stop();
        return;
    }
    const double progress = double(effectClock_.elapsed()) / zoomDurationMs_;
    QElapsedTimer cost;
    cost.start();
    zoom_.drawFrame(canvas(), progress);
    requestDraw(QRegion(zoom_.area()));
    const double ms = cost.nsecsElapsed() / 1e6;
    zoomCostMs_ = zoomCostMs_ > 0 ? 0.8 * zoomCostMs_ + 0.2 * ms : ms;
    if (progress >= 1.0) {
        stopSlowZoom();
        return;
    }
    const int interval =
        zoomFrameInterval(zoom_.travel(), zoomDurationMs_, frameIntervalMs_, zoomCostMs_);
    if (interval != tmrZoom_.interval())
        tmrZoom_.setInterval(interval);
}

void PictureChange::stopSlowZoom() {
    tmrZoom_.stop();
    zoom_.clear();
}

} // namespace skyloom::saver
