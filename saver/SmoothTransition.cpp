#include "SmoothTransition.h"

#include "Transition.h"
#include "graphics/rasterkit/Blend.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace skyloom::saver {
namespace {

// Eases in and out: the slide starts and stops gently, and is half way at half time.
double smoothStep(double t) {
    return t * t * (3 - 2 * t);
}

void copyRows(const QImage& from, QPoint fromAt, QImage& to, const QRect& rect) {
    const QRect r = rect.intersected(to.rect());
    if (r.isEmpty())
        return;
    for (int y = 0; y < r.height(); ++y) {
        const QRgb* in =
            reinterpret_cast<const QRgb*>(from.constScanLine(fromAt.y() + y)) + fromAt.x();
        QRgb* out = reinterpret_cast<QRgb*>(to.scanLine(r.y() + y)) + r.x();
        std::memcpy(out, in, static_cast<std::size_t>(r.width()) * 4);
    }
}

} // namespace

int screenFrameInterval(double hertz) {
    if (!(hertz >= 20 && hertz <= 500))
        hertz = 60;
    return std::max(1, static_cast<int>(std::floor(1000.0 / hertz)));
}

bool isSmoothTransition(int type) {
    return type == kCrossFade || type == kSlide || type == kSlowZoom;
}

void SmoothTransition::begin(int type, const QImage& canvas, const QImage& source,
                             const QRect& area, QPoint sourceOffset) {
    type_ = type;
    area_ = area.intersected(canvas.rect());
    before_ = canvas.copy(area_).convertToFormat(QImage::Format_RGB32);
    // The new view, black where the source does not reach.
    after_ = QImage(area_.size(), QImage::Format_RGB32);
    after_.fill(Qt::black);
    QPainter p(&after_);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.drawImage(QPoint(0, 0), source,
                QRect(sourceOffset + area_.topLeft() - area.topLeft(), area_.size()));
}

int SmoothTransition::durationMs() const {
    switch (type_) {
    case kCrossFade:
    case kSlowZoom:
        return kCrossFadeMs;
    case kSlide:
        return kSlideMs;
    default:
        return 0;
    }
}

bool SmoothTransition::drawFrame(QImage& canvas, double progress) const {
    if (area_.isEmpty() || after_.isNull())
        return true;
    const double t = std::clamp(progress, 0.0, 1.0);
    const QRect whole(area_.topLeft(), after_.size());
    if (t >= 1.0) {
        copyRows(after_, {0, 0}, canvas, whole);
        return true;
    }
    if (type_ == kSlide) {
        // The new picture comes in from the left and pushes the old one out
        // to the right: at x the new one's last `shift` columns, then the
        // old one's first columns.
        const int w = area_.width();
        const int shift = std::clamp(static_cast<int>(std::lround(smoothStep(t) * w)), 0, w);
        copyRows(after_, {w - shift, 0}, canvas,
                 QRect(area_.x(), area_.y(), shift, area_.height()));
        copyRows(before_, {0, 0}, canvas,
                 QRect(area_.x() + shift, area_.y(), w - shift, area_.height()));
        return false;
    }
    const int weight = static_cast<int>(std::lround(t * rasterkit::kBlendWeightMax));
    // Both kept pictures start at (0, 0), the canvas rows at the area; a
    // canvas made smaller since the effect began gets what still fits.
    const QRect r = whole.intersected(canvas.rect());
    for (int y = 0; y < r.height(); ++y)
        rasterkit::blendPixels(reinterpret_cast<const QRgb*>(before_.constScanLine(y)),
                               reinterpret_cast<const QRgb*>(after_.constScanLine(y)),
                               reinterpret_cast<QRgb*>(canvas.scanLine(r.y() + y)) + r.x(),
                               static_cast<std::size_t>(r.width()), weight);
    return false;
}

void SmoothTransition::clear() {
    before_ = QImage();
    after_ = QImage();
    area_ = QRect();
    type_ = 0;
}

void SlowZoom::begin(const QImage& picture, const QImage& canvas, const QRect& area,
                     QPointF towards, std::vector<QRect> kept) {
    clear();
    area_ = area.intersected(canvas.rect());
    if (area_.isEmpty() || picture.isNull())
        return;
    picture_ = picture;
    towards_ = QPointF(std::clamp(towards.x(), -1.0, 1.0), std::clamp(towards.y(), -1.0, 1.0));
    for (const QRect& k : kept) {
        const QRect r = k.intersected(area_);
        if (!r.isEmpty())
            kept_.push_back(r);
    }
    if (!kept_.empty())
        keptPixels_ = canvas.copy();
}

QRectF SlowZoom::window(double progress) const {
    const double t = std::clamp(progress, 0.0, 1.0);
    const double w = picture_.width(), h = picture_.height();
    const double scale = 1.0 + kSlowZoomGrowth * t;
    const double ww = w / scale, wh = h / scale;
    // The window's free margin is shared out by `towards`: −1 keeps it at
    // the left (top) edge, 1 at the right (bottom), 0 in the middle.
    const double x = (w - ww) * (0.5 + 0.5 * towards_.x());
    const double y = (h - wh) * (0.5 + 0.5 * towards_.y());
    return {x, y, ww, wh};
}

double SlowZoom::travel() const {
    if (!active())
        return 0;
    // The corner farthest from the point that stays put moves the most:
    // about the growth times the area's size.
    return kSlowZoomGrowth * std::hypot(area_.width(), area_.height());
}

void SlowZoom::drawFrame(QImage& canvas, double progress) const {
    if (!active())
        return;
    if (progress <= 0.0 && picture_.size() == area_.size())
        copyRows(picture_, {0, 0}, canvas, area_);
    else
        rasterkit::drawWindowBilinear(picture_, window(progress), canvas, area_);
    for (const QRect& k : kept_)
        copyRows(keptPixels_, k.topLeft(), canvas, k);
}

void SlowZoom::clear() {
    picture_ = QImage();
    keptPixels_ = QImage();
    kept_.clear();
    area_ = QRect();
}

int zoomFrameInterval(double travelPixels, int durationMs, int screenIntervalMs,
                      double frameCostMs) {
    constexpr int kLongest = 500;
    const int screen = std::max(1, screenIntervalMs);
    double interval = travelPixels > 0 ? 0.5 * durationMs / travelPixels : kLongest;
    interval = std::max(interval, 10.0 * std::max(0.0, frameCostMs));
    interval = std::clamp(interval, double(screen), double(kLongest));
    // Whole screen frames, so that the zoom's frames keep an even beat.
    const int frames = std::max(1, static_cast<int>(std::lround(interval / screen)));
    return std::min(kLongest, frames * screen);
}

} // namespace skyloom::saver
