#pragma once
// The blending effects: "Cross Fade", "Slide" and the fade of "Slow Zoom"
// draw whole frames, each from two pictures kept for the change (the canvas
// as it was when the change began, and the new view), at a point of the
// effect's time. The caller paces the frames by the screen and says how
// far the effect is; a frame never depends on the one before it, so frames
// the screen could not take are simply skipped.
//
// SlowZoom moves the view of a still picture afterwards: a slow zoom of
// about 10 % with a drift over the display time.

#include "graphics/rasterkit/DeviceContext.h"

#include <QImage>
#include <QPointF>
#include <QRect>

#include <vector>

namespace skyloom::saver {

/// How long each effect runs (milliseconds).
inline constexpr int kCrossFadeMs = 1500;
inline constexpr int kSlideMs = 1000;
/// How much the slow zoom grows the picture over the display time.
inline constexpr double kSlowZoomGrowth = 0.10;

/// The time between two frames of a screen refreshed `hertz` times a
/// second (ms); 60 Hz when the rate is unknown or out of reason.
int screenFrameInterval(double hertz);

/// True for the effects drawn as frames (11 … 13).
bool isSmoothTransition(int type);

class SmoothTransition {
public:
    /// Starts `type` over `area` of `canvas`: keeps a copy of the canvas
    /// there (the old picture) and of the new view, `area`'s size taken
    /// from `source` at `sourceOffset`. The area is cut to the canvas.
    void begin(int type, const QImage& canvas, const QImage& source, const QRect& area,
               QPoint sourceOffset);
    /// The effect's length (ms); 0 before begin.
    int durationMs() const;
    /// Draws the frame at `progress` (0 … 1, clamped) into the canvas:
    /// at 0 exactly the old picture, at 1 exactly the new one. True when
    /// this was the last frame.
    bool drawFrame(QImage& canvas, double progress) const;
    /// Where the frames draw (canvas pixels).
    const QRect& area() const { return area_; }
    /// The new view as the effect ends on it.
    const QImage& picture() const { return after_; }
    /// Lets the kept pictures go.
    void clear();

private:
    int type_ = 0;
    QRect area_;
    QImage before_, after_;
};

/// The slow zoom and drift of a still picture over its display time.
class SlowZoom {
public:
    /// Starts on `picture` (the view without any panel), shown at `area`
    /// of the canvas; the view drifts towards `towards` (each of x and y
    /// −1 … 1: the corner the window moves to, 0 the middle). `kept` parts
    /// of `canvas` (title strip, calendar) stay as drawn on every frame.
    void begin(const QImage& picture, const QImage& canvas, const QRect& area, QPointF towards,
               std::vector<QRect> kept);
    bool active() const { return !picture_.isNull(); }
    /// The window of the picture shown at `progress` (0 … 1, clamped).
    QRectF window(double progress) const;
    /// Draws the view at `progress` into the canvas.
    void drawFrame(QImage& canvas, double progress) const;
    /// How far (screen pixels) the farthest pixel moves over the whole zoom.
    double travel() const;
    const QRect& area() const { return area_; }
    void clear();

private:
    QImage picture_;
    QImage keptPixels_; // the canvas at the start, for the kept parts
    QRect area_;
    QPointF towards_;
    std::vector<QRect> kept_;
};

/// The time between zoom frames (ms) for a zoom of `travelPixels` over
/// `durationMs`: half a pixel of movement a frame, never faster than the
/// screen (`screenIntervalMs`) and never more than a tenth of the time
/// spent drawing (`frameCostMs` the cost of one frame), at most 500 ms.
int zoomFrameInterval(double travelPixels, int durationMs, int screenIntervalMs,
                      double frameCostMs);

} // namespace skyloom::saver
