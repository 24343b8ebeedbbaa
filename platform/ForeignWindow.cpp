#include "ForeignWindow.h"

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace skyloom::platform {

struct ForeignWindow::Connection {
    xcb_connection_t* conn = nullptr;
    xcb_gcontext_t gc = 0;
    std::uint8_t depth = 0;
    ~Connection() {
        if (conn) {
            if (gc)
                xcb_free_gc(conn, gc);
            xcb_disconnect(conn);
        }
    }
};

ForeignWindow::ForeignWindow(std::uint32_t window)
    : c_(std::make_unique<Connection>()), window_(window) {
    c_->conn = xcb_connect(nullptr, nullptr);
    if (!c_->conn || xcb_connection_has_error(c_->conn) || window == 0)
        return;
    xcb_get_geometry_reply_t* geo =
        xcb_get_geometry_reply(c_->conn, xcb_get_geometry(c_->conn, window), nullptr);
    if (!geo)
        return;
    c_->depth = geo->depth;
    std::free(geo);
    if (c_->depth != 24 && c_->depth != 32)
        return;
    c_->gc = xcb_generate_id(c_->conn);
    const std::uint32_t values[] = {0, 0}; // black foreground, no exposures
    xcb_create_gc(c_->conn, c_->gc, window, XCB_GC_FOREGROUND | XCB_GC_GRAPHICS_EXPOSURES, values);
    valid_ = true;
}

ForeignWindow::~ForeignWindow() = default;

std::optional<QSize> ForeignWindow::size() {
    if (!valid_)
        return std::nullopt;
    xcb_get_geometry_reply_t* geo =
        xcb_get_geometry_reply(c_->conn, xcb_get_geometry(c_->conn, window_), nullptr);
    if (!geo)
        return std::nullopt;
    QSize s(geo->width, geo->height);
    std::free(geo);
    return s;
}

void ForeignWindow::clear() {
    auto s = size();
    if (!s)
        return;
    xcb_rectangle_t r{0, 0, static_cast<std::uint16_t>(s->width()),
                      static_cast<std::uint16_t>(s->height())};
    xcb_poly_fill_rectangle(c_->conn, window_, c_->gc, 1, &r);
    xcb_flush(c_->conn);
}

void ForeignWindow::put(const QImage& source, int x, int y) {
    if (!valid_ || source.isNull())
        return;
    // 32 bits a pixel, blue green red unused: the server's layout for 24-
    // and 32-bit visuals on the little-endian machines we build for.
    const QImage image = source.convertToFormat(QImage::Format_RGB32);
    const int stride = image.width() * 4;
    // Strips well under the smallest maximum request size.
    const int rowsPerStrip = std::max(1, (256 * 1024) / stride);
    std::vector<std::uint8_t> strip;
    for (int row = 0; row < image.height(); row += rowsPerStrip) {
        const int rows = std::min(rowsPerStrip, image.height() - row);
        strip.resize(static_cast<std::size_t>(stride) * static_cast<std::size_t>(rows));
        for (int i = 0; i < rows; ++i)
            std::memcpy(strip.data() +
                            static_cast<std::size_t>(i) * static_cast<std::size_t>(stride),
                        image.constScanLine(row + i), static_cast<std::size_t>(stride));
        xcb_put_image(c_->conn, XCB_IMAGE_FORMAT_Z_PIXMAP, window_, c_->gc,
                      static_cast<std::uint16_t>(image.width()), static_cast<std::uint16_t>(rows),
                      static_cast<std::int16_t>(x), static_cast<std::int16_t>(y + row), 0,
                      c_->depth, static_cast<std::uint32_t>(strip.size()), strip.data());
    }
    xcb_flush(c_->conn);
}

} // namespace skyloom::platform
