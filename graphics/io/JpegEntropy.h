#pragma once
// The entropy decoding of progressive JPEG scans: the bit reader and the
// coding of one block in each kind of scan. For JpegProgressive.cpp only.

#include "graphics/io/JpegProgressive.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>

namespace skyloom::graphics::detail {

/// Codes up to this long are found with one table look-up.
constexpr int kHuffmanFastBits = 9;

// MSB-first bits of one entropy-coded segment. At a marker (or the end of
// the data) it reads zeros and counts them, so that a scan that used them is
// found damaged afterwards.
class ProgressiveJpeg::BitReader {
public:
    BitReader(std::span<const std::uint8_t> data, std::size_t pos) : data_(data), pos_(pos) {}

    [[gnu::always_inline]] void fill() {
        // Eight bytes without 0xFF (so without stuffing or a marker) go in
        // at once, as many whole bytes as the register has room for.
        if (!atMarker_ && data_.size() - pos_ >= 8) {
            std::uint64_t word;
            std::memcpy(&word, data_.data() + pos_, 8);
            word = __builtin_bswap64(word);
            const std::uint64_t inverted = ~word;
            if (((inverted - 0x0101010101010101u) & word & 0x8080808080808080u) == 0) {
                const int take = (64 - count_) >> 3;
                bits_ = take == 8 ? word : (bits_ << (8 * take)) | (word >> (64 - 8 * take));
                pos_ += static_cast<std::size_t>(take);
                count_ += 8 * take;
                return;
            }
        }
        while (count_ <= 56) {
            std::uint8_t byte = 0;
            if (!atMarker_ && pos_ < data_.size()) {
                byte = data_[pos_];
                if (byte == 0xFF) {
                    if (pos_ + 1 < data_.size() && data_[pos_ + 1] == 0x00) {
                        pos_ += 2;
                    } else {
                        atMarker_ = true;
                        byte = 0;
                        padding_ += 8;
                    }
                } else {
                    ++pos_;
                }
            } else {
                atMarker_ = true;
                padding_ += 8;
            }
            bits_ = (bits_ << 8) | byte;
            count_ += 8;
        }
    }
    [[gnu::always_inline]] int bits(int n) {
        if (n == 0)
            return 0;
        if (count_ < n)
            fill();
        count_ -= n;
        return static_cast<int>((bits_ >> count_) & ((std::uint64_t(1) << n) - 1));
    }
    [[gnu::always_inline]] int bit() { return bits(1); }
    // 1 to 48 bits at once, the first one read the highest.
    [[gnu::always_inline]] std::uint64_t many(int n) {
        if (count_ < n)
            fill();
        count_ -= n;
        return (bits_ >> count_) & ((std::uint64_t(1) << n) - 1);
    }
    // A value of n bits, sign-extended as JPEG codes it.
    [[gnu::always_inline]] int extended(int n) {
        const int v = bits(n);
        return v < (1 << (n - 1)) ? v - (1 << n) + 1 : v;
    }
    // The next Huffman symbol; -1 for a code the table does not have.
    [[gnu::always_inline]] int symbol(const Huffman& h) {
        if (count_ < 16)
            fill();
        const unsigned look = static_cast<unsigned>(bits_ >> (count_ - kHuffmanFastBits)) & 511u;
        if (const unsigned e = h.fast[look]) {
            count_ -= static_cast<int>(e >> 8);
            return static_cast<int>(e & 255u);
        }
        const int code16 = static_cast<int>((bits_ >> (count_ - 16)) & 0xFFFF);
        for (int len = kHuffmanFastBits + 1; len <= 16; ++len) {
            const int code = code16 >> (16 - len);
            if (code <= h.maxCode[len]) {
                count_ -= len;
                const int index = code + h.valueOffset[len];
                return index >= 0 && index < 256 ? h.symbols[index] : -1;
            }
        }
        return -1;
    }
    // An AC code and its value bits when the fast look-up holds both: the
    // table's entry (value * 256 + run * 16 + bits), with the bits taken;
    // 0 with nothing taken otherwise.
    [[gnu::always_inline]] int fastAc(const Huffman& h) {
        if (count_ < 16)
            fill();
        const unsigned look = static_cast<unsigned>(bits_ >> (count_ - kHuffmanFastBits)) & 511u;
        const int e = h.fastAc[look];
        count_ -= e & 15;
        return e;
    }
    // True when the bits read so far came from the data, not from padding.
    bool honest() const { return count_ >= padding_; }
    // After a restart interval or the scan: the position of the marker that
    // ends the segment (the bits still held are the segment's padding).
    std::size_t markerPosition() const {
        std::size_t p = pos_;
        while (p + 1 < data_.size() &&
               !(data_[p] == 0xFF && data_[p + 1] != 0x00 && data_[p + 1] != 0xFF))
            ++p;
        return p;
    }
    void restartAt(std::size_t pos) {
        pos_ = pos;
        bits_ = 0;
        count_ = 0;
        padding_ = 0;
        atMarker_ = false;
    }

private:
    std::span<const std::uint8_t> data_;
    std::size_t pos_;
    std::uint64_t bits_ = 0;
    int count_ = 0;
    int padding_ = 0;
    bool atMarker_ = false;
};

using Bits = ProgressiveJpeg::BitReader;

struct ProgressiveJpeg::Scan {
    std::array<int, 4> comps{};
    std::array<const Huffman*, 4> dc{};
    const Huffman* ac = nullptr;
    int count = 0, ss = 0, se = 0, ah = 0, al = 0;
    int restartInterval = 0;
    std::size_t start = 0, end = 0; // its entropy-coded data
};

// Where a scan's decoding stands at the start of a row (of MCUs, or of
// blocks in a scan of one component).
struct ProgressiveJpeg::ScanState {
    BitReader in;
    std::array<int, 4> pred{};
    int eobRun = 0;
    int sinceRestart = 0, restarts = 0;
};

// The coding of one block in each kind of scan. The bit reader, the block's
// non-zero mask and the end-of-band run are kept in locals so that they
// stay in registers. False on a code the tables do not have.
// The DC coefficient is not in the non-zero mask (only the AC refinement
// reads it), so that DC scans and AC scans of one block can run at once.
[[gnu::always_inline]] inline bool dcFirst(Bits& in, const ProgressiveJpeg::Huffman& h, int& pred,
                                           int al, std::int16_t* coef) {
    const int t = in.symbol(h);
    if (t < 0 || t > 15)
        return false;
    const int diff = t ? in.extended(t) : 0;
    pred = static_cast<int>(static_cast<unsigned>(pred) + static_cast<unsigned>(diff));
    coef[0] = static_cast<std::int16_t>(static_cast<unsigned>(pred) << al);
    return true;
}

[[gnu::always_inline]] inline void dcRefine(Bits& in, int al, std::int16_t* coef) {
    if (in.bit())
        coef[0] = static_cast<std::int16_t>(coef[0] | (1 << al));
}

struct Band {
    int ss, se, al;
    const int* keptAt; // zig-zag position → kept index, or -1
};

[[gnu::always_inline]] inline bool acFirst(Bits& in, const ProgressiveJpeg::Huffman& h,
                                           const Band& b, int& eobRun, std::int16_t* coef,
                                           std::uint64_t& nz) {
    if (eobRun > 0) {
        --eobRun;
        return true;
    }
    std::uint64_t mask = nz;
    for (int k = b.ss; k <= b.se; ++k) {
        if (const int e = in.fastAc(h)) {
            k += (e >> 4) & 15;
            if (k > b.se)
                return false;
            const int value = static_cast<int>(static_cast<unsigned>(e >> 8) << b.al);
            if (b.keptAt[k] >= 0)
                coef[b.keptAt[k]] = static_cast<std::int16_t>(value);
            mask |= std::uint64_t(1) << k;
            continue;
        }
        const int rs = in.symbol(h);
        if (rs < 0)
            return false;
        const int r = rs >> 4, s = rs & 15;
        if (s) {
            k += r;
            if (k > b.se)
                return false;
            const int value = static_cast<int>(static_cast<unsigned>(in.extended(s)) << b.al);
            if (b.keptAt[k] >= 0)
                coef[b.keptAt[k]] = static_cast<std::int16_t>(value);
            mask |= std::uint64_t(1) << k;
        } else if (r == 15) {
            k += 15;
        } else {
            eobRun = (1 << r) + in.bits(r) - 1;
            break;
        }
    }
    nz = mask;
    return true;
}

// Set bits of x, without the processor's popcnt (not in the base x86-64).
inline int popcount64(std::uint64_t x) {
    x = x - ((x >> 1) & 0x5555555555555555u);
    x = (x & 0x3333333333333333u) + ((x >> 2) & 0x3333333333333333u);
    x = (x + (x >> 4)) & 0x0F0F0F0F0F0F0F0Fu;
    return static_cast<int>((x * 0x0101010101010101u) >> 56);
}

// Correction bits for the non-zero coefficients among `positions`, in
// zig-zag order: a set bit raises the magnitude by 1 << al. They are read
// in one go and applied without branches on their values (which are as good
// as random, and would cost a mispredicted branch each).
[[gnu::always_inline]] inline void correct(Bits& in, const Band& b, std::uint64_t positions,
                                           std::int16_t* coef) {
    const int p1 = 1 << b.al;
    while (positions) {
        std::uint64_t chunk = positions, rest = 0;
        int count = popcount64(positions);
        if (count > 48) {
            rest = positions;
            for (int i = 0; i < 48; ++i)
                rest &= rest - 1;
            chunk = positions & ~rest;
            count = 48;
        }
        const std::uint64_t values = in.many(count);
        int index = count;
        while (chunk) {
            const int k = __builtin_ctzll(chunk);
            chunk &= chunk - 1;
            --index;
            const int at = b.keptAt[k];
            if (at >= 0) {
                const int v = coef[at];
                const int sign = v >> 31; // 0 or -1
                const int delta = (p1 ^ sign) - sign;
                const int apply = static_cast<int>(values >> index & 1) & ((v & p1) == 0);
                coef[at] = static_cast<std::int16_t>(v + (delta & -apply));
            }
        }
        positions = rest;
    }
}

// Zig-zag positions lo..hi as bits.
inline std::uint64_t span64(int lo, int hi) {
    if (lo > hi)
        return 0;
    const std::uint64_t upTo = hi >= 63 ? ~std::uint64_t(0) : (std::uint64_t(1) << (hi + 1)) - 1;
    return upTo & ~((std::uint64_t(1) << lo) - 1);
}

[[gnu::always_inline]] inline bool acRefine(Bits& in, const ProgressiveJpeg::Huffman& h,
                                            const Band& b, int& eobRun, std::int16_t* coef,
                                            std::uint64_t& nz) {
    std::uint64_t mask = nz;
    int k = b.ss;
    if (eobRun == 0) {
        while (k <= b.se) {
            const int rs = in.symbol(h);
            if (rs < 0)
                return false;
            int r = rs >> 4, s = rs & 15;
            if (s) {
                if (s != 1)
                    return false;
                s = in.bit() ? 1 : -1;
            } else if (r != 15) {
                eobRun = (1 << r) + in.bits(r);
                break;
            }
            // Pass over the non-zero coefficients (their correction bits
            // come here) and r zero ones; the new one goes on the next zero
            // (a run of 16 zeros without a new one ends on the sixteenth).
            std::uint64_t zeros = ~mask & span64(k, b.se);
            for (int i = 0; i < r && zeros; ++i)
                zeros &= zeros - 1;
            if (!zeros) {
                if (s)
                    return false;
                correct(in, b, mask & span64(k, b.se), coef);
                k = b.se + 1;
                break;
            }
            const int target = __builtin_ctzll(zeros);
            correct(in, b, mask & span64(k, target - 1), coef);
            if (s) {
                if (b.keptAt[target] >= 0)
                    coef[b.keptAt[target]] = static_cast<std::int16_t>(s * (1 << b.al));
                mask |= std::uint64_t(1) << target;
            }
            k = target + 1;
        }
    }
    if (eobRun > 0) {
        correct(in, b, mask & span64(k, b.se), coef);
        --eobRun;
    }
    nz = mask;
    return true;
}

} // namespace skyloom::graphics::detail
