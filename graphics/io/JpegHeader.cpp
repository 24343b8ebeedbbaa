#include "graphics/io/JpegHeader.h"

#include "graphics/io/JpegInternal.h"

#include <cstring>
#include <limits>

namespace skyloom::graphics {
namespace {

constexpr const char* kTruncated = "the file is truncated (no end-of-image marker)";

// From just after a start-of-scan segment to the first marker that is
// neither a stuffed 0xFF00 nor a restart marker; npos when the data runs out.
std::size_t skipEntropyData(std::span<const std::uint8_t> bytes, std::size_t i) {
    const std::uint8_t* p = bytes.data();
    const std::size_t n = bytes.size();
    for (;;) {
        const void* ff = i < n ? std::memchr(p + i, 0xFF, n - i) : nullptr;
        if (!ff)
            return std::string::npos;
        i = std::size_t(static_cast<const std::uint8_t*>(ff) - p);
        if (i + 1 >= n)
            return std::string::npos;
        const unsigned next = p[i + 1];
        if (next == 0x00 || (next >= 0xD0 && next <= 0xD7) || next == 0xFF) {
            i += next == 0xFF ? 1 : 2;
            continue;
        }
        return i;
    }
}

} // namespace

std::string checkJpegStructure(std::span<const std::uint8_t> bytes, int maxScans) {
    const std::uint8_t* p = bytes.data();
    const std::size_t n = bytes.size();
    if (n < 4 || p[0] != 0xFF || p[1] != 0xD8)
        return "not a JPEG file";
    std::size_t i = 2;
    bool sawFrame = false;
    int scans = 0;
    for (;;) {
        // Next marker: 0xFF, optional fill bytes 0xFF, then the code.
        if (i >= n || p[i] != 0xFF)
            return i >= n ? kTruncated
                          : "damaged JPEG data (marker expected at byte " + std::to_string(i) + ")";
        while (i < n && p[i] == 0xFF)
            ++i;
        if (i >= n)
            return kTruncated;
        const unsigned code = p[i++];
        if (code == 0xD9)
            return sawFrame ? "" : "damaged JPEG data (no picture before the end marker)";
        if (code == 0x01 || (code >= 0xD0 && code <= 0xD7))
            continue; // markers without a length
        if (i + 2 > n)
            return kTruncated;
        const std::size_t len = (std::size_t(p[i]) << 8) | p[i + 1];
        if (len < 2 || i + len > n)
            return kTruncated;
        if ((code >= 0xC0 && code <= 0xCF) && code != 0xC4 && code != 0xC8 && code != 0xCC)
            sawFrame = true;
        i += len;
        if (code != 0xDA)
            continue;
        if (++scans > maxScans)
            return "JPEG has more than " + std::to_string(maxScans) + " scans";
        i = skipEntropyData(bytes, i);
        if (i == std::string::npos)
            return kTruncated;
    }
}

bool readJpegHeader(std::span<const std::uint8_t> bytes, JpegHeader& header, std::string& error) {
    DecodeLimits limits;
    limits.maxScans = std::numeric_limits<int>::max();
    detail::Decompressor dc(bytes, limits);
    dc.err.lenient = true; // only the header is read: its data warnings cost no pixels here
    if (!detail::guarded(dc.err, error, [&] {
            jpeg_save_markers(&dc.cinfo, JPEG_APP0 + 13, 0xFFFF);
            dc.readHeader();
        }))
        return false;
    const jpeg_decompress_struct& c = dc.cinfo;
    header = JpegHeader{};
    header.width = int(c.image_width);
    header.height = int(c.image_height);
    header.progressive = c.progressive_mode;
    header.plainColour = c.jpeg_color_space != JCS_CMYK && c.jpeg_color_space != JCS_YCCK;
    for (jpeg_saved_marker_ptr m = c.marker_list; m; m = m->next)
        header.markers.push_back({int(m->marker), {m->data, m->data + m->data_length}});
    return true;
}

} // namespace skyloom::graphics
