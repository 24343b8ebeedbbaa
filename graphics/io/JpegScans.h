#pragma once
// The scans of a progressive JPEG, shared out among decoders that work at
// the same time: reading the file's marker structure without decoding it.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace skyloom::graphics {

/// [from, to) byte offsets into a buffer.
struct ByteRange {
    std::size_t from = 0, to = 0;
};

/// A progressive Huffman JPEG with three components as separate streams,
/// each a list of ranges of the file that keeps every table and marker
/// segment: chroma holds the DC scans and the chroma AC scans; luma the DC
/// scans and the luma AC scans. When lumaLate is not empty, the luma scans
/// are shared out: luma holds the first earlyScans of them, lumaLate the
/// rest (refinements of what the early ones decoded).
struct ProgressiveSplit {
    std::vector<ByteRange> luma, chroma, lumaLate;
    int earlyScans = 0;
};

/// Plans the split; false when the file is anything else, is cut off, has
/// scans out of order or more than maxScans scans.
bool planProgressiveSplit(std::span<const std::uint8_t> data, ProgressiveSplit& split,
                          int maxScans);

} // namespace skyloom::graphics
