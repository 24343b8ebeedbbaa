#pragma once
// Drawing into a window that belongs to another program (a screen-saver
// daemon hands us its window): pictures are copied into it with the X
// protocol; no window of our own is ever mapped.

#include <QImage>
#include <QSize>

#include <cstdint>
#include <memory>
#include <optional>

namespace skyloom::platform {

class ForeignWindow {
public:
    /// Connects to the X server of $DISPLAY; valid() tells whether the
    /// window exists and can be drawn into (24- or 32-bit visual).
    explicit ForeignWindow(std::uint32_t window);
    ~ForeignWindow();
    ForeignWindow(const ForeignWindow&) = delete;
    ForeignWindow& operator=(const ForeignWindow&) = delete;

    bool valid() const { return valid_; }
    /// The window's current size; nullopt once the window is gone.
    std::optional<QSize> size();
    /// Paints the window black.
    void clear();
    /// Copies `image` to the window with its top-left corner at `x`, `y`.
    void put(const QImage& image, int x, int y);

private:
    struct Connection;
    std::unique_ptr<Connection> c_;
    std::uint32_t window_;
    bool valid_ = false;
};

} // namespace skyloom::platform
