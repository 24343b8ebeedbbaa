#include "Pan.h"

#include "common/Profile.h"

#include <algorithm>

namespace skyloom::saver {
namespace {

bool vertical(int mode) {
    return mode == kPanTopToBottom || mode == kPanBottomToTop;
}

} // namespace

int PanState::stepsLeft() const {
    if (done)
        return 0;
    return direction > 0 ? end - source : source + 1;
}

int panInterval(int speed) {
    return std::max(1, speed);
}

PanState planPan(int mode, Size d, Size p) {
    PanState s;
    s.mode = mode;
    if (mode != kPanTopToBottom && mode != kPanBottomToTop && mode != kPanLeftToRight &&
        mode != kPanRightToLeft)
        return s;
    if (d.width <= 0 || d.height <= 0 || p.width <= 0 || p.height <= 0)
        return s;
    const bool down = vertical(mode);
    // The view: the whole display when the picture fills it across the
    // motion, else a centred window of the display's shape as wide (or as
    // high) as the picture.
    Rect v{0, 0, d.width, d.height};
    const bool fills = down ? p.width == d.width : p.height == d.height;
    if (!fills) {
        if (down) {
            v.width = p.width;
            v.height = cint(double(p.width) * d.height / d.width);
        } else {
            v.height = p.height;
            v.width = cint(double(p.height) * d.width / d.height);
        }
        v.x = cint((d.width - v.width) / 2.0);
        v.y = cint((d.height - v.height) / 2.0);
    }
    // A view larger than the display (a big picture shown unstretched) is
    // cut to the display: the motion never draws outside it.
    const int left = std::max(0, v.x), top = std::max(0, v.y);
    const int right = std::min(d.width, v.x + v.width), bottom = std::min(d.height, v.y + v.height);
    if (right <= left || bottom <= top)
        return s;
    s.view = {left, top, right - left, bottom - top};
    // Pixels of the view hidden before the display's edge, along and across.
    const int hiddenAlong = down ? top - v.y : left - v.x;
    const int fullAlong = down ? v.height : v.width;
    const int V = down ? s.view.height : s.view.width;
    s.across = down ? left - v.x : top - v.y;
    s.end = down ? p.height : p.width;
    const int E = s.end;
    switch (mode) {
    case kPanTopToBottom:
        s.source = hiddenAlong + V;
        s.direction = 1;
        s.strip = {s.view.x, s.view.y + V - 1, s.view.width, 1};
        break;
    case kPanBottomToTop:
        s.source = E - fullAlong + hiddenAlong - 1;
        s.direction = -1;
        s.strip = {s.view.x, s.view.y, s.view.width, 1};
        break;
    case kPanLeftToRight:
        s.source = hiddenAlong + V;
        s.direction = 1;
        s.strip = {s.view.x + V - 1, s.view.y, 1, s.view.height};
        break;
    case kPanRightToLeft:
        s.source = E - fullAlong + hiddenAlong - 1;
        s.direction = -1;
        s.strip = {s.view.x, s.view.y, 1, s.view.height};
        break;
    }
    // Nothing beyond the first view: the far end is already on screen.
    s.done = s.source < 0 || s.source >= E;
    return s;
}

bool panStep(PanState& s, graphics::HDC display, graphics::HDC picture) {
    using graphics::BitBlt;
    using graphics::SRCCOPY;
    if (s.done)
        return false;
    const Rect& v = s.view;
    switch (s.mode) {
    case kPanTopToBottom:
        BitBlt(display, v.x, v.y, v.width, v.height - 1, display, v.x, v.y + 1, SRCCOPY);
        break;
    case kPanBottomToTop:
        BitBlt(display, v.x, v.y + 1, v.width, v.height - 1, display, v.x, v.y, SRCCOPY);
        break;
    case kPanLeftToRight:
        BitBlt(display, v.x, v.y, v.width - 1, v.height, display, v.x + 1, v.y, SRCCOPY);
        break;
    case kPanRightToLeft:
        BitBlt(display, v.x + 1, v.y, v.width - 1, v.height, display, v.x, v.y, SRCCOPY);
        break;
    default:
        s.done = true;
        return false;
    }
    const Rect& r = s.strip;
    const int at = s.source - s.offset;
    if (vertical(s.mode))
        BitBlt(display, r.x, r.y, r.width, 1, picture, s.across, at, SRCCOPY);
    else
        BitBlt(display, r.x, r.y, 1, r.height, picture, at, s.across, SRCCOPY);
    s.source += s.direction;
    s.done = s.direction > 0 ? s.source >= s.end : s.source < 0;
    return true;
}

PanWindow firstPanWindow(int mode, int end, int length) {
    PanWindow w{0, std::clamp(length, 1, std::max(1, end))};
    if (mode == kPanRightToLeft || mode == kPanBottomToTop)
        w.origin = std::max(0, end - w.length);
    return w;
}

QRect panWindowArea(PanWindow w, Size p, bool down) {
    return down ? QRect(0, w.origin, p.width, w.length) : QRect(w.origin, 0, w.length, p.height);
}

PanWindow panWindowAt(const PanState& s, int length) {
    length = std::clamp(length, 1, std::max(1, s.end));
    const int origin = s.direction > 0 ? std::clamp(s.source, 0, std::max(0, s.end - 1))
                                       : std::max(0, s.source + 1 - length);
    return PanWindow{origin, std::min(length, s.end - origin)};
}

std::optional<PanWindow> nextPanWindow(const PanState& s, PanWindow held) {
    if (s.done || held.length <= 0)
        return std::nullopt;
    if (s.direction > 0) {
        const int ahead = held.origin + held.length - s.source;
        if (ahead * 2 >= held.length || held.origin + held.length >= s.end)
            return std::nullopt;
    } else {
        const int ahead = s.source - held.origin + 1;
        if (ahead * 2 >= held.length || held.origin <= 0)
            return std::nullopt;
    }
    return panWindowAt(s, held.length);
}

bool windowHolds(const PanState& s, PanWindow w) {
    return s.done || (s.source >= w.origin && s.source < w.origin + w.length);
}

} // namespace skyloom::saver
