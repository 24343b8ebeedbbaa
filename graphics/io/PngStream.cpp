// PNG through libpng's row interface: one row at a time as 8-bit BGRX,
// palette, grey and 16-bit pictures widened or rounded, transparent parts
// laid on black as the picture format's conversion does. Chunks that are
// not needed for the pixels are skipped unread, so a declared length can
// never make libpng allocate it.

#include "graphics/io/FitStream.h"
#include "graphics/io/StreamInternal.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <new>

namespace skyloom::graphics::detail {

struct PngRowReader::State {
    explicit State(ByteSource& s) : source(s) {}
    State(const State&) = delete;
    State& operator=(const State&) = delete;
    ~State() {
        if (png)
            png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
    }
    ByteSource& source;
    std::uint64_t offset = 0;
    png_structp png = nullptr;
    png_infop info = nullptr;
    char message[200] = "";
    png_uint_32 width = 0, height = 0;
    bool interlaced = false, alpha = false;
    bool deep = false; // 16-bit with alpha: laid on black before rounding to 8 bits
    int passes = 1;
    std::vector<std::uint16_t> wide; // a deep row
};

namespace {

using State = PngRowReader::State;

// libpng's callbacks and the calls that may end in them: an error jumps
// back to the setjmp of the guarded call it happened in. None of these
// frames holds an object with a destructor, so the jump skips nothing.
void onPngError(png_structp png, png_const_charp message) {
    auto* s = static_cast<State*>(png_get_error_ptr(png));
    std::snprintf(s->message, sizeof s->message, "%s", message);
    png_longjmp(png, 1);
}

void onPngWarning(png_structp, png_const_charp) {}

void onRead(png_structp png, png_bytep data, std::size_t n) {
    auto* s = static_cast<State*>(png_get_io_ptr(png));
    const std::size_t got = s->source.readAt(s->offset, data, n);
    s->offset += got;
    if (got < n)
        png_error(png, "read beyond end of data");
}

bool readInfo(State* s) {
    if (setjmp(png_jmpbuf(s->png)))
        return false;
    png_read_info(s->png, s->info);
    s->width = png_get_image_width(s->png, s->info);
    s->height = png_get_image_height(s->png, s->info);
    s->interlaced = png_get_interlace_type(s->png, s->info) != PNG_INTERLACE_NONE;
    return true;
}

// Every kind of PNG becomes 8-bit BGRA or BGRX.
bool setTransforms(State* s) {
    if (setjmp(png_jmpbuf(s->png)))
        return false;
    png_structp png = s->png;
    const int type = png_get_color_type(png, s->info);
    const bool transparency = png_get_valid(png, s->info, PNG_INFO_tRNS) != 0;
    if (type == PNG_COLOR_TYPE_PALETTE)
        png_set_palette_to_rgb(png);
    if (type == PNG_COLOR_TYPE_GRAY || type == PNG_COLOR_TYPE_GRAY_ALPHA)
        png_set_gray_to_rgb(png);
    png_set_expand(png); // low grey depths to 8 bits, tRNS to alpha
    png_set_bgr(png);
    s->alpha = (type & PNG_COLOR_MASK_ALPHA) != 0 || transparency;
    s->deep = s->alpha && png_get_bit_depth(png, s->info) == 16;
    if (s->deep)
        png_set_swap(png); // samples in the machine's order
    else
        png_set_scale_16(png);
    if (!s->alpha)
        png_set_filler(png, 0xff, PNG_FILLER_AFTER);
    if (s->interlaced)
        s->passes = png_set_interlace_handling(png);
    png_read_update_info(png, s->info);
    if (png_get_rowbytes(png, s->info) != std::size_t(s->width) * (s->deep ? 8 : 4))
        png_error(png, "unexpected row layout");
    return true;
}

bool readRowAs(State* s, void* row) {
    if (setjmp(png_jmpbuf(s->png)))
        return false;
    png_read_row(s->png, static_cast<png_bytep>(row), nullptr);
    return true;
}

// A deep row (BGRA, 16 bits a sample) laid on black and rounded to 8 bits.
void deepOnBlack(const std::uint16_t* p, QRgb* row, std::size_t width) {
    const auto round8 = [](std::uint64_t v) {
        return static_cast<QRgb>((v * 255 + 32767) / 65535);
    };
    for (std::size_t x = 0; x < width; ++x, p += 4) {
        const std::uint64_t a = p[3];
        row[x] = 0xff000000u | round8((p[2] * a + 32767) / 65535) << 16 |
                 round8((p[1] * a + 32767) / 65535) << 8 | round8((p[0] * a + 32767) / 65535);
    }
}

// One row (a pass's part of it when interlaced) into `row`; deep rows go
// through `wide` (which holds the whole row across passes).
bool readRow(State* s, QRgb* row, std::uint16_t* wide) {
    if (!s->deep)
        return readRowAs(s, row);
    if (!readRowAs(s, wide))
        return false;
    deepOnBlack(wide, row, s->width);
    return true;
}

// Ancillary chunks that are skipped unread (colour management is not
// applied by any of the programs' readers).
constexpr png_byte kSkipped[] = "bKGD\0cHRM\0eXIf\0gAMA\0hIST\0iCCP\0iTXt\0oFFs\0pCAL\0pHYs\0"
                                "sBIT\0sCAL\0sPLT\0sRGB\0sTER\0tEXt\0tIME\0zTXt";

std::string damaged(const char* message) {
    const std::string m = message;
    if (m.find("beyond end of data") != std::string::npos)
        return "the file is truncated (" + m + ")";
    return "damaged PNG data (" + m + ")";
}

// Colours laid on black: the channels times the alpha, rounded as the
// picture format's premultiplication does.
void onBlack(QRgb* row, int width) {
    for (int x = 0; x < width; ++x)
        row[x] = qPremultiply(row[x]) | 0xff000000u;
}

} // namespace

PngRowReader::PngRowReader(ByteSource& source) : state_(std::make_unique<State>(source)) {}

PngRowReader::~PngRowReader() = default;

QSize PngRowReader::size() const {
    return QSize(static_cast<int>(state_->width), static_cast<int>(state_->height));
}

bool PngRowReader::interlaced() const {
    return state_->interlaced;
}

std::int64_t PngRowReader::wholeBytes() const {
    const State& s = *state_;
    const std::int64_t bytes = std::int64_t(s.width) * s.height * (s.deep ? 8 : 4);
    return s.interlaced && bytes <= kInterlacedPictureBytes ? bytes : 0;
}

bool PngRowReader::open(const DecodeLimits& limits, std::string& error) {
    State& s = *state_;
    std::uint8_t signature[8] = {};
    if (s.source.readAt(0, signature, 8) < 8 || png_sig_cmp(signature, 0, 8) != 0) {
        error = "not a PNG file";
        return false;
    }
    s.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &s, onPngError, onPngWarning);
    if (s.png)
        s.info = png_create_info_struct(s.png);
    if (!s.png || !s.info) {
        error = "out of memory for the PNG reader";
        return false;
    }
    png_set_read_fn(s.png, &s, onRead);
#ifdef PNG_HANDLE_AS_UNKNOWN_SUPPORTED
    png_set_keep_unknown_chunks(s.png, PNG_HANDLE_CHUNK_NEVER, nullptr, 0);
    png_set_keep_unknown_chunks(s.png, PNG_HANDLE_CHUNK_NEVER, kSkipped,
                                static_cast<int>(sizeof kSkipped / 5));
#endif
    png_set_chunk_malloc_max(s.png, 8 << 20);
    if (!readInfo(&s)) {
        error = damaged(s.message);
        return false;
    }
    if (!sizeAllowed(s.width, s.height, limits)) {
        error = "PNG picture of " + std::to_string(s.width) + " x " + std::to_string(s.height) +
                " pixels is too large";
        return false;
    }
    if (!setTransforms(&s)) {
        error = damaged(s.message);
        return false;
    }
    return true;
}

bool PngRowReader::run(RowSink& sink, std::string& error) {
    State& s = *state_;
    const int w = static_cast<int>(s.width), h = static_cast<int>(s.height);
    const std::size_t rowSamples = std::size_t(w) * 4;
    const auto stopped = [&] {
        error = "stopped";
        return false;
    };
    const auto bad = [&] {
        error = damaged(s.message);
        return false;
    };
    if (!s.interlaced) {
        if (s.deep)
            s.wide.resize(rowSamples);
        for (int y = 0; y < h && !sink.complete(); ++y) {
            QRgb* row = sink.rowBuffer(y);
            if (!readRow(&s, row, s.wide.data()))
                return bad();
            if (s.alpha && !s.deep && sink.wants(y))
                onBlack(row, w);
            if (!sink.rowDone(y))
                return stopped();
        }
        return true;
    }
    // The passes of an interlaced picture fill the whole picture in turn:
    // into the sink's own picture when it has one, else into a copy.
    QImage* direct = s.deep ? nullptr : sink.wholePicture();
    const std::int64_t bytes = std::int64_t(w) * h * (s.deep ? 8 : 4);
    if (!direct && bytes > kInterlacedPictureBytes) {
        error = "interlaced PNG picture of " + std::to_string(w) + " x " + std::to_string(h) +
                " pixels is too large to show (more than " +
                std::to_string(kInterlacedPictureBytes >> 20) + " MB to decode whole)";
        return false;
    }
    QImage own;
    std::vector<std::uint16_t> deep;
    try {
        if (s.deep)
            deep.resize(rowSamples * std::size_t(h));
        else if (!direct)
            own = QImage(w, h, QImage::Format_RGB32);
    } catch (const std::bad_alloc&) {
    }
    if ((s.deep && deep.empty()) || (!s.deep && !direct && own.isNull())) {
        error = "out of memory for the PNG picture";
        return false;
    }
    QImage& whole = direct ? *direct : own;
    for (int pass = 0; pass < s.passes; ++pass) {
        for (int y = 0; y < h; ++y) {
            if (!sink.keepGoing())
                return stopped();
            void* row = s.deep ? static_cast<void*>(&deep[rowSamples * std::size_t(y)])
                               : static_cast<void*>(whole.scanLine(y));
            if (!readRowAs(&s, row))
                return bad();
        }
    }
    for (int y = 0; y < h && !sink.complete(); ++y) {
        if (sink.wants(y)) {
            QRgb* row = sink.rowBuffer(y);
            if (s.deep) {
                deepOnBlack(&deep[rowSamples * std::size_t(y)], row, s.width);
            } else {
                if (!direct)
                    std::memcpy(row, whole.constScanLine(y), std::size_t(w) * 4);
                if (s.alpha)
                    onBlack(row, w);
            }
        }
        if (!sink.rowDone(y))
            return stopped();
    }
    return true;
}

} // namespace skyloom::graphics::detail
