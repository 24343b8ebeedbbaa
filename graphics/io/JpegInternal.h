#pragma once
// The libjpeg plumbing the JPEG decoders and the encoder share: errors and
// warnings turned into a jump back to the caller, the progress hook, the
// coefficient memory, a source reading byte ranges, and the decompressor
// that owns them. For the files of graphics/io only.

#include "graphics/io/JpegScans.h"
#include "graphics/io/LargeBuffer.h"
#include "graphics/io/Limits.h"

#include <QRgb>

#include <csetjmp>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <span>
#include <string>
#include <vector>

extern "C" {
#include <jpeglib.h>
}

namespace skyloom::graphics::detail {

// libjpeg reports fatal errors through error_exit, which must not return:
// we jump back to the call site instead of letting it call exit().
struct ErrorManager {
    jpeg_error_mgr pub{};
    std::jmp_buf jump{};
    char message[JMSG_LENGTH_MAX] = {};
    int tolerated = -1; // one more warning code that is not an error
    /// Warnings about corrupt data are noted, not errors: the decode goes on
    /// (libjpeg fills what it cannot read), and prematureEnd tells whether
    /// the data ran out.
    bool lenient = false;
    bool prematureEnd = false;
};

[[noreturn]] void onError(j_common_ptr cinfo);

struct ProgressGuard {
    jpeg_progress_mgr pub{};
    int maxScans = 100;
    /// Called before each row of input is decoded; false stops the decode
    /// with the message it left in `failure`.
    bool (*hook)(j_decompress_ptr, void*) = nullptr;
    void* hookData = nullptr;
    char failure[JMSG_LENGTH_MAX] = {};
};

// libjpeg keeps the coefficients of a progressive picture in "virtual block
// arrays", which its own memory manager takes from malloc and then clears
// row by row. These replacements give each array a LargeBuffer instead,
// zero already: a large progressive decode saves the clearing pass, and
// decoders of one picture can share an array.
//
// A decoder that discards a component (the luma decoder's chroma, the
// chroma decoder's luma) still stores that component's DC coefficients,
// since DC scans interleave all components. Its array is then "scratch":
// one block row that every row of the array points at, so that the
// coefficients nobody reads cost no memory.
struct BlockArray {
    JDIMENSION blocksPerRow = 0, rows = 0, maxAccess = 0;
    bool scratch = false;
    LargeBuffer memory;
    std::vector<JBLOCKROW> rowPointers;
};

struct BlockArrays {
    std::vector<std::unique_ptr<BlockArray>> arrays;
    std::uint64_t limit = 0;
    void (*realizeOthers)(j_common_ptr) = nullptr;
    /// Another decoder of the same frame whose arrays this one uses, in the
    /// order both request them: two decoders working on different scans of
    /// one picture. It must have realised its arrays first.
    const BlockArrays* shared = nullptr;
    std::size_t sharedTaken = 0;
    /// Components (bit i = component i, the order libjpeg requests their
    /// arrays in) whose coefficients are never read: scratch arrays.
    unsigned scratchComponents = 0;
};

// Feeds libjpeg a list of byte ranges of one buffer, as if they were one
// stream: a file with some of its scans left out, without copying it.
struct RangeSource {
    jpeg_source_mgr pub{};
    const std::uint8_t* data = nullptr;
    const std::vector<ByteRange>* ranges = nullptr;
    std::size_t next = 0;
};

// Owns one decompressor; everything that must survive a longjmp lives here
// and not on the stack frame of the function that calls setjmp.
/// The EXIF orientation (1-8) of a file whose header has been read.
int orientationOf(const jpeg_decompress_struct& cinfo);

/// One row of YCbCr samples (cbcr: Cb and Cr interleaved) turned into BGRX
/// with libjpeg's arithmetic and rounding.
void yccRow(const std::uint8_t* luma, const std::uint8_t* cbcr, QRgb* out, std::size_t width);

/// One row of CMYK samples turned into BGRX (QImage::Format_RGB32) in place.
void inkRowToBgrx(std::uint8_t* row, std::size_t width, bool inverted);

class Decompressor {
public:
    Decompressor(std::span<const std::uint8_t> data, const DecodeLimits& limits);
    /// Reads from an open file instead of memory, a buffer at a time.
    Decompressor(std::FILE* file, const DecodeLimits& limits)
        : Decompressor(std::span<const std::uint8_t>{}, limits) {
        file_ = file;
    }
    /// Reads the given ranges of data, in order, as one stream.
    Decompressor(std::span<const std::uint8_t> data, const std::vector<ByteRange>& ranges,
                 const DecodeLimits& limits)
        : Decompressor(data, limits) {
        ranges_ = &ranges;
    }
    // Reads the header; must run inside guarded() since libjpeg may fail.
    void readHeader();
    ~Decompressor();
    Decompressor(const Decompressor&) = delete;
    Decompressor& operator=(const Decompressor&) = delete;

    /// Decodes into the coefficient memory of `owner` (see BlockArrays::shared).
    void shareCoefficientsOf(const Decompressor& owner) {
        blockArrays_.shared = &owner.blockArrays_;
    }
    /// Components whose coefficients nobody reads (bit i = component i).
    void discardComponents(unsigned mask) { blockArrays_.scratchComponents = mask; }

    jpeg_decompress_struct cinfo{};
    ErrorManager err;
    ProgressGuard progress;
    /// A CMYK or YCCK file: libjpeg gives CMYK rows (4 bytes a pixel, like
    /// BGRX), which inkRowToBgrx() turns into colours; inverted when the
    /// file has Adobe's marker (Photoshop stores inks inverted).
    bool inks = false;
    bool invertedInks = false;

private:
    std::span<const std::uint8_t> data_;
    std::FILE* file_ = nullptr;
    const std::vector<ByteRange>* ranges_ = nullptr;
    RangeSource rangeSource_;
    BlockArrays blockArrays_; // outlives the libjpeg object: destroyed after the destructor's body
};

// Runs libjpeg calls with the error jump armed. The callable must not own
// anything with a destructor: a longjmp out of it skips destructors.
template <class F> bool guarded(ErrorManager& err, std::string& error, F&& calls) {
    if (setjmp(err.jump)) {
        error = err.message;
        return false;
    }
    calls();
    return true;
}

/// Reads the header and checks the picture's size against the limits; sets
/// the output to QImage::Format_RGB32's byte order.
bool headerChecks(Decompressor& dc, const DecodeLimits& limits, std::string& error);

// Picks the strongest of the fast DCT scales 1/8, 1/4, 1/2 whose output is
// at least minWidth × minHeight (3/8, 6/8 and the like take slow paths).
// Progressive files spend their time in entropy decoding, which scaling
// does not shorten: halving saves a single decoder little and costs detail,
// so they are only scaled by 1/4 or 1/8 unless halveProgressive is set.
void chooseScale(jpeg_decompress_struct& cinfo, int minWidth, int minHeight,
                 bool halveProgressive = false);

} // namespace skyloom::graphics::detail
