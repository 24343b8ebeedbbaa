#pragma once
// The handle space shared by bitmaps and work buffers (internal to rasterkit).

#include "graphics/rasterkit/DeviceContext.h"
#include "graphics/rasterkit/Rasterkit.h"

#include <memory>
#include <optional>
#include <string>

namespace skyloom::rasterkit::detail {

struct Raster {
    Raster(QImage image, bool isWorkBuffer) : surface(std::move(image)), workBuffer(isWorkBuffer) {}
    graphics::DeviceContext surface;
    bool workBuffer;
    std::optional<QRgb> key;
};

/// Registers a raster and returns its new handle (-1 when out of handles).
Handle add(std::shared_ptr<Raster> raster);
/// The raster behind a handle; kept alive by the caller's copy even if freed meanwhile.
std::shared_ptr<Raster> find(Handle handle);
/// Removes a handle of the given kind; false when there was none.
bool remove(Handle handle, bool workBuffer);

/// Records the reason for the failure and returns -1.
int failure(std::string reason);
void succeeded();

} // namespace skyloom::rasterkit::detail
