#pragma once
// Windows BMP files: our own reader (1, 4, 8, 16, 24 and 32 bits per pixel,
// RLE4/RLE8, bit fields, bottom-up and top-down) and writer (24-bit and
// 8-bit palettized, bottom-up, BITMAPINFOHEADER, which every viewer opens).

#include "graphics/io/FileIO.h"
#include "graphics/io/Limits.h"

#include <QImage>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace skyloom::graphics {

struct BmpInfo {
    int width = 0;
    int height = 0; // always positive; topDown tells the row order in the file
    int bitsPerPixel = 0;
    int compression = 0;
    bool topDown = false;
    std::vector<QRgb> palette; // only for 1, 4 and 8 bits per pixel
};

/// Decodes a BMP file held in memory into a Format_RGB32 picture. Returns
/// false with a reason for anything malformed, truncated or over the limits.
bool decodeBmp(std::span<const std::uint8_t> data, QImage& out, std::string& error,
               const DecodeLimits& limits = {}, BmpInfo* info = nullptr);

/// Bytes of a bottom-up 24-bit BMP of the picture.
std::vector<std::uint8_t> encodeBmp24(const QImage& image);
/// Writes a bottom-up 24-bit BMP file, replacing any old one atomically.
bool writeBmp24(const std::string& path, const QImage& image, std::string& error);
/// The same into a file being replaced; the caller commits it.
bool writeBmp24(AtomicFile& file, const QImage& image, std::string& error);
/// Writes an 8-bit palettized BMP: indexes is width × height bytes, row by
/// row from the top; palette has 1 to 256 entries.
bool writeBmp8(const std::string& path, int width, int height,
               std::span<const std::uint8_t> indexes, std::span<const QRgb> palette,
               std::string& error);

/// A bottom-up 24-bit BMP file of a picture too large to hold in memory:
/// written a row at a time in any order, and read back a rectangle at a
/// time, before and after it is finished. One thread writes at a time;
/// reads may come from any thread.
class BmpStripFile {
public:
    /// Starts the file that finish() puts at `path` (replacing any old one
    /// atomically); with an empty path the pixels go to a file of no name
    /// in the temporary folder, gone with this object.
    BmpStripFile(const std::string& path, QSize size);
    ~BmpStripFile();
    BmpStripFile(const BmpStripFile&) = delete;
    BmpStripFile& operator=(const BmpStripFile&) = delete;

    /// False once creating, writing or finishing failed; error() says why.
    bool ok() const { return error_.empty(); }
    const std::string& error() const { return error_; }
    QSize size() const { return size_; }
    /// Writes picture row y (0 at the top) of size().width() pixels; not
    /// after finish().
    bool writeRow(int y, const QRgb* row);
    /// Writes `part` with its corner at `at` (inside the picture); not after finish().
    bool write(const QImage& part, QPoint at);
    /// The part of the picture inside `area` as a Format_RGB32 picture;
    /// null when the area is empty or the file cannot be read.
    QImage read(const QRect& area) const;
    /// Puts the file in place (when it has a path); it stays readable.
    bool finish();

private:
    bool fail(const std::string& why);

    QSize size_;
    std::size_t stride_ = 0;
    std::size_t headerBytes_ = 0;
    std::unique_ptr<AtomicFile> file_;
    bool named_ = false;
    int readFd_ = -1;
    std::vector<std::uint8_t> packed_; // one packed row, for the writer
    std::string error_;
};

} // namespace skyloom::graphics
