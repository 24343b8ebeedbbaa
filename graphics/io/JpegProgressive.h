#pragma once
// Progressive JPEGs decoded by an entropy decoder of our own, which keeps of
// every 8 × 8 block only the coefficients the output scale uses.
//
// libjpeg keeps all 64 coefficients of every block of a progressive picture
// (72 MB for 24 megapixels at 4:2:0) and walks through all of them once per
// scan. A picture decoded at half size needs only the 4 × 4 lowest
// frequencies of each block, at a quarter the 2 × 2, at an eighth the DC
// coefficient. The refinement scans still have to know which of the other
// coefficients are non-zero (they carry a correction bit for each), and that
// takes one bit per coefficient: 64 bits a block beside the kept values.
//
// A large picture is decoded a band of rows of blocks at a time, so that its
// coefficients never take more than a set amount of memory: every scan is
// decoded as far as the band reaches, and where it stopped (the bit
// position, the DC predictions, the end-of-band run, the restart count) is
// kept, so the next band takes up each scan there. The entropy-coded data is
// read once. The upsampling's neighbours in the band before are rows of
// samples made already (each output row asks for its rows of every band it
// reaches into, in turn).
//
// It takes 8-bit Huffman-coded progressive files in greyscale or YCbCr with
// sampling factors of 1 or 2 (4:4:4, 4:2:2, 4:4:0, 4:2:0); everything else,
// and any damage it finds, is left to libjpeg, which decides what is wrong.

#include "graphics/io/LargeBuffer.h"
#include "graphics/io/Limits.h"

#include <QRgb>
#include <QSize>

#include <array>
#include <cstdint>
#include <cstdio>
#include <deque>
#include <functional>
#include <span>
#include <string>
#include <vector>

namespace skyloom::graphics::detail {

class ProgressiveJpeg {
public:
    ProgressiveJpeg();
    ~ProgressiveJpeg();
    ProgressiveJpeg(const ProgressiveJpeg&) = delete;
    ProgressiveJpeg& operator=(const ProgressiveJpeg&) = delete;

    /// Reads the markers up to the first scan. False when the file is not a
    /// progressive file of a kind this decoder takes.
    bool open(std::span<const std::uint8_t> data);
    QSize pictureSize() const { return QSize(width_, height_); }
    /// Decodes every scan for output at 1/denom of full size (denom 1, 2, 4
    /// or 8), as far as the first band of rows reaches. False with a reason
    /// when the data is damaged, there are more scans than the limits allow,
    /// the coefficients of a band would take more memory than they allow,
    /// or `aborted` (asked as each row of blocks of each scan is decoded)
    /// said stop; stopped() tells the last apart.
    bool decode(int denom, const DecodeLimits& limits, const std::function<bool()>& aborted,
                std::string& error);
    bool stopped() const { return stopped_; }
    /// Pictures of at least this many blocks are decoded on two threads
    /// (the scans shared out between them); for tests.
    void setTwoThreadsFrom(std::uint64_t blocks) { twoThreadsFrom_ = blocks; }
    /// The memory a band's coefficients may take (set before decode()).
    void setBandBytes(std::uint64_t bytes) { bandBytes_ = bytes; }
    /// The bands decoded so far.
    int bandsDecoded() const { return bandsDecoded_; }
    /// The decoded size: full size divided by denom, rounded up.
    QSize outputSize() const { return QSize(outWidth_, outHeight_); }
    /// Output row y as BGRX (QImage::Format_RGB32). Rows are asked for from
    /// top to bottom; rows may be left out. A row that needs the next band
    /// decodes it first: false, with error() and stopped() saying why, when
    /// that band is damaged or the decode was stopped.
    bool row(int y, QRgb* out);
    const std::string& error() const { return error_; }

    /// The coefficients kept for component c's block (bx, by) of the band
    /// decoded last, n × n in natural order (n = keptSide(c)), and the
    /// block's non-zero coefficients (bit k = zig-zag position k): for tests
    /// against libjpeg's.
    std::span<const std::int16_t> blockCoefficients(int c, int bx, int by) const;
    std::uint64_t blockNonZero(int c, int bx, int by) const;
    int components() const { return static_cast<int>(comps_.size()); }
    int keptSide(int c) const { return comps_[static_cast<std::size_t>(c)].n; }

    struct Huffman {
        std::array<std::uint16_t, 512> fast{}; // (length << 8) | symbol; 0: a longer code
        // For AC codes whose value bits fit the same look-up as well:
        // value * 256 + run * 16 + bits taken; 0: use `fast`.
        std::array<std::int32_t, 512> fastAc{};
        std::array<std::int32_t, 18> maxCode{};
        std::array<std::int32_t, 17> valueOffset{};
        std::array<std::uint8_t, 256> symbols{};
    };

    class BitReader;

private:
    struct Component {
        int id = 0, h = 1, v = 1, tq = 0;
        int blocksW = 0, blocksH = 0; // the blocks that hold picture
        int padW = 0, padH = 0;       // the same filled up to whole MCUs
        int planeW = 0, planeH = 0;   // decoded samples that hold picture
        // Kept coefficients: n × n a block. Subsampled colours are decoded
        // at a larger n where that saves upsampling them (as libjpeg does).
        int n = 8;
        int upH = 1, upV = 1;         // upsampling to the output after that
        std::array<int, 64> keptAt{}; // zig-zag position → kept index, or -1
        std::uint64_t keptAc = 0;     // zig-zag positions of kept AC coefficients
        bool latched = false;         // quantisation table taken
        std::array<float, 64> q{};    // natural order
        std::int16_t* coefs = nullptr;
        std::uint64_t* nonZero = nullptr;
        // Three rows of blocks turned into samples, for the upsampling's
        // neighbours: which block row each slot holds.
        std::vector<std::uint8_t> plane;
        std::array<int, 3> slotRow{{-1, -1, -1}};
    };
    struct Scan;
    struct ScanState;

    bool parseTables(std::uint8_t marker, std::span<const std::uint8_t> body, std::string& error);
    struct Pacing;
    bool decodeBand(std::string& error);
    bool decodeScan(std::size_t index, Pacing& pacing, bool mayStop, bool paced, bool publishes);
    bool decodeScans(std::string& error);
    void bandRow(int y, QRgb* out);
    const std::uint8_t* planeRow(Component& c, int y);
    void idctBlockRow(Component& c, int blockRow, std::uint8_t* dst);
    void upsampledRow(Component& c, int y, std::uint8_t* out);

    std::span<const std::uint8_t> data_;
    std::size_t firstScan_ = 0; // offset of the first SOS marker
    int width_ = 0, height_ = 0, hMax_ = 1, vMax_ = 1, mcusX_ = 0, mcusY_ = 0;
    int restartInterval_ = 0;
    std::vector<Component> comps_;
    std::deque<Huffman> tables_; // every table defined, in order (scans point at theirs)
    std::array<const Huffman*, 4> dc_{}, ac_{};
    std::array<std::array<std::uint16_t, 64>, 4> quant_{};
    std::array<bool, 4> quantDefined_{};
    int outWidth_ = 0, outHeight_ = 0;
    // basis_[log2 n][x][u]: the n-point inverse DCT's weights.
    std::array<std::array<std::array<float, 8>, 8>, 4> basis_{};
    LargeBuffer coefMemory_;
    std::vector<Scan> scans_;
    // Where each scan takes up again in the next band.
    std::vector<ScanState> resume_;
    std::function<bool()> aborted_;
    std::uint64_t bandBytes_ = std::uint64_t(32) << 20;
    int bandFirst_ = 0, bandEnd_ = 0, bandRows_ = 1; // rows of MCUs
    int bandsDecoded_ = 0;
    bool needMore_ = false, lost_ = false;
    std::string error_;
    bool stopped_ = false;
    std::uint64_t twoThreadsFrom_ = 20000;
    std::vector<std::uint8_t> rowA_, rowB_, rowC_, cbcr_;
};

/// True when an open file's first frame header is a progressive Huffman one
/// (the file position is left at the start).
bool fileLooksProgressive(std::FILE* file);

} // namespace skyloom::graphics::detail
