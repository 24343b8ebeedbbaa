#include "graphics/depthkit/Depthkit.h"

#include "common/Log.h"
#include "graphics/depthkit/Quantizer.h"
#include "graphics/io/BmpCodec.h"
#include "graphics/io/JpegCodec.h"
#include "graphics/io/PictureFile.h"

#include <cstdio>

namespace skyloom::depthkit {
namespace {

thread_local std::string lastError;

bool failed(const std::string& destination, std::string reason) {
    std::remove(destination.c_str());
    logWarning("graphics", reason);
    lastError = std::move(reason);
    return false;
}

bool done() {
    lastError.clear();
    return true;
}

bool load(const std::string& source, QImage& image, std::string& error,
          const graphics::JpegDecodeOptions& options = {}) {
    return graphics::loadPicture(source, image, error, options);
}

} // namespace

const std::string& LastError() {
    return lastError;
}

bool DoDecompress(const std::string& source, const std::string& destination) {
    return DoDecompressScaled(source, destination, 0, 0);
}

bool DoDecompressScaled(const std::string& source, const std::string& destination, int minWidth,
                        int minHeight) {
    QImage image;
    std::string error;
    graphics::JpegDecodeOptions options;
    options.minWidth = minWidth;
    options.minHeight = minHeight;
    if (!load(source, image, error, options) || !graphics::writeBmp24(destination, image, error))
        return failed(destination, error);
    return done();
}

bool DoCompress(const std::string& source, const std::string& destination) {
    QImage image;
    std::string error;
    if (!load(source, image, error) ||
        !graphics::writeJpeg(destination, image, kJpegQuality, error))
        return failed(destination, error);
    return done();
}

bool Do24To8(const std::string& source, const std::string& destination) {
    QImage image;
    std::string error;
    if (!load(source, image, error))
        return failed(destination, error);
    const graphics::Palettized reduced = graphics::reduceTo8Bits(image);
    if (!graphics::writeBmp8(destination, reduced.width, reduced.height, reduced.indexes,
                             reduced.palette, error))
        return failed(destination, error);
    return done();
}

} // namespace skyloom::depthkit
