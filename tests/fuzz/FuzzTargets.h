#pragma once
// The code paths the fuzzers drive: one function per target, shared by the
// libFuzzer harnesses and the replay test that runs seeds and regressions.

#include "graphics/io/BmpCodec.h"
#include "graphics/io/JpegCodec.h"
#include "graphics/io/PictureFile.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace skyloom::fuzz {

// Small limits keep each run fast; the checks are the same as in the programs.
inline graphics::DecodeLimits fuzzLimits() {
    graphics::DecodeLimits limits;
    limits.maxSide = 4096;
    limits.maxPixels = 4 * 1024 * 1024;
    limits.maxJpegMemory = 64 << 20;
    return limits;
}

inline void runBmp(const std::uint8_t* data, std::size_t size) {
    QImage image;
    std::string error;
    graphics::BmpInfo info;
    if (graphics::decodeBmp(std::span(data, size), image, error, fuzzLimits(), &info)) {
        // A decoded picture must be fully addressable.
        volatile QRgb sink = image.pixel(image.width() - 1, image.height() - 1);
        (void)sink;
    }
}

inline void runJpeg(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    QImage image;
    std::string error;
    graphics::JpegDecodeOptions options;
    options.limits = fuzzLimits();
    graphics::decodeJpeg(bytes, image, error, options);
    options.minWidth = 16;
    options.minHeight = 16;
    graphics::decodeJpeg(bytes, image, error, options);
    graphics::decodeJpegFitted(bytes, QSize(40, 30), graphics::FitMode::Cover, image, error,
                               fuzzLimits());
    graphics::decodeJpegFitted(bytes, QSize(40, 30), graphics::FitMode::Cover, image, error,
                               fuzzLimits(), graphics::JpegThreads::Several);
}

} // namespace skyloom::fuzz
