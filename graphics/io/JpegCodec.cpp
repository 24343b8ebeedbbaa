#include "graphics/io/JpegCodec.h"
#include "graphics/io/Orientation.h"

#include "graphics/io/FileIO.h"
#include "graphics/io/JpegInternal.h"

#include <algorithm>
#include <cstdlib>
#include <memory>

namespace skyloom::graphics {

using detail::chooseScale;
using detail::Decompressor;
using detail::ErrorManager;
using detail::guarded;
using detail::headerChecks;
using detail::inkRowToBgrx;
using detail::onError;

bool readJpegSize(std::span<const std::uint8_t> data, QSize& size, std::string& error) {
    Decompressor dc(data, DecodeLimits{});
    if (!guarded(dc.err, error, [&] { dc.readHeader(); }))
        return false;
    // As shown: a photo taken upright reports its upright size.
    size = orientedSize(
        QSize(static_cast<int>(dc.cinfo.image_width), static_cast<int>(dc.cinfo.image_height)),
        detail::orientationOf(dc.cinfo));
    return true;
}

double decodedScale(QSize picture, QSize decoded) {
    if (picture.width() <= 0 || picture.height() <= 0)
        return 1.0;
    for (int denom : {1, 2, 4, 8}) {
        if ((picture.width() + denom - 1) / denom == decoded.width() &&
            (picture.height() + denom - 1) / denom == decoded.height())
            return 1.0 / denom;
    }
    return static_cast<double>(decoded.width()) / picture.width();
}

namespace {

// True once every component's DC coefficients have arrived with at most
// their lowest bit missing: the usual progressive script sends them in its
// first scan that way and refines the bit only after most of the AC data.
// The missing bit changes a pixel at 1/8 by at most an eighth of the DC
// quantiser (about one level at common qualities).
bool dcReceived(const jpeg_decompress_struct& cinfo) {
    if (!cinfo.coef_bits)
        return false;
    for (int c = 0; c < cinfo.num_components; ++c)
        if (cinfo.coef_bits[c][0] < 0 || cinfo.coef_bits[c][0] > 1)
            return false;
    return true;
}

// At 1/8 each output pixel is one block's DC coefficient, which a
// progressive stream sends first: reads scans until every component's DC
// has arrived and starts the output there, leaving the rest of the file
// unread. Runs inside guarded().
void startAtDc(jpeg_decompress_struct& cinfo) {
    cinfo.buffered_image = TRUE;
    cinfo.do_block_smoothing = FALSE;
    jpeg_start_decompress(&cinfo);
    for (;;) {
        const int r = jpeg_consume_input(&cinfo);
        if (r == JPEG_REACHED_EOI || r == JPEG_SUSPENDED)
            break;
        if (r == JPEG_SCAN_COMPLETED && dcReceived(cinfo))
            break;
    }
    jpeg_start_output(&cinfo, cinfo.input_scan_number);
}

// Reads the rows into `image` and ends the decode. Runs inside guarded().
void readRows(Decompressor& dc, QImage& image, bool dcOnly) {
    jpeg_decompress_struct& cinfo = dc.cinfo;
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = image.scanLine(static_cast<int>(cinfo.output_scanline));
        if (jpeg_read_scanlines(&cinfo, &row, 1) != 1)
            break;
        if (dc.inks)
            inkRowToBgrx(row, cinfo.output_width, dc.invertedInks);
    }
    if (dcOnly)
        jpeg_abort_decompress(&cinfo);
    else
        jpeg_finish_decompress(&cinfo);
}

} // namespace

bool decodeJpeg(std::span<const std::uint8_t> data, QImage& out, std::string& error,
                const JpegDecodeOptions& options) {
    out = QImage();
    Decompressor dc(data, options.limits);
    dc.err.lenient = !options.corruptDataFails;
    if (!headerChecks(dc, options.limits, error))
        return false;
    jpeg_decompress_struct& cinfo = dc.cinfo;
    // The minimum is meant for the picture as shown; the decoder works on
    // it as stored.
    const int orientation = options.upright ? detail::orientationOf(cinfo) : 1;
    const QSize least = orientedSize(QSize(options.minWidth, options.minHeight), orientation);
    bool dcOnly = false;
    if (!guarded(dc.err, error, [&] {
            chooseScale(cinfo, least.width(), least.height(), options.halveProgressive);
            dcOnly = options.dcOnlyAtEighth && cinfo.progressive_mode && cinfo.scale_denom == 8;
            if (dcOnly)
                startAtDc(cinfo);
            else
                jpeg_start_decompress(&cinfo);
        }))
        return false;
    QImage image(static_cast<int>(cinfo.output_width), static_cast<int>(cinfo.output_height),
                 QImage::Format_RGB32);
    if (image.isNull()) {
        error = "out of memory for the JPEG picture";
        return false;
    }
    mapInAtOnce(image);
    if (!guarded(dc.err, error, [&] { readRows(dc, image, dcOnly); }))
        return false;
    if (dc.err.prematureEnd) {
        error = "premature end of JPEG data";
        return false;
    }
    out = applyOrientation(image, orientation);
    return !out.isNull();
}

bool writeJpeg(const std::string& path, const QImage& image, int quality, std::string& error) {
    JpegEncodeOptions options;
    options.quality = quality;
    return writeJpeg(path, image, options, error);
}

bool encodeJpeg(const QImage& source, const JpegEncodeOptions& options,
                std::vector<std::uint8_t>& out, std::string& error) {
    out.clear();
    if (source.isNull()) {
        error = "no picture to save";
        return false;
    }
    const QImage image = source.format() == QImage::Format_RGB32
                             ? source
                             : source.convertToFormat(QImage::Format_RGB32);
    struct Compressor {
        jpeg_compress_struct cinfo{};
        ErrorManager err;
        unsigned char* buffer = nullptr;
        unsigned long size = 0;
        ~Compressor() {
            jpeg_destroy_compress(&cinfo);
            std::free(buffer);
        }
    };
    auto c = std::make_unique<Compressor>();
    c->cinfo.err = jpeg_std_error(&c->err.pub);
    c->err.pub.error_exit = onError;
    const bool ok = guarded(c->err, error, [&] {
        jpeg_create_compress(&c->cinfo);
        jpeg_mem_dest(&c->cinfo, &c->buffer, &c->size);
        c->cinfo.image_width = static_cast<JDIMENSION>(image.width());
        c->cinfo.image_height = static_cast<JDIMENSION>(image.height());
        c->cinfo.input_components = 4;
        c->cinfo.in_color_space = JCS_EXT_BGRX;
        jpeg_set_defaults(&c->cinfo);
        jpeg_set_quality(&c->cinfo, std::clamp(options.quality, 1, 100), TRUE);
        // libjpeg's default is 4:2:0: luma sampled 2 × 2 against the chroma.
        if (options.chroma != ChromaSampling::Quarter) {
            for (int i = 0; i < c->cinfo.num_components; ++i)
                c->cinfo.comp_info[i].h_samp_factor = c->cinfo.comp_info[i].v_samp_factor = 1;
            if (options.chroma == ChromaSampling::Across)
                c->cinfo.comp_info[0].h_samp_factor = 2;
        }
        c->cinfo.optimize_coding = options.optimizeCoding ? TRUE : FALSE;
        if (options.progressive)
            jpeg_simple_progression(&c->cinfo);
        jpeg_start_compress(&c->cinfo, TRUE);
        for (const JpegMarker& m : options.markers)
            jpeg_write_marker(&c->cinfo, m.code, m.data.data(), unsigned(m.data.size()));
        while (c->cinfo.next_scanline < c->cinfo.image_height) {
            JSAMPROW row =
                const_cast<JSAMPROW>(image.constScanLine(static_cast<int>(c->cinfo.next_scanline)));
            jpeg_write_scanlines(&c->cinfo, &row, 1);
        }
        jpeg_finish_compress(&c->cinfo);
    });
    if (!ok)
        return false;
    out.assign(c->buffer, c->buffer + c->size);
    return true;
}

bool writeJpeg(const std::string& path, const QImage& source, const JpegEncodeOptions& options,
               std::string& error) {
    std::vector<std::uint8_t> bytes;
    if (!encodeJpeg(source, options, bytes, error))
        return false;
    AtomicFile file(path, kWorkFile);
    file.write(bytes.data(), bytes.size());
    if (!file.commit()) {
        error = file.error();
        return false;
    }
    return true;
}

} // namespace skyloom::graphics
