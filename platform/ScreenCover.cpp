#include "ScreenCover.h"

#include "common/Log.h"

#include <QElapsedTimer>
#include <QSocketNotifier>
#include <QTimer>

#include <X11/Xlib.h>
#include <X11/extensions/Xcomposite.h>

#include <cstdio>
#include <set>
#include <string>

namespace skyloom::platform {
namespace {

// Requests on windows that vanished meanwhile fail with BadWindow; that is
// expected here (the failed call's result says so), never a reason to end.
int ignoreErrors(Display*, XErrorEvent*) {
    return 0;
}

// Rounds in a row in which the cover could not be made viewable before it
// counts as lost.
constexpr int kFailuresBeforeLost = 5;
constexpr int kRetryMs = 100;
// Repairs in a second beyond which they are paced (one each kPacedMs): a
// program (or a second cover) that fights the cover must not make it spin.
constexpr int kRoundsPerSecond = 200;
constexpr int kPacedMs = 20;

} // namespace

struct ScreenCover::X {
    Display* d = nullptr;
    Window root = 0;
    Window overlay = 0;
    Window cover = 0;
    QRect area;
    Window top = 0;
    QRect topGeometry;
    bool topShown = false;
    // Children of the cover mapped by their owner (the picture renderer's
    // window): mapped again when another program unmaps them.
    std::set<Window> keep;
    bool overlayMaybeLow = false;
    bool dirty = false;
    bool busy = false;
    bool held = true;
    int failures = 0;
    QTimer retry;
    QElapsedTimer second;
    int rounds = 0;
    bool paced = false;
    bool forced = false;

    bool overBudget() {
        if (!second.isValid() || second.elapsed() >= 1000) {
            second.restart();
            rounds = 0;
            paced = false;
        }
        return ++rounds > kRoundsPerSecond;
    }

    ~X() {
        if (d) {
            if (overlay)
                XCompositeReleaseOverlayWindow(d, root);
            XCloseDisplay(d);
        }
    }

    // The topmost child of `parent` (the overlay is never listed), or 0.
    Window lastChild(Window parent, bool* ok = nullptr) const {
        Window r = 0, p = 0, *kids = nullptr;
        unsigned n = 0;
        const bool good = XQueryTree(d, parent, &r, &p, &kids, &n) != 0;
        const Window last = good && n > 0 ? kids[n - 1] : 0;
        if (kids)
            XFree(kids);
        if (ok)
            *ok = good;
        return last;
    }

    Window parentOf(Window w, bool& ok) const {
        Window r = 0, p = 0, *kids = nullptr;
        unsigned n = 0;
        ok = XQueryTree(d, w, &r, &p, &kids, &n) != 0;
        if (kids)
            XFree(kids);
        return p;
    }

    // Puts `w` back as a mapped child of `parent` at `g`, raised when asked
    // or when it is not the top child. `back`: it had been unmapped or
    // taken away. False when the window cannot be read (gone).
    bool place(Window w, Window parent, const QRect& g, bool raise, bool topCheck, bool& back,
               const char* what) {
        XWindowAttributes a;
        if (!XGetWindowAttributes(d, w, &a))
            return false;
        bool ok = false;
        if (parentOf(w, ok) != parent && ok) {
            XReparentWindow(d, w, parent, g.x(), g.y());
            logInfo("cover", std::string(what) + " taken away: put back");
            back = true;
            raise = true;
        }
        if (a.x != g.x() || a.y != g.y() || a.width != g.width() || a.height != g.height() ||
            a.border_width != 0) {
            XMoveResizeWindow(d, w, g.x(), g.y(), static_cast<unsigned>(std::max(1, g.width())),
                              static_cast<unsigned>(std::max(1, g.height())));
            XSetWindowBorderWidth(d, w, 0);
            logInfo("cover", std::string(what) + " moved or resized: put back");
        }
        if (a.map_state == IsUnmapped) {
            XMapWindow(d, w);
            logInfo("cover", std::string(what) + " unmapped: mapped again");
            back = true;
            raise = true;
        }
        if (!raise && topCheck && lastChild(parent) != w)
            raise = true;
        if (raise) {
            XRaiseWindow(d, w);
            if (!back)
                logInfo("cover", std::string(what) + " lowered or covered: raised");
        }
        return true;
    }
};

ScreenCover::ScreenCover(std::uint32_t window, QRect area, QObject* parent)
    : QObject(parent), x_(std::make_unique<X>()) {
    x_->cover = window;
    x_->area = area;
    x_->retry.setSingleShot(true);
    connect(&x_->retry, &QTimer::timeout, this, [this] {
        x_->forced = true;
        check();
    });
}

ScreenCover::~ScreenCover() {
    // The notifier goes before the connection whose socket it watches.
    delete notifier_;
    notifier_ = nullptr;
}

bool ScreenCover::start(bool useOverlay) {
    X& x = *x_;
    XSetErrorHandler(ignoreErrors);
    x.d = XOpenDisplay(nullptr);
    if (!x.d)
        return false;
    x.root = DefaultRootWindow(x.d);
    int eventBase = 0, errorBase = 0, major = 0, minor = 2;
    if (useOverlay && XCompositeQueryExtension(x.d, &eventBase, &errorBase) &&
        XCompositeQueryVersion(x.d, &major, &minor) && (major > 0 || minor >= 3)) {
        x.overlay = XCompositeGetOverlayWindow(x.d, x.root);
        if (x.overlay) {
            XSelectInput(x.d, x.overlay, SubstructureNotifyMask | StructureNotifyMask);
            x.overlayMaybeLow = true;
        }
    }
    XSelectInput(x.d, x.root, SubstructureNotifyMask);
    XSelectInput(x.d, x.cover, SubstructureNotifyMask | StructureNotifyMask);
    char id[16];
    std::snprintf(id, sizeof id, "0x%lx", x.cover);
    logInfo("cover",
            std::string("screen cover ") + id +
                (x.overlay ? " in the composite overlay window" : " kept above the other windows"));
    notifier_ = new QSocketNotifier(ConnectionNumber(x.d), QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &ScreenCover::readEvents);
    check();
    return true;
}

void ScreenCover::setArea(QRect area) {
    x_->area = area;
    check();
}

void ScreenCover::setTopChild(std::uint32_t child, QRect geometry, bool shown) {
    x_->top = child;
    x_->topGeometry = geometry;
    x_->topShown = shown;
    x_->keep.erase(child);
    check();
}

void ScreenCover::check() {
    if (!x_->d)
        return;
    x_->dirty = true;
    readEvents();
}

void ScreenCover::readEvents() {
    X& x = *x_;
    if (!x.d || x.busy)
        return;
    x.busy = true;
    for (;;) {
        while (XPending(x.d)) {
            XEvent e;
            XNextEvent(x.d, &e);
            switch (e.type) {
            case MapNotify:
                if (e.xmap.event == x.cover && e.xmap.window != x.cover && e.xmap.window != x.top)
                    x.keep.insert(e.xmap.window);
                break;
            case DestroyNotify:
                x.keep.erase(e.xdestroywindow.window);
                break;
            case ConfigureNotify:
                // The overlay is top when the window just below it is the
                // root's topmost listed child; another root child placed
                // right above it means it is not.
                if (x.overlay && e.xconfigure.window == x.overlay &&
                    e.xconfigure.above != x.lastChild(x.root))
                    x.overlayMaybeLow = true;
                if (x.overlay && e.xconfigure.window != x.overlay && e.xconfigure.event == x.root &&
                    e.xconfigure.above == x.overlay)
                    x.overlayMaybeLow = true;
                break;
            case CirculateNotify:
                if (x.overlay && e.xcirculate.window != x.overlay &&
                    e.xcirculate.place == PlaceOnTop)
                    x.overlayMaybeLow = true;
                break;
            case ReparentNotify:
                // A window that becomes a child of the root goes on top.
                if (e.xreparent.window == x.overlay || e.xreparent.parent == x.root)
                    x.overlayMaybeLow = true;
                break;
            default:
                break;
            }
            x.dirty = true;
        }
        if (!x.dirty)
            break;
        if (!x.forced && x.overBudget()) {
            if (!x.paced) {
                x.paced = true;
                logWarning("cover", "another program keeps changing the screen cover; "
                                    "the repairs are paced");
            }
            if (!x.retry.isActive())
                x.retry.start(kPacedMs);
            break;
        }
        x.forced = false;
        x.dirty = false;
        const bool ok = enforce();
        XFlush(x.d);
        if (ok) {
            x.failures = 0;
            if (!x.held) {
                x.held = true;
                logInfo("cover", "screen cover restored");
                if (coverHeld)
                    coverHeld(true);
            }
        } else if ((gone() || ++x.failures >= kFailuresBeforeLost) && x.held) {
            x.held = false;
            logWarning("cover", "the screen cover cannot be restored");
            if (coverHeld)
                coverHeld(false);
        }
        if (!ok)
            x.retry.start(kRetryMs);
        // Our own changes report back as events: read them too, until
        // nothing is left to put right.
        if (!XPending(x.d))
            break;
    }
    x.busy = false;
}

bool ScreenCover::gone() const {
    XWindowAttributes a;
    return !XGetWindowAttributes(x_->d, x_->cover, &a);
}

bool ScreenCover::enforce() {
    X& x = *x_;
    bool back = false;
    bool ok = true;
    Window parent = x.root;
    if (x.overlay) {
        XWindowAttributes root;
        if (XGetWindowAttributes(x.d, x.root, &root)) {
            const bool raise = x.overlayMaybeLow;
            x.overlayMaybeLow = false;
            ok = x.place(x.overlay, x.root, QRect(0, 0, root.width, root.height), raise, false,
                         back, "overlay window");
        }
        parent = x.overlay;
    }
    ok = ok && x.place(x.cover, parent, x.area, false, true, back, "screen cover");
    if (ok && x.top && x.topShown)
        x.place(x.top, x.cover, x.topGeometry, false, true, back, "password prompt");
    for (auto it = x.keep.begin(); ok && it != x.keep.end();) {
        XWindowAttributes a;
        bool good = false;
        if (!XGetWindowAttributes(x.d, *it, &a) || x.parentOf(*it, good) != x.cover || !good) {
            it = x.keep.erase(it); // gone, or its owner moved it: no longer ours to keep
            continue;
        }
        if (a.map_state == IsUnmapped) {
            XMapWindow(x.d, *it);
            logInfo("cover", "picture window unmapped: mapped again");
        }
        ++it;
    }
    if (!ok)
        return false;
    // Viewable again only counts once the server says so.
    XWindowAttributes a;
    if (!XGetWindowAttributes(x.d, x.cover, &a) || a.map_state != IsViewable)
        return false;
    if (back && restored)
        restored();
    return true;
}

} // namespace skyloom::platform
