#include "graphics/io/JpegInternal.h"
#include "graphics/io/Orientation.h"

#include <algorithm>
#include <new>

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#endif

extern "C" {
#include <jerror.h>
}

namespace skyloom::graphics::detail {

[[noreturn]] void onError(j_common_ptr cinfo) {
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->message);
    std::longjmp(err->jump, 1);
}

namespace {

// Warnings (level -1) mean corrupt data: the rest of the picture would be
// grey. They are errors here, except a note about stray bytes between
// markers, which cameras write and which costs no pixels.
void onMessage(j_common_ptr cinfo, int level) {
    const int code = cinfo->err->msg_code;
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    if (level >= 0)
        return; // trace messages
    if (err->lenient) {
        ++cinfo->err->num_warnings;
        err->prematureEnd = err->prematureEnd || code == JWRN_JPEG_EOF;
        return;
    }
    if (code != JWRN_EXTRANEOUS_DATA && code != err->tolerated)
        onError(cinfo);
}

void onProgress(j_common_ptr cinfo) {
    if (!cinfo->is_decompressor)
        return;
    auto* d = reinterpret_cast<j_decompress_ptr>(cinfo);
    auto* guard = reinterpret_cast<ProgressGuard*>(cinfo->progress);
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    if (d->input_scan_number > guard->maxScans) {
        std::snprintf(err->message, sizeof err->message, "JPEG has more than %d scans",
                      guard->maxScans);
        std::longjmp(err->jump, 1);
    }
    if (guard->hook && !guard->hook(d, guard->hookData)) {
        std::snprintf(err->message, sizeof err->message, "%s", guard->failure);
        std::longjmp(err->jump, 1);
    }
}

BlockArrays& blockArraysOf(j_common_ptr cinfo) {
    return *static_cast<BlockArrays*>(cinfo->client_data);
}

jvirt_barray_ptr requestBlocks(j_common_ptr cinfo, int pool, boolean, JDIMENSION blocksPerRow,
                               JDIMENSION rows, JDIMENSION maxAccess) {
    if (pool != JPOOL_IMAGE)
        ERREXIT1(cinfo, JERR_BAD_POOL_ID, pool);
    BlockArrays& all = blockArraysOf(cinfo);
    if (all.shared) {
        BlockArray* same = all.sharedTaken < all.shared->arrays.size()
                               ? all.shared->arrays[all.sharedTaken++].get()
                               : nullptr;
        if (!same || same->blocksPerRow != blocksPerRow || same->rows != rows ||
            same->rowPointers.size() != rows) {
            ERREXIT(cinfo, JERR_BAD_VIRTUAL_ACCESS);
            return nullptr;
        }
        // Scratch rows are written by both decoders at once: each has its own.
        if (!same->scratch)
            return reinterpret_cast<jvirt_barray_ptr>(same);
    }
    BlockArray* array = nullptr;
    try {
        all.arrays.push_back(std::make_unique<BlockArray>());
        array = all.arrays.back().get();
    } catch (const std::bad_alloc&) {
    }
    if (!array) {
        ERREXIT1(cinfo, JERR_OUT_OF_MEMORY, 1);
        return nullptr;
    }
    array->blocksPerRow = blocksPerRow;
    array->rows = rows;
    array->maxAccess = maxAccess;
    array->scratch = all.shared != nullptr; // only the owner's scratch arrays get here
    return reinterpret_cast<jvirt_barray_ptr>(array);
}

void realizeBlocks(j_common_ptr cinfo) {
    BlockArrays& all = blockArraysOf(cinfo);
    all.realizeOthers(cinfo);
    std::uint64_t total = 0;
    for (const auto& a : all.arrays)
        total += std::uint64_t(a->blocksPerRow) * a->rows * sizeof(JBLOCK);
    if (total > all.limit) {
        ERREXIT1(cinfo, JERR_OUT_OF_MEMORY, 2);
        return;
    }
    // Scratch only for a three-component frame, whose arrays are requested
    // one per component (a shared decoder's arrays follow its owner's).
    const bool scratchAllowed = !all.shared && cinfo->is_decompressor &&
                                reinterpret_cast<j_decompress_ptr>(cinfo)->num_components == 3 &&
                                all.arrays.size() == 3;
    bool failed = false;
    for (std::size_t i = 0; i < all.arrays.size(); ++i) {
        auto& a = all.arrays[i];
        if (!a->rowPointers.empty())
            continue;
        if (scratchAllowed && (all.scratchComponents >> i & 1u))
            a->scratch = true;
        const std::size_t rowBytes = std::size_t(a->blocksPerRow) * sizeof(JBLOCK);
        a->memory = LargeBuffer(a->scratch ? rowBytes : rowBytes * a->rows);
        try {
            a->rowPointers.resize(a->rows);
        } catch (const std::bad_alloc&) {
            failed = true;
        }
        if (failed || (!a->memory.data() && rowBytes * a->rows > 0)) {
            failed = true;
            break;
        }
        for (JDIMENSION r = 0; r < a->rows; ++r)
            a->rowPointers[r] =
                reinterpret_cast<JBLOCKROW>(a->memory.data() + (a->scratch ? 0 : rowBytes * r));
    }
    if (failed)
        ERREXIT1(cinfo, JERR_OUT_OF_MEMORY, 3);
}

JBLOCKARRAY accessBlocks(j_common_ptr cinfo, jvirt_barray_ptr ptr, JDIMENSION start,
                         JDIMENSION count, boolean) {
    auto* a = reinterpret_cast<BlockArray*>(ptr);
    if (a->rowPointers.empty() || count > a->maxAccess || start > a->rows ||
        count > a->rows - start) {
        ERREXIT(cinfo, JERR_BAD_VIRTUAL_ACCESS);
        return nullptr;
    }
    return a->rowPointers.data() + start;
}

void rangeInit(j_decompress_ptr) {}
void rangeTerm(j_decompress_ptr) {}

boolean rangeFill(j_decompress_ptr cinfo) {
    static const JOCTET endOfImage[2] = {0xFF, JPEG_EOI};
    auto* src = reinterpret_cast<RangeSource*>(cinfo->src);
    if (src->next < src->ranges->size()) {
        const ByteRange r = (*src->ranges)[src->next++];
        src->pub.next_input_byte = src->data + r.from;
        src->pub.bytes_in_buffer = r.to - r.from;
    } else {
        // Out of data: a warning (an error here), then an end marker as libjpeg's own sources do.
        WARNMS(cinfo, JWRN_JPEG_EOF);
        src->pub.next_input_byte = endOfImage;
        src->pub.bytes_in_buffer = 2;
    }
    return TRUE;
}

void rangeSkip(j_decompress_ptr cinfo, long count) {
    auto* src = reinterpret_cast<RangeSource*>(cinfo->src);
    while (count > 0) {
        if (static_cast<std::size_t>(count) <= src->pub.bytes_in_buffer) {
            src->pub.next_input_byte += count;
            src->pub.bytes_in_buffer -= static_cast<std::size_t>(count);
            return;
        }
        count -= static_cast<long>(src->pub.bytes_in_buffer);
        src->pub.bytes_in_buffer = 0;
        const bool lastRange = src->next >= src->ranges->size();
        rangeFill(cinfo);
        if (lastRange)
            return; // past the end: the end marker rangeFill put in stays
    }
}

} // namespace

Decompressor::Decompressor(std::span<const std::uint8_t> data, const DecodeLimits& limits) {
    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = onError;
    err.pub.emit_message = onMessage;
    progress.pub.progress_monitor = onProgress;
    progress.maxScans = limits.maxScans;
    jpeg_create_decompress(&cinfo);
    cinfo.progress = &progress.pub;
    cinfo.mem->max_memory_to_use = static_cast<long>(limits.maxJpegMemory);
    blockArrays_.limit =
        static_cast<std::uint64_t>(std::max<std::int64_t>(0, limits.maxJpegMemory));
    blockArrays_.realizeOthers = cinfo.mem->realize_virt_arrays;
    cinfo.client_data = &blockArrays_;
    cinfo.mem->request_virt_barray = requestBlocks;
    cinfo.mem->realize_virt_arrays = realizeBlocks;
    cinfo.mem->access_virt_barray = accessBlocks;
    data_ = data;
}

void Decompressor::readHeader() {
    if (file_) {
        jpeg_stdio_src(&cinfo, file_);
    } else if (ranges_) {
        rangeSource_.pub.init_source = rangeInit;
        rangeSource_.pub.fill_input_buffer = rangeFill;
        rangeSource_.pub.skip_input_data = rangeSkip;
        rangeSource_.pub.resync_to_restart = jpeg_resync_to_restart;
        rangeSource_.pub.term_source = rangeTerm;
        rangeSource_.data = data_.data();
        rangeSource_.ranges = ranges_;
        cinfo.src = &rangeSource_.pub;
    } else {
        jpeg_mem_src(&cinfo, data_.data(), static_cast<unsigned long>(data_.size()));
    }
    // APP1 is kept for the EXIF orientation.
    jpeg_save_markers(&cinfo, JPEG_APP0 + 1, 0xFFFF);
    jpeg_read_header(&cinfo, TRUE);
}

int orientationOf(const jpeg_decompress_struct& cinfo) {
    for (jpeg_saved_marker_ptr m = cinfo.marker_list; m; m = m->next) {
        if (m->marker != JPEG_APP0 + 1 || !m->data)
            continue;
        const int o = exifOrientation({m->data, m->data_length});
        if (o != 1)
            return o;
    }
    return 1;
}

Decompressor::~Decompressor() {
    jpeg_destroy_decompress(&cinfo);
}

bool headerChecks(Decompressor& dc, const DecodeLimits& limits, std::string& error) {
    if (!guarded(dc.err, error, [&] { dc.readHeader(); }))
        return false;
    if (!sizeAllowed(dc.cinfo.image_width, dc.cinfo.image_height, limits)) {
        error = "JPEG picture is too large";
        return false;
    }
    // Print-ready photos come as CMYK or YCCK: libjpeg cannot turn those
    // into RGB itself, so they come out as CMYK and are converted here.
    dc.inks = dc.cinfo.jpeg_color_space == JCS_CMYK || dc.cinfo.jpeg_color_space == JCS_YCCK;
    dc.invertedInks = dc.inks && dc.cinfo.saw_Adobe_marker;
    dc.cinfo.out_color_space = dc.inks ? JCS_CMYK : JCS_EXT_BGRX; // BGRX: QImage::Format_RGB32
    return true;
}

void inkRowToBgrx(std::uint8_t* row, std::size_t width, bool inverted) {
    for (std::size_t x = 0; x < width; ++x, row += 4) {
        int c = row[0], m = row[1], y = row[2], k = row[3];
        if (!inverted) {
            c = 255 - c;
            m = 255 - m;
            y = 255 - y;
            k = 255 - k;
        }
        // What is left of white under each ink, and under the black.
        row[0] = static_cast<std::uint8_t>((y * k + 127) / 255);
        row[1] = static_cast<std::uint8_t>((m * k + 127) / 255);
        row[2] = static_cast<std::uint8_t>((c * k + 127) / 255);
        row[3] = 0xff;
    }
}

void chooseScale(jpeg_decompress_struct& cinfo, int minWidth, int minHeight,
                 bool halveProgressive) {
    cinfo.scale_num = 1;
    cinfo.scale_denom = 1;
    if (minWidth <= 0 || minHeight <= 0)
        return;
    const bool progressive = jpeg_has_multiple_scans(&cinfo);
    for (unsigned denom : {8u, 4u, 2u}) {
        if (progressive && denom == 2 && !halveProgressive)
            break;
        cinfo.scale_denom = denom;
        jpeg_calc_output_dimensions(&cinfo);
        if (static_cast<int>(cinfo.output_width) >= minWidth &&
            static_cast<int>(cinfo.output_height) >= minHeight)
            return;
    }
    cinfo.scale_denom = 1;
}

namespace {

constexpr int kYccBits = 16;
constexpr std::int32_t kYccHalf = std::int32_t(1) << (kYccBits - 1);
constexpr std::int32_t yccFix(double v) {
    return static_cast<std::int32_t>(v * (1 << kYccBits) + 0.5);
}
constexpr std::int32_t kCrR = yccFix(1.40200), kCbB = yccFix(1.77200), kCrG = yccFix(0.71414),
                       kCbG = yccFix(0.34414);

void yccRowPlain(const std::uint8_t* luma, const std::uint8_t* cbcr, QRgb* out, std::size_t width) {
    auto clamp = [](std::int32_t v) { return static_cast<std::uint32_t>(std::clamp(v, 0, 255)); };
    for (std::size_t x = 0; x < width; ++x) {
        const std::int32_t y = luma[x], cb = cbcr[2 * x] - 128, cr = cbcr[2 * x + 1] - 128;
        const std::uint32_t r = clamp(y + ((kCrR * cr + kYccHalf) >> kYccBits));
        const std::uint32_t g = clamp(y + ((-kCbG * cb - kCrG * cr + kYccHalf) >> kYccBits));
        const std::uint32_t b = clamp(y + ((kCbB * cb + kYccHalf) >> kYccBits));
        out[x] = 0xFF000000u | (r << 16) | (g << 8) | b;
    }
}

#if defined(__x86_64__) && defined(__GNUC__)
// The same arithmetic eight pixels at a time.
__attribute__((target("avx2"))) void yccRowAvx2(const std::uint8_t* luma, const std::uint8_t* cbcr,
                                                QRgb* out, std::size_t width) {
    const __m256i c128 = _mm256_set1_epi32(128), half = _mm256_set1_epi32(kYccHalf);
    const __m256i crR = _mm256_set1_epi32(kCrR), cbB = _mm256_set1_epi32(kCbB);
    const __m256i crG = _mm256_set1_epi32(-kCrG), cbG = _mm256_set1_epi32(-kCbG);
    const __m256i low16 = _mm256_set1_epi32(0xFFFF), zero = _mm256_setzero_si256();
    const __m256i top = _mm256_set1_epi32(255), alpha = _mm256_set1_epi32(int(0xFF000000u));
    std::size_t x = 0;
    for (; x + 8 <= width; x += 8) {
        const __m256i y =
            _mm256_cvtepu8_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(luma + x)));
        // Each 32-bit lane holds one pixel's Cb (low half) and Cr (high half).
        const __m256i pairs =
            _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(cbcr + 2 * x)));
        const __m256i cb = _mm256_sub_epi32(_mm256_and_si256(pairs, low16), c128);
        const __m256i cr = _mm256_sub_epi32(_mm256_srli_epi32(pairs, 16), c128);
        // y + ((sum + half) >> 16), held inside 0..255.
        __m256i r = _mm256_mullo_epi32(crR, cr);
        __m256i g = _mm256_add_epi32(_mm256_mullo_epi32(cbG, cb), _mm256_mullo_epi32(crG, cr));
        __m256i b = _mm256_mullo_epi32(cbB, cb);
        r = _mm256_add_epi32(y, _mm256_srai_epi32(_mm256_add_epi32(r, half), kYccBits));
        g = _mm256_add_epi32(y, _mm256_srai_epi32(_mm256_add_epi32(g, half), kYccBits));
        b = _mm256_add_epi32(y, _mm256_srai_epi32(_mm256_add_epi32(b, half), kYccBits));
        r = _mm256_min_epi32(_mm256_max_epi32(r, zero), top);
        g = _mm256_min_epi32(_mm256_max_epi32(g, zero), top);
        b = _mm256_min_epi32(_mm256_max_epi32(b, zero), top);
        const __m256i rgb = _mm256_or_si256(_mm256_or_si256(alpha, _mm256_slli_epi32(r, 16)),
                                            _mm256_or_si256(_mm256_slli_epi32(g, 8), b));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + x), rgb);
    }
    // Clean upper halves before the plain code (the compiler leaves them
    // dirty on a tail call, and later SSE code then runs markedly slower).
    _mm256_zeroupper();
    yccRowPlain(luma + x, cbcr + 2 * x, out + x, width - x);
}
#endif

} // namespace

// One row of YCbCr → RGB with libjpeg's arithmetic (16-bit fixed point, the
// same rounding), so pixels put together from separately decoded planes
// equal a single decode's; with AVX2 eight pixels at a time, the same values.
void yccRow(const std::uint8_t* luma, const std::uint8_t* cbcr, QRgb* out, std::size_t width) {
#if defined(__x86_64__) && defined(__GNUC__)
    static const bool avx2 = __builtin_cpu_supports("avx2");
    if (avx2)
        return yccRowAvx2(luma, cbcr, out, width);
#endif
    yccRowPlain(luma, cbcr, out, width);
}

} // namespace skyloom::graphics::detail
