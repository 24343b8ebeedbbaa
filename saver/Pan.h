#pragma once
// The panoramic motion: a panorama larger than the display glides across it
// one pixel per step. Each step scrolls what is on the display by one pixel
// and copies in the one row or column of the prepared picture that the
// scroll exposed, so a step costs the same whatever the picture's size.

#include "graphics/rasterkit/DeviceContext.h"
#include "saver/PrepImageLogic.h"
#include "saver/SaverLogic.h"

#include <QRect>

#include <optional>

namespace skyloom::saver {

/// The pan modes, as the first view chose them from the pan direction.
enum PanMode : int {
    kPanNone = 0,
    kPanTopToBottom = 1,
    kPanBottomToTop = 2,
    kPanLeftToRight = 4,
    kPanRightToLeft = 8,
};

/// The state of one pan, rebuilt at the start of each.
struct PanState {
    int mode = kPanNone;
    /// The view on the display (display pixels), cut to the display where
    /// a view of the display's shape would reach past it.
    Rect view;
    /// The next row (vertical modes) or column (horizontal) of the picture
    /// to bring in, and its direction (+1 or -1).
    int source = 0;
    int direction = 1;
    /// The picture's extent along the motion.
    int end = 0;
    /// Where the new row or column goes on the display.
    Rect strip;
    /// Where the strip starts across the motion in the picture (x for
    /// vertical modes, y for horizontal ones): 0 unless the view was cut.
    int across = 0;
    /// Where the picture handed to panStep starts along the motion (it may
    /// hold a window of the prepared picture; see PanWindow).
    int offset = 0;
    bool done = true;

    /// Steps still to come.
    int stepsLeft() const;
};

/// The pan's set-up for a display of `display` size and a prepared picture
/// of `picture` size. A mode other than the four, or a picture that is not
/// longer than the view along the motion, gives a pan that is done at once.
PanState planPan(int mode, Size display, Size picture);

/// One step: scroll the view by one pixel on `display` and copy the next
/// row or column from `picture`. Returns true when the step drew (the view
/// then needs repainting); nothing is drawn once the pan is done.
bool panStep(PanState& pan, graphics::HDC display, graphics::HDC picture);

/// Milliseconds between two steps for a pan speed setting: below 1 is 1.
int panInterval(int speed);

/// A prepared picture too large to hold is shown through a window of it:
/// its rows (vertical motion) or columns (horizontal) from `origin` on,
/// `length` of them.
struct PanWindow {
    int origin = 0;
    int length = 0;
    bool operator==(const PanWindow&) const = default;
};
/// The first window of a picture `end` long along the motion: the one with
/// the first view (at the far end for the modes that start there).
PanWindow firstPanWindow(int mode, int end, int length);
/// The window to read next while the pan at `s` draws from `held`: asked
/// for once fewer than half of its rows or columns are left ahead, so that
/// it is there before the pan reaches the end of `held`. Nothing while the
/// window is not needed yet, or `held` reaches the picture's end.
std::optional<PanWindow> nextPanWindow(const PanState& s, PanWindow held);
/// The part of a picture of size `picture` that window `w` holds: rows
/// (`vertical` motion) or columns, across the whole picture.
QRect panWindowArea(PanWindow w, Size picture, bool vertical);
/// The window of `length` from the pan's next row or column on, ahead of it.
PanWindow panWindowAt(const PanState& s, int length);
/// True when the next step of `s` can be drawn from `w`.
bool windowHolds(const PanState& s, PanWindow w);

} // namespace skyloom::saver
