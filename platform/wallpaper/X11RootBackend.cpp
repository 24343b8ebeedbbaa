// Plain X11: the picture becomes the root window's background pixmap and is
// announced in _XROOTPMAP_ID and ESETROOT_PMAP_ID, so that terminals and
// panels that show the desktop through themselves find it. The pixmap has to
// outlive this process: it is made on a connection of its own whose
// resources the server keeps (RetainPermanent). The previous setter's pixmap
// is freed when both properties name it, which kills the resources its
// setter left behind.

#include "DesktopBackend.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstring>
#include <memory>

namespace skyloom::platform::wallpaper {

namespace {

// X reports protocol errors asynchronously to a process-wide handler whose
// default ends the program. While a wallpaper is being set they are counted
// instead.
thread_local int xErrors = 0;
int countError(Display*, XErrorEvent*) {
    ++xErrors;
    return 0;
}

class ErrorTrap {
public:
    ErrorTrap() : previous_(XSetErrorHandler(countError)) { xErrors = 0; }
    ~ErrorTrap() { XSetErrorHandler(previous_); }
    ErrorTrap(const ErrorTrap&) = delete;
    ErrorTrap& operator=(const ErrorTrap&) = delete;
    bool failed(Display* display) const {
        XSync(display, False);
        return xErrors != 0;
    }

private:
    XErrorHandler previous_;
};

struct DisplayCloser {
    void operator()(Display* d) const { XCloseDisplay(d); }
};
using DisplayPtr = std::unique_ptr<Display, DisplayCloser>;

// The pixmap a root-pixmap property names, or None.
Pixmap rootProperty(Display* display, Window root, Atom property) {
    Atom type = None;
    int format = 0;
    unsigned long items = 0, after = 0;
    unsigned char* data = nullptr;
    Pixmap pixmap = None;
    if (XGetWindowProperty(display, root, property, 0, 1, False, AnyPropertyType, &type, &format,
                           &items, &after, &data) == Success &&
        type == XA_PIXMAP && format == 32 && items == 1 && data)
        pixmap = static_cast<Pixmap>(*reinterpret_cast<unsigned long*>(data));
    if (data)
        XFree(data);
    return pixmap;
}

// Frees the previous wallpaper's pixmap when both properties agree on it (the
// convention that says its setter kept it with RetainPermanent).
void releasePrevious(Display* display, Window root, Atom xroot, Atom esetroot) {
    const Pixmap current = rootProperty(display, root, xroot);
    if (current != None && current == rootProperty(display, root, esetroot))
        XKillClient(display, current);
}

// True when `ximage` holds pixels as a Format_RGB32 row of `width` does.
bool takesRgb32(const XImage* ximage, const Visual* visual, int width) {
    return ximage->bits_per_pixel == 32 && visual->red_mask == 0xff0000 &&
           visual->green_mask == 0xff00 && visual->blue_mask == 0xff &&
           ximage->byte_order == LSBFirst && ximage->bytes_per_line == width * 4;
}

// Copies the picture into an XImage for the screen's visual. The usual 24-
// and 32-bit TrueColor visuals take the pixels as they are.
bool putPicture(Display* display, int screen, Pixmap pixmap, GC gc, const QImage& source, int x,
                int y) {
    Visual* visual = DefaultVisual(display, screen);
    const int depth = DefaultDepth(display, screen);
    // A Format_RGB32 picture is shared, not copied, and its pixels are only
    // read (bits() would copy all of them first).
    const QImage image = source.convertToFormat(QImage::Format_RGB32);
    XImage* ximage = XCreateImage(display, visual, static_cast<unsigned>(depth), ZPixmap, 0,
                                  nullptr, static_cast<unsigned>(image.width()),
                                  static_cast<unsigned>(image.height()), 32, 0);
    if (!ximage)
        return false;
    const bool direct = takesRgb32(ximage, visual, image.width()) &&
                        ximage->bytes_per_line == static_cast<int>(image.bytesPerLine());
    std::unique_ptr<char[]> copy;
    if (direct) {
        ximage->data = const_cast<char*>(reinterpret_cast<const char*>(image.constBits()));
    } else {
        copy.reset(new char[static_cast<std::size_t>(ximage->bytes_per_line) *
                            static_cast<std::size_t>(image.height())]);
        ximage->data = copy.get();
        const auto channel = [](QRgb rgb, unsigned long mask, int shift) {
            unsigned long value = 0;
            if (mask) {
                int low = 0;
                while (!(mask & (1ul << low)))
                    ++low;
                int bits = 0;
                while (mask & (1ul << (low + bits)))
                    ++bits;
                const unsigned long c = (rgb >> shift) & 0xff;
                value = (bits >= 8 ? c << (bits - 8) : c >> (8 - bits)) << low;
            }
            return value & mask;
        };
        for (int row = 0; row < image.height(); ++row) {
            const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(row));
            for (int col = 0; col < image.width(); ++col)
                XPutPixel(ximage, col, row,
                          channel(line[col], visual->red_mask, 16) |
                              channel(line[col], visual->green_mask, 8) |
                              channel(line[col], visual->blue_mask, 0));
        }
    }
    XPutImage(display, pixmap, gc, ximage, 0, 0, x, y, static_cast<unsigned>(image.width()),
              static_cast<unsigned>(image.height()));
    ximage->data = nullptr; // the pixels belong to the QImage or to `copy`
    XDestroyImage(ximage);
    return true;
}

// An open display with the root window of one of its screens (-1: the
// default screen) and the two properties that name the root's background
// pixmap. `screen` is -1 when the display has no such screen.
struct RootWindowOf {
    RootWindowOf(Display* opened, int number) : display(opened) {
        if (!opened)
            return;
        if (number >= ScreenCount(opened))
            return;
        screen = number >= 0 ? number : DefaultScreen(opened);
        root = RootWindow(opened, screen);
        xroot = XInternAtom(opened, "_XROOTPMAP_ID", False);
        esetroot = XInternAtom(opened, "ESETROOT_PMAP_ID", False);
    }
    DisplayPtr display;
    int screen = -1;
    Window root = 0;
    Atom xroot = 0, esetroot = 0;
};

class X11RootBackend : public DesktopBackend {
public:
    explicit X11RootBackend(std::string display) : display_(std::move(display)) {}
    BackendKind kind() const override { return BackendKind::X11Root; }

    InstallResult install(const WallpaperPicture& picture) override {
        if (!picture.image || picture.image->isNull())
            return {false, "no picture to show"};
        RootWindowOf x(open(), picture.screenNumber);
        if (!x.display)
            return {false, cannotOpen()};
        if (x.screen < 0)
            return {false, "the X display \"" + name() + "\" has no screen " +
                               std::to_string(picture.screenNumber)};
        Display* d = x.display.get();
        const int screen = x.screen;
        const Window root = x.root;
        ErrorTrap trap;
        const int width = DisplayWidth(d, screen);
        const int height = DisplayHeight(d, screen);
        const Pixmap pixmap =
            XCreatePixmap(d, root, static_cast<unsigned>(width), static_cast<unsigned>(height),
                          static_cast<unsigned>(DefaultDepth(d, screen)));
        GC gc = XCreateGC(d, pixmap, 0, nullptr);
        // A picture smaller than the screen sits in its middle on black; one
        // composed for the monitors at their place.
        const bool composed = picture.monitors.size() >= 2;
        const QRect placed(composed ? picture.origin.x() : (width - picture.image->width()) / 2,
                           composed ? picture.origin.y() : (height - picture.image->height()) / 2,
                           picture.image->width(), picture.image->height());
        // The black is drawn only where the picture leaves some screen.
        if (!placed.contains(QRect(0, 0, width, height))) {
            XSetForeground(d, gc, BlackPixel(d, screen));
            XFillRectangle(d, pixmap, gc, 0, 0, static_cast<unsigned>(width),
                           static_cast<unsigned>(height));
        }
        const bool drawn =
            putPicture(d, screen, pixmap, gc, *picture.image, placed.x(), placed.y());
        XFreeGC(d, gc);
        if (!drawn || trap.failed(d)) {
            XFreePixmap(d, pixmap);
            return {false, "the X server refused the wallpaper picture"};
        }
        const Atom xroot = x.xroot, esetroot = x.esetroot;
        XGrabServer(d);
        releasePrevious(d, root, xroot, esetroot);
        XChangeProperty(d, root, xroot, XA_PIXMAP, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(&pixmap), 1);
        XChangeProperty(d, root, esetroot, XA_PIXMAP, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(&pixmap), 1);
        XSetWindowBackgroundPixmap(d, root, pixmap);
        XClearWindow(d, root);
        XUngrabServer(d);
        if (trap.failed(d)) {
            XFreePixmap(d, pixmap);
            return {false, "the X server refused the root window's background"};
        }
        XSetCloseDownMode(d, RetainPermanent);
        XSync(d, False);
        return {true, {}};
    }

    // Every screen's root: the wallpaper may have been set on each.
    InstallResult remove() override {
        RootWindowOf x(open(), -1);
        if (!x.display)
            return {false, cannotOpen()};
        Display* d = x.display.get();
        ErrorTrap trap;
        XGrabServer(d);
        for (int screen = 0; screen < ScreenCount(d); ++screen) {
            const Window root = RootWindow(d, screen);
            releasePrevious(d, root, x.xroot, x.esetroot);
            XDeleteProperty(d, root, x.xroot);
            XDeleteProperty(d, root, x.esetroot);
            XSetWindowBackground(d, root, BlackPixel(d, screen));
            XClearWindow(d, root);
        }
        XUngrabServer(d);
        if (trap.failed(d))
            return {false, "the X server refused to clear the root window"};
        return {true, {}};
    }

private:
    Display* open() const { return XOpenDisplay(display_.empty() ? nullptr : display_.c_str()); }
    std::string name() const {
        const char* n = XDisplayName(display_.empty() ? nullptr : display_.c_str());
        return n ? n : "";
    }
    std::string cannotOpen() const { return "cannot open the X display \"" + name() + "\""; }

    std::string display_;
};

} // namespace

std::unique_ptr<DesktopBackend> makeX11RootBackend(const std::string& display) {
    return std::make_unique<X11RootBackend>(display);
}

} // namespace skyloom::platform::wallpaper
