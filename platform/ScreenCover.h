#pragma once
// Keeps a full-screen window over every other window of the X display.
//
// Any X client may unmap, move, resize, lower or reparent any window, and a
// window mapped later is drawn above earlier ones. The cover therefore
// watches the root window's children (map, configure, circulate, reparent)
// and its own window and children on a connection of its own, and puts
// everything back the moment it changes. Where the server offers the
// Composite overlay window, the cover window is moved into it: windows
// mapped later then stay below without ever being drawn above it.

#include <QObject>
#include <QRect>

#include <cstdint>
#include <functional>
#include <memory>

class QSocketNotifier;

namespace skyloom::platform {

class ScreenCover : public QObject {
    Q_OBJECT
public:
    /// `window`: the cover, a top-level window of this program; `area`:
    /// the rectangle it must fill, in root-window coordinates.
    ScreenCover(std::uint32_t window, QRect area, QObject* parent = nullptr);
    ~ScreenCover() override;
    ScreenCover(const ScreenCover&) = delete;
    ScreenCover& operator=(const ScreenCover&) = delete;

    /// Connects to $DISPLAY and starts watching. `useOverlay`: move the
    /// cover into the Composite overlay window when the server has one.
    /// False when there is no X display.
    bool start(bool useOverlay);

    void setArea(QRect area);
    /// A child of the cover kept mapped, at `geometry` (relative to the
    /// cover) and above its siblings while `shown`; 0 for none.
    void setTopChild(std::uint32_t child, QRect geometry, bool shown);

    /// Puts the cover back now if anything about it changed.
    void check();

    /// Called after the cover was made viewable again (mapped or moved back
    /// into place): input grabs on it were lost and must be taken again.
    std::function<void()> restored;
    /// Called with false when the cover could not be put back (at once when
    /// its window was destroyed, else after a few tries), with true once it
    /// is back.
    std::function<void(bool)> coverHeld;

private:
    struct X;
    void readEvents();
    bool enforce();
    bool gone() const;
    std::unique_ptr<X> x_;
    QSocketNotifier* notifier_ = nullptr;
};

} // namespace skyloom::platform
