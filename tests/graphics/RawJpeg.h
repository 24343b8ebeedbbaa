#pragma once
// Writes a JPEG with libjpeg itself, for files the project's own encoder
// does not make (inks, APP1 segments): quality 100, the caller's colour
// space and rows.

#include <cstdio>
#include <functional>
#include <jpeglib.h>
#include <string>
#include <vector>

namespace skyloom::test {

struct RawJpeg {
    int width = 0, height = 0;
    int components = 3;
    J_COLOR_SPACE input = JCS_RGB;
    /// Runs after libjpeg's defaults are set: colour space, progression.
    std::function<void(jpeg_compress_struct&)> setUp;
    /// Runs after compression started: markers.
    std::function<void(jpeg_compress_struct&)> markers;
    /// Fills row y (width × components samples).
    std::function<void(int y, JSAMPLE* row)> row;
};

/// An empty string, or why the file could not be made.
inline std::string writeRawJpeg(const std::string& path, const RawJpeg& raw) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return "cannot create " + path;
    jpeg_compress_struct c{};
    jpeg_error_mgr err{};
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    jpeg_stdio_dest(&c, file);
    c.image_width = static_cast<JDIMENSION>(raw.width);
    c.image_height = static_cast<JDIMENSION>(raw.height);
    c.input_components = raw.components;
    c.in_color_space = raw.input;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, 100, TRUE);
    if (raw.setUp)
        raw.setUp(c);
    jpeg_start_compress(&c, TRUE);
    if (raw.markers)
        raw.markers(c);
    std::vector<JSAMPLE> row(static_cast<std::size_t>(raw.width) * raw.components);
    while (c.next_scanline < c.image_height) {
        raw.row(static_cast<int>(c.next_scanline), row.data());
        JSAMPROW r = row.data();
        jpeg_write_scanlines(&c, &r, 1);
    }
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    std::fclose(file);
    return {};
}

} // namespace skyloom::test
