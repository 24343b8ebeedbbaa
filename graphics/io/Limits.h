#pragma once
// Size limits every decoder applies before it allocates pixels.

#include <cstdint>

namespace skyloom::graphics {

struct DecodeLimits {
    /// Largest width or height accepted: panoramas up to 65,000 pixels long
    /// (JPEG itself goes to 65,535). Bombs are held off by the pixel count.
    std::int64_t maxSide = 65000;
    /// Largest pixel count accepted (width × height, computed in 64 bits).
    std::int64_t maxPixels = 256LL * 1024 * 1024;
    /// Largest number of scans in a progressive JPEG.
    int maxScans = 100;
    /// Memory libjpeg may use for its own buffers (coefficients of progressive files).
    std::int64_t maxJpegMemory = 1LL << 30;
};

/// True when a width × height picture is allowed: both positive and within the limits.
inline bool sizeAllowed(std::int64_t width, std::int64_t height, const DecodeLimits& limits) {
    return width > 0 && height > 0 && width <= limits.maxSide && height <= limits.maxSide &&
           width * height <= limits.maxPixels;
}

} // namespace skyloom::graphics
