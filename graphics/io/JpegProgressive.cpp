#include "graphics/io/JpegProgressive.h"
#include "graphics/io/JpegEntropy.h"

#include "graphics/io/JpegInternal.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace skyloom::graphics::detail {

namespace {

// Zig-zag position → natural (row-major) position in an 8 × 8 block.
constexpr std::array<int, 64> kNatural = {
    0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,  12, 19, 26, 33, 40, 48,
    41, 34, 27, 20, 13, 6,  7,  14, 21, 28, 35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23,
    30, 37, 44, 51, 58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63};

int readU16(const std::uint8_t* p) {
    return (p[0] << 8) | p[1];
}

bool isSof(std::uint8_t m) {
    return m >= 0xC0 && m <= 0xCF && m != 0xC4 && m != 0xC8 && m != 0xCC;
}

// The position of the marker that ends the entropy-coded data from `pos`
// (restart markers belong to the data); the end of the data when none does.
std::size_t markerAfter(std::span<const std::uint8_t> data, std::size_t pos) {
    while (pos + 1 < data.size()) {
        const void* at = std::memchr(data.data() + pos, 0xFF, data.size() - pos - 1);
        if (!at)
            return data.size();
        pos = static_cast<std::size_t>(static_cast<const std::uint8_t*>(at) - data.data());
        const std::uint8_t next = data[pos + 1];
        if (next != 0x00 && next != 0xFF && (next < 0xD0 || next > 0xD7))
            return pos;
        pos += next == 0xFF ? 1 : 2;
    }
    return data.size();
}

bool buildHuffman(std::span<const std::uint8_t> counts, std::span<const std::uint8_t> symbols,
                  ProgressiveJpeg::Huffman& h) {
    h = ProgressiveJpeg::Huffman{};
    int code = 0, k = 0;
    for (int len = 1; len <= 16; ++len) {
        const int count = counts[len - 1];
        h.valueOffset[len] = k - code;
        for (int i = 0; i < count; ++i, ++k, ++code) {
            if (code >= (1 << len))
                return false; // more codes than the length can hold
            if (len <= kHuffmanFastBits) {
                const int shift = kHuffmanFastBits - len;
                const int run = symbols[k] >> 4, size = symbols[k] & 15;
                for (int f = 0; f < (1 << shift); ++f) {
                    h.fast[(code << shift) | f] =
                        static_cast<std::uint16_t>((len << 8) | symbols[k]);
                    if (size == 0 || len + size > kHuffmanFastBits)
                        continue;
                    const int bits = (f >> (shift - size)) & ((1 << size) - 1);
                    const int value = bits < (1 << (size - 1)) ? bits - (1 << size) + 1 : bits;
                    h.fastAc[(code << shift) | f] = value * 256 + run * 16 + len + size;
                }
            }
        }
        h.maxCode[len] = count ? code - 1 : -1;
        code <<= 1;
    }
    h.maxCode[17] = INT32_MAX;
    std::copy(symbols.begin(), symbols.end(), h.symbols.begin());
    return true;
}

} // namespace

ProgressiveJpeg::ProgressiveJpeg() = default;
ProgressiveJpeg::~ProgressiveJpeg() = default;

bool ProgressiveJpeg::open(std::span<const std::uint8_t> data) {
    data_ = data;
    if (data.size() < 4 || data[0] != 0xFF || data[1] != 0xD8)
        return false;
    std::size_t pos = 2;
    std::string ignored;
    bool frame = false;
    while (pos + 4 <= data.size()) {
        if (data[pos] != 0xFF)
            return false;
        const std::uint8_t marker = data[pos + 1];
        if (marker == 0xFF) {
            ++pos; // fill byte
            continue;
        }
        const int length = readU16(&data[pos + 2]);
        if (length < 2 || pos + 2 + static_cast<std::size_t>(length) > data.size())
            return false;
        const std::span<const std::uint8_t> body = data.subspan(pos + 4, length - 2);
        if (marker == 0xDA) {
            if (!frame)
                return false;
            firstScan_ = pos;
            return true;
        }
        if (isSof(marker)) {
            if (marker != 0xC2 || frame || body.size() < 6 || body[0] != 8)
                return false;
            height_ = readU16(&body[1]);
            width_ = readU16(&body[3]);
            const int count = body[5];
            if (width_ <= 0 || height_ <= 0 || (count != 1 && count != 3) ||
                body.size() < 6 + 3 * static_cast<std::size_t>(count))
                return false;
            for (int i = 0; i < count; ++i) {
                Component c;
                c.id = body[6 + 3 * i];
                c.h = body[7 + 3 * i] >> 4;
                c.v = body[7 + 3 * i] & 15;
                c.tq = body[8 + 3 * i];
                if (c.h < 1 || c.h > 2 || c.v < 1 || c.v > 2 || c.tq > 3)
                    return false;
                comps_.push_back(c);
            }
            if (count == 1)
                comps_[0].h = comps_[0].v = 1; // one component: one block per MCU
            for (const Component& c : comps_) {
                hMax_ = std::max(hMax_, c.h);
                vMax_ = std::max(vMax_, c.v);
            }
            frame = true;
        } else if (!parseTables(marker, body, ignored)) {
            return false;
        }
        pos += 2 + static_cast<std::size_t>(length);
    }
    return false;
}

bool ProgressiveJpeg::parseTables(std::uint8_t marker, std::span<const std::uint8_t> body,
                                  std::string& error) {
    if (marker == 0xC4) {
        std::size_t p = 0;
        while (p < body.size()) {
            if (p + 17 > body.size())
                return (error = "bad Huffman table", false);
            const int cls = body[p] >> 4, id = body[p] & 15;
            int total = 0;
            for (int i = 0; i < 16; ++i)
                total += body[p + 1 + i];
            if (cls > 1 || id > 3 || total > 256 || p + 17 + total > body.size())
                return (error = "bad Huffman table", false);
            Huffman& h = tables_.emplace_back();
            if (!buildHuffman(body.subspan(p + 1, 16), body.subspan(p + 17, total), h))
                return (error = "bad Huffman table", false);
            (cls == 0 ? dc_ : ac_)[id] = &h;
            p += 17 + total;
        }
    } else if (marker == 0xDB) {
        std::size_t p = 0;
        while (p < body.size()) {
            const int precision = body[p] >> 4, id = body[p] & 15;
            const std::size_t size = precision ? 128 : 64;
            if (precision > 1 || id > 3 || p + 1 + size > body.size())
                return (error = "bad quantisation table", false);
            for (int k = 0; k < 64; ++k)
                quant_[id][kNatural[k]] =
                    precision ? static_cast<std::uint16_t>(readU16(&body[p + 1 + 2 * k]))
                              : body[p + 1 + k];
            quantDefined_[id] = true;
            p += 1 + size;
        }
    } else if (marker == 0xDD) {
        if (body.size() < 2)
            return (error = "bad restart interval", false);
        restartInterval_ = readU16(body.data());
    } else if (isSof(marker) || marker == 0xD8) {
        return (error = "a second frame header", false);
    }
    return true; // application segments, comments
}

bool ProgressiveJpeg::decode(int denom, const DecodeLimits& limits,
                             const std::function<bool()>& aborted, std::string& error) {
    if (denom != 1 && denom != 2 && denom != 4 && denom != 8)
        return (error = "bad scale", false);
    const int n = 8 / denom;
    outWidth_ = (width_ + denom - 1) / denom;
    outHeight_ = (height_ + denom - 1) / denom;
    // basis_[i][x][u] for n = 1 << i: C(u)/2 cos((2x + 1) u pi / 2n), the
    // n-point inverse DCT that keeps a block's mean and samples its waves
    // at the output's pixels.
    for (int i = 0; i < 4; ++i) {
        const int side = 1 << i;
        for (int x = 0; x < side; ++x)
            for (int u = 0; u < side; ++u)
                basis_[i][x][u] = static_cast<float>((u == 0 ? std::sqrt(0.5) : 1.0) / 2 *
                                                     std::cos((2 * x + 1) * u * M_PI / (2 * side)));
    }
    for (Component& c : comps_) {
        // A subsampled component is decoded larger, up to 8 × 8, while that
        // brings it nearer to the output's size in both directions.
        int grow = 1;
        while (n * grow * 2 <= 8 && hMax_ % (c.h * grow * 2) == 0 && vMax_ % (c.v * grow * 2) == 0)
            grow *= 2;
        c.n = n * grow;
        c.upH = hMax_ / (c.h * grow);
        c.upV = vMax_ / (c.v * grow);
        c.keptAc = 0;
        for (int k = 0; k < 64; ++k) {
            const int r = kNatural[k] / 8, col = kNatural[k] % 8;
            c.keptAt[k] = r < c.n && col < c.n ? r * c.n + col : -1;
            if (k > 0 && c.keptAt[k] >= 0)
                c.keptAc |= std::uint64_t(1) << k;
        }
    }

    mcusX_ = (width_ + 8 * hMax_ - 1) / (8 * hMax_);
    mcusY_ = (height_ + 8 * vMax_ - 1) / (8 * vMax_);
    // The coefficients and non-zero masks of one row of MCUs.
    std::uint64_t rowBlocks = 0, rowValues = 0;
    for (Component& c : comps_) {
        const std::int64_t w = (std::int64_t(width_) * c.h + hMax_ - 1) / hMax_;
        const std::int64_t h = (std::int64_t(height_) * c.v + vMax_ - 1) / vMax_;
        c.blocksW = static_cast<int>((w + 7) / 8);
        c.blocksH = static_cast<int>((h + 7) / 8);
        c.padW = mcusX_ * c.h;
        c.padH = mcusY_ * c.v;
        c.planeW = static_cast<int>((w * c.n + 7) / 8);
        c.planeH = static_cast<int>((h * c.n + 7) / 8);
        rowBlocks += std::uint64_t(c.padW) * c.v;
        rowValues += std::uint64_t(c.padW) * c.v * c.n * c.n;
    }
    // As many rows of MCUs at a time as the band's memory holds (at least
    // one); all of them when they fit.
    const std::uint64_t rowBytes =
        rowBlocks * sizeof(std::uint64_t) + rowValues * sizeof(std::int16_t);
    const std::uint64_t budget = std::min(
        bandBytes_, static_cast<std::uint64_t>(std::max<std::int64_t>(limits.maxJpegMemory, 0)));
    const std::uint64_t fit = budget / rowBytes;
    bandRows_ = fit >= std::uint64_t(mcusY_) ? mcusY_ : std::max(static_cast<int>(fit), 1);
    const std::uint64_t bytes = rowBytes * static_cast<std::uint64_t>(bandRows_);
    if (bytes > static_cast<std::uint64_t>(limits.maxJpegMemory))
        return (error = "the picture's coefficients need too much memory", false);
    coefMemory_ = LargeBuffer(static_cast<std::size_t>(bytes));
    if (!coefMemory_.data())
        return (error = "out of memory for the picture's coefficients", false);
    auto* masks = reinterpret_cast<std::uint64_t*>(coefMemory_.data());
    auto* coefs = reinterpret_cast<std::int16_t*>(masks + rowBlocks * bandRows_);
    for (Component& c : comps_) {
        const std::size_t count = std::size_t(c.padW) * c.v * bandRows_;
        c.nonZero = masks;
        c.coefs = coefs;
        masks += count;
        coefs += count * c.n * c.n;
        c.plane.assign(std::size_t(3) * c.n * c.padW * c.n, 0);
        c.slotRow = {-1, -1, -1};
    }

    // The scans and the tables each uses are gathered first; then the first
    // band is decoded, on two threads for a large picture.
    scans_.clear();
    resume_.clear();
    std::size_t pos = firstScan_;
    while (true) {
        if (pos + 2 > data_.size() || data_[pos] != 0xFF)
            return (error = "the data ends before the end of the picture", false);
        const std::uint8_t marker = data_[pos + 1];
        if (marker == 0xFF) {
            ++pos;
            continue;
        }
        if (marker == 0xD9)
            break;
        if ((marker >= 0xD0 && marker <= 0xD7) || marker == 0x00)
            return (error = "a stray marker between scans", false);
        if (pos + 4 > data_.size())
            return (error = "the data ends in a marker", false);
        const int length = readU16(&data_[pos + 2]);
        if (length < 2 || pos + 2 + static_cast<std::size_t>(length) > data_.size())
            return (error = "a marker runs past the end of the data", false);
        const std::span<const std::uint8_t> body = data_.subspan(pos + 4, length - 2);
        pos += 2 + static_cast<std::size_t>(length);
        if (marker != 0xDA) {
            if (!parseTables(marker, body, error))
                return false;
            continue;
        }
        if (static_cast<int>(scans_.size()) >= limits.maxScans)
            return (error = "too many scans", false);
        Scan scan;
        if (body.empty() || body[0] < 1 || body[0] > 4 ||
            body.size() != 4 + 2 * std::size_t(body[0]))
            return (error = "bad scan header", false);
        scan.count = body[0];
        for (int i = 0; i < scan.count; ++i) {
            const int id = body[1 + 2 * i];
            int index = -1;
            for (std::size_t c = 0; c < comps_.size(); ++c)
                if (comps_[c].id == id)
                    index = static_cast<int>(c);
            for (int j = 0; j < i; ++j)
                if (scan.comps[j] == index)
                    index = -1;
            if (index < 0)
                return (error = "bad scan component", false);
            scan.comps[i] = index;
            const int dcTable = body[2 + 2 * i] >> 4, acTable = body[2 + 2 * i] & 15;
            scan.dc[i] = dcTable < 4 ? dc_[dcTable] : nullptr;
            if (i == 0)
                scan.ac = acTable < 4 ? ac_[acTable] : nullptr;
        }
        const std::size_t tail = 1 + 2 * std::size_t(scan.count);
        scan.ss = body[tail];
        scan.se = body[tail + 1];
        scan.ah = body[tail + 2] >> 4;
        scan.al = body[tail + 2] & 15;
        const bool dcScan = scan.ss == 0;
        if ((dcScan && scan.se != 0) ||
            (!dcScan && (scan.se < scan.ss || scan.se > 63 || scan.count != 1)) || scan.al > 13 ||
            (scan.ah != 0 && scan.ah != scan.al + 1))
            return (error = "bad progression", false);
        for (int i = 0; i < scan.count; ++i) {
            Component& c = comps_[scan.comps[i]];
            if (!c.latched) {
                if (!quantDefined_[c.tq])
                    return (error = "a quantisation table is missing", false);
                for (int k = 0; k < 64; ++k)
                    c.q[k] = quant_[c.tq][k];
                c.latched = true;
            }
            if ((dcScan && scan.ah == 0 && !scan.dc[i]) || (!dcScan && !scan.ac))
                return (error = "a Huffman table is missing", false);
        }
        scan.restartInterval = restartInterval_;
        scan.start = pos;
        pos = scan.end = markerAfter(data_, pos);
        scans_.push_back(scan);
        resume_.push_back(ScanState{Bits(data_.first(scan.end), scan.start), {}, 0, 0, 0});
    }
    for (const Component& c : comps_)
        if (!c.latched)
            return (error = "a component has no scan", false);
    aborted_ = aborted;
    stopped_ = lost_ = false;
    bandFirst_ = 0;
    bandsDecoded_ = 0;
    return decodeBand(error);
}

bool fileLooksProgressive(std::FILE* file) {
    std::uint8_t head[4];
    bool progressive = false;
    if (std::fread(head, 1, 2, file) == 2 && head[0] == 0xFF && head[1] == 0xD8) {
        while (std::fread(head, 1, 4, file) == 4 && head[0] == 0xFF) {
            if (isSof(head[1]) || head[1] == 0xDA) {
                progressive = head[1] == 0xC2;
                break;
            }
            const int length = readU16(&head[2]);
            if (length < 2 || std::fseek(file, length - 2, SEEK_CUR) != 0)
                break;
        }
    }
    std::rewind(file);
    return progressive;
}

} // namespace skyloom::graphics::detail
