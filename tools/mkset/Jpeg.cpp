#include "tools/mkset/Jpeg.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>

// jpeglib.h needs size_t and FILE declared first.
#include <jerror.h>
#include <jpeglib.h>

namespace skyloom::mkset {
namespace {

// libjpeg's own error handler ends the process. This one jumps back to the
// call that started the work (setjmp in the functions below, whose locals are
// all trivially destructible; everything with a destructor lives in the
// caller's context object), and records warnings, of which "premature end of
// data" turns a decode into a failure.
struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
    bool prematureEnd;
};

extern "C" void onJpegError(j_common_ptr cinfo) {
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->message);
    std::longjmp(err->jump, 1);
}

extern "C" void onJpegMessage(j_common_ptr cinfo, int level) {
    if (level >= 0)
        return; // trace messages
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    ++cinfo->err->num_warnings;
    if (cinfo->err->msg_code == JWRN_JPEG_EOF)
        err->prematureEnd = true;
}

void installErrorManager(ErrorManager& err) {
    jpeg_std_error(&err.pub);
    err.pub.error_exit = onJpegError;
    err.pub.emit_message = onJpegMessage;
    err.message[0] = '\0';
    err.prematureEnd = false;
}

struct Decompressor {
    jpeg_decompress_struct cinfo{};
    ErrorManager err{};
    bool created = false;
    Decompressor() = default;
    Decompressor(const Decompressor&) = delete;
    Decompressor& operator=(const Decompressor&) = delete;
    ~Decompressor() {
        if (created)
            jpeg_destroy_decompress(&cinfo);
    }
};

struct Compressor {
    jpeg_compress_struct cinfo{};
    ErrorManager err{};
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    bool created = false;
    Compressor() = default;
    Compressor(const Compressor&) = delete;
    Compressor& operator=(const Compressor&) = delete;
    ~Compressor() {
        if (created)
            jpeg_destroy_compress(&cinfo);
        std::free(buffer); // allocated by jpeg_mem_dest
    }
};

// Creates the decompressor and reads the header; `keepMarkers` keeps APP1
// and APP13 segments. Returns false after a libjpeg error (message in d.err).
bool openStream(Decompressor& d, std::string_view bytes, bool keepMarkers) {
    d.cinfo.err = &d.err.pub;
    installErrorManager(d.err);
    if (setjmp(d.err.jump))
        return false;
    jpeg_create_decompress(&d.cinfo);
    d.created = true;
    // A ceiling for libjpeg's own allocations (a progressive picture keeps
    // all its coefficients); beyond it decoding fails instead of swapping.
    d.cinfo.mem->max_memory_to_use = 3L * 1024 * 1024 * 1024;
    jpeg_mem_src(&d.cinfo, reinterpret_cast<const unsigned char*>(bytes.data()),
                 static_cast<unsigned long>(bytes.size()));
    if (keepMarkers) {
        jpeg_save_markers(&d.cinfo, JPEG_APP0 + 1, 0xFFFF);
        jpeg_save_markers(&d.cinfo, JPEG_APP0 + 13, 0xFFFF);
    }
    jpeg_read_header(&d.cinfo, TRUE);
    return true;
}

// libjpeg's message, said as what it means for the file.
std::string damaged(const char* message) {
    return std::string("damaged JPEG data (") + message + ")";
}

std::string tooLarge(std::int64_t w, std::int64_t h) {
    return "the picture is too large (" + std::to_string(w) + " x " + std::to_string(h) +
           " pixels; at most " + std::to_string(kMaxPixels / 1'000'000) + " megapixels)";
}

// True once every component's DC coefficients have arrived with at most
// their lowest bit missing: the usual progressive script sends them in its
// first scan that way and refines the bit only after most of the AC data.
// The missing bit changes a preview pixel by at most an eighth of the DC
// quantiser (about one level at common qualities).
bool dcReceived(const jpeg_decompress_struct& cinfo) {
    if (!cinfo.coef_bits)
        return false;
    for (int c = 0; c < cinfo.num_components; ++c)
        if (cinfo.coef_bits[c][0] < 0 || cinfo.coef_bits[c][0] > 1)
            return false;
    return true;
}

// CMYK as Adobe writes it (inverted) to RGB.
void cmykRowToRgb(const JSAMPLE* in, std::uint8_t* out, int width, bool inverted) {
    for (int x = 0; x < width; ++x, in += 4, out += 3) {
        int c = in[0], m = in[1], y = in[2], k = in[3];
        if (!inverted) {
            c = 255 - c;
            m = 255 - m;
            y = 255 - y;
            k = 255 - k;
        }
        out[0] = std::uint8_t(c * k / 255);
        out[1] = std::uint8_t(m * k / 255);
        out[2] = std::uint8_t(y * k / 255);
    }
}

// The decode proper; see decodeJpeg. Output goes to `out`, row buffer for
// CMYK to `row` (both owned by the caller).
bool runDecode(Decompressor& d, int minWidth, int minHeight, RgbImage& out,
               std::vector<std::uint8_t>& row) {
    if (setjmp(d.err.jump))
        return false;
    jpeg_decompress_struct& c = d.cinfo;
    const bool cmyk = c.jpeg_color_space == JCS_CMYK || c.jpeg_color_space == JCS_YCCK;
    c.out_color_space = cmyk ? JCS_CMYK : JCS_RGB;
    c.scale_num = 1;
    c.scale_denom = 1;
    for (unsigned denom = 8; denom > 1; denom /= 2) {
        const long w = (long(c.image_width) + denom - 1) / denom;
        const long h = (long(c.image_height) + denom - 1) / denom;
        if (w >= minWidth && h >= minHeight) {
            c.scale_denom = denom;
            break;
        }
    }
    const bool dcOnly = c.progressive_mode && c.scale_denom == 8;
    if (dcOnly) {
        // At 1/8 each output pixel is one block's DC coefficient, which a
        // progressive stream sends first: read scans until every
        // component's DC has arrived and leave the rest of the file unread.
        c.buffered_image = TRUE;
        c.do_block_smoothing = FALSE;
    }
    jpeg_start_decompress(&c);
    if (dcOnly) {
        for (;;) {
            const int r = jpeg_consume_input(&c);
            if (r == JPEG_REACHED_EOI || r == JPEG_SUSPENDED)
                break;
            if (r == JPEG_SCAN_COMPLETED && dcReceived(c))
                break;
        }
        jpeg_start_output(&c, c.input_scan_number);
    }
    out.width = int(c.output_width);
    out.height = int(c.output_height);
    out.pixels.resize(std::size_t(out.width) * out.height * 3);
    if (cmyk)
        row.resize(std::size_t(out.width) * 4);
    const bool inverted = c.saw_Adobe_marker;
    while (c.output_scanline < c.output_height) {
        const int y = int(c.output_scanline);
        JSAMPROW target = cmyk ? row.data() : out.at(0, y);
        if (jpeg_read_scanlines(&c, &target, 1) != 1)
            break;
        if (cmyk)
            cmykRowToRgb(row.data(), out.at(0, y), out.width, inverted);
    }
    if (dcOnly) {
        jpeg_abort_decompress(&c);
    } else {
        jpeg_finish_decompress(&c);
    }
    return true;
}

bool runEncode(Compressor& k, const RgbImage& image, int quality,
               const std::vector<JpegMarker>& markers, bool progressive) {
    k.cinfo.err = &k.err.pub;
    installErrorManager(k.err);
    if (setjmp(k.err.jump))
        return false;
    jpeg_create_compress(&k.cinfo);
    k.created = true;
    jpeg_mem_dest(&k.cinfo, &k.buffer, &k.size);
    k.cinfo.image_width = JDIMENSION(image.width);
    k.cinfo.image_height = JDIMENSION(image.height);
    k.cinfo.input_components = 3;
    k.cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&k.cinfo);
    jpeg_set_quality(&k.cinfo, quality, TRUE);
    k.cinfo.optimize_coding = TRUE;
    if (progressive)
        jpeg_simple_progression(&k.cinfo);
    jpeg_start_compress(&k.cinfo, TRUE);
    for (const auto& m : markers)
        jpeg_write_marker(&k.cinfo, m.code, m.data.data(), unsigned(m.data.size()));
    while (k.cinfo.next_scanline < k.cinfo.image_height) {
        // libjpeg takes non-const rows but only reads them.
        auto* rowPtr = const_cast<std::uint8_t*>(image.at(0, int(k.cinfo.next_scanline)));
        jpeg_write_scanlines(&k.cinfo, &rowPtr, 1);
    }
    jpeg_finish_compress(&k.cinfo);
    return true;
}

} // namespace

std::string checkJpegStructure(std::string_view bytes) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t n = bytes.size();
    if (n < 4 || p[0] != 0xFF || p[1] != 0xD8)
        return "not a JPEG file";
    std::size_t i = 2;
    bool sawFrame = false;
    for (;;) {
        // Next marker: 0xFF, optional fill bytes 0xFF, then the code.
        if (i >= n || p[i] != 0xFF)
            return i >= n ? "the file is truncated (no end-of-image marker)"
                          : "damaged JPEG data (marker expected at byte " + std::to_string(i) + ")";
        while (i < n && p[i] == 0xFF)
            ++i;
        if (i >= n)
            return "the file is truncated (no end-of-image marker)";
        const unsigned code = p[i++];
        if (code == 0xD9)
            return sawFrame ? "" : "damaged JPEG data (no picture before the end marker)";
        if (code == 0x01 || (code >= 0xD0 && code <= 0xD7))
            continue; // markers without a length
        if (i + 2 > n)
            return "the file is truncated (no end-of-image marker)";
        const std::size_t len = (std::size_t(p[i]) << 8) | p[i + 1];
        if (len < 2 || i + len > n)
            return "the file is truncated (no end-of-image marker)";
        if ((code >= 0xC0 && code <= 0xCF) && code != 0xC4 && code != 0xC8 && code != 0xCC)
            sawFrame = true;
        i += len;
        if (code != 0xDA)
            continue;
        // Entropy-coded data runs to the next marker that is neither a
        // stuffed 0xFF00 nor a restart marker.
        for (;;) {
            const void* ff = std::memchr(p + i, 0xFF, n - i);
            if (!ff)
                return "the file is truncated (no end-of-image marker)";
            i = std::size_t(static_cast<const unsigned char*>(ff) - p);
            if (i + 1 >= n)
                return "the file is truncated (no end-of-image marker)";
            const unsigned next = p[i + 1];
            if (next == 0x00 || (next >= 0xD0 && next <= 0xD7) || next == 0xFF) {
                i += next == 0xFF ? 1 : 2;
                continue;
            }
            break;
        }
    }
}

std::optional<JpegInfo> readJpegInfo(std::string_view bytes, std::string& error) {
    Decompressor d;
    if (!openStream(d, bytes, true)) {
        error = damaged(d.err.message);
        return std::nullopt;
    }
    JpegInfo info;
    info.width = int(d.cinfo.image_width);
    info.height = int(d.cinfo.image_height);
    info.progressive = d.cinfo.progressive_mode;
    info.plainColour = d.cinfo.jpeg_color_space != JCS_CMYK && d.cinfo.jpeg_color_space != JCS_YCCK;
    for (auto* m = d.cinfo.marker_list; m; m = m->next)
        info.markers.push_back({int(m->marker), {m->data, m->data + m->data_length}});
    return info;
}

RgbImage decodeJpeg(std::string_view bytes, int minWidth, int minHeight, std::string& error) {
    Decompressor d;
    if (!openStream(d, bytes, false)) {
        error = damaged(d.err.message);
        return {};
    }
    const std::int64_t w = d.cinfo.image_width, h = d.cinfo.image_height;
    if (w * h > kMaxPixels) {
        error = tooLarge(w, h);
        return {};
    }
    RgbImage out;
    std::vector<std::uint8_t> row;
    if (!runDecode(d, minWidth, minHeight, out, row)) {
        error = damaged(d.err.message);
        return {};
    }
    if (d.err.prematureEnd) {
        error = "the file is truncated (premature end of JPEG data)";
        return {};
    }
    return out;
}

std::string encodeJpeg(const RgbImage& image, int quality, const std::vector<JpegMarker>& markers,
                       std::string& error, bool progressive) {
    if (image.empty()) {
        error = "nothing to encode";
        return {};
    }
    Compressor k;
    if (!runEncode(k, image, quality, markers, progressive)) {
        error = k.err.message;
        return {};
    }
    return std::string(reinterpret_cast<const char*>(k.buffer), k.size);
}

} // namespace skyloom::mkset
