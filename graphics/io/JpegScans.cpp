#include "graphics/io/JpegScans.h"

#include <algorithm>
#include <cstring>

namespace skyloom::graphics {
namespace {

// Finds where the entropy-coded data that starts at `from` ends: at the next
// marker (0xFF followed by anything but a stuffed zero or a restart marker).
// Returns data.size() when no marker follows.
std::size_t scanDataEnd(std::span<const std::uint8_t> data, std::size_t from) {
    const std::uint8_t* base = data.data();
    std::size_t j = from;
    while (j + 1 < data.size()) {
        const void* hit = std::memchr(base + j, 0xFF, data.size() - 1 - j);
        if (!hit)
            break;
        j = static_cast<std::size_t>(static_cast<const std::uint8_t*>(hit) - base);
        const std::uint8_t next = base[j + 1];
        if (next != 0x00 && (next < 0xD0 || next > 0xD7))
            return j;
        j += 2;
    }
    return data.size();
}

void addRange(std::vector<ByteRange>& ranges, std::size_t from, std::size_t to) {
    if (from == to)
        return;
    if (!ranges.empty() && ranges.back().to == from)
        ranges.back().to = to; // contiguous: one range, fewer refills
    else
        ranges.push_back({from, to});
}

// A piece of a progressive file: a segment or a scan with its data.
struct Piece {
    enum Kind { Shared, DcScan, LumaAc, ChromaAc } kind;
    ByteRange range;
    bool refinement = false; // a successive-approximation refinement scan
};

// Follows which bits of which coefficients the scans so far have given,
// as libjpeg does to warn about a progression out of order. A decoder that
// gets only some of the scans sees gaps in it by design; checking the whole
// file's order here lets such a decoder ignore those warnings safely.
class Progression {
public:
    Progression() { std::fill(&bits_[0][0], &bits_[0][0] + 3 * 64, -1); }
    bool add(int component, int ss, int se, int ah, int al) {
        if (component < 0 || component > 2 || ss > se || se > 63 || ah > 13 || al > 13 ||
            (ss == 0 && se != 0) || (ah != 0 && al != ah - 1))
            return false;
        int* bits = bits_[component];
        if (ss != 0 && bits[0] < 0)
            return false; // AC before DC
        for (int k = ss; k <= se; ++k) {
            if (ah != std::max(bits[k], 0))
                return false;
            bits[k] = al;
        }
        return true;
    }

private:
    int bits_[3][64];
};

// Cuts the file into pieces; false when it is not a well-formed progressive
// Huffman file with three components and scans in a valid order, or has
// more than maxScans scans.
bool cutProgressive(std::span<const std::uint8_t> data, std::vector<Piece>& pieces, int maxScans) {
    if (data.size() < 4 || data[0] != 0xFF || data[1] != 0xD8)
        return false;
    pieces.push_back({Piece::Shared, {0, 2}});
    int lumaId = -1, scans = 0;
    int ids[3] = {-1, -1, -1};
    Progression progression;
    std::size_t i = 2;
    while (i + 1 < data.size()) {
        if (data[i] != 0xFF)
            return false;
        if (data[i + 1] == 0xFF) { // fill byte before a marker
            ++i;
            continue;
        }
        const std::uint8_t marker = data[i + 1];
        if (marker == 0xD9) {
            pieces.push_back({Piece::Shared, {i, i + 2}});
            return true;
        }
        if (marker == 0x01 || marker == 0x00 || (marker >= 0xD0 && marker <= 0xD8))
            return false;
        if (i + 4 > data.size())
            return false;
        const std::size_t length = (std::size_t(data[i + 2]) << 8) | data[i + 3];
        if (length < 2 || i + 2 + length > data.size())
            return false;
        const std::size_t body = i + 4, segmentEnd = i + 2 + length;
        const bool startOfFrame =
            marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (startOfFrame) {
            // Progressive Huffman, 8 bits, three components, one frame only.
            if (marker != 0xC2 || lumaId >= 0 || length != 17 || data[body] != 8 ||
                data[body + 5] != 3)
                return false;
            for (int c = 0; c < 3; ++c)
                ids[c] = data[body + 6 + 3 * c];
            if (ids[0] == ids[1] || ids[0] == ids[2] || ids[1] == ids[2])
                return false;
            lumaId = ids[0];
            pieces.push_back({Piece::Shared, {i, segmentEnd}});
            i = segmentEnd;
        } else if (marker == 0xDA) {
            if (lumaId < 0 || ++scans > maxScans || length < 3)
                return false; // (an empty scan header has not even its count)
            const int components = data[body];
            if (components < 1 || components > 3 || length != 6 + 2 * std::size_t(components))
                return false;
            const int spectralStart = data[body + 1 + 2 * components];
            const int spectralEnd = data[body + 2 + 2 * components];
            const int approximation = data[body + 3 + 2 * components];
            for (int c = 0; c < components; ++c) {
                const int id = data[body + 1 + 2 * c];
                const int index = id == ids[0] ? 0 : id == ids[1] ? 1 : id == ids[2] ? 2 : -1;
                if (!progression.add(index, spectralStart, spectralEnd, approximation >> 4,
                                     approximation & 15))
                    return false;
            }
            const std::size_t end = scanDataEnd(data, segmentEnd);
            if (end >= data.size())
                return false; // cut off inside a scan
            if (spectralStart != 0 && components != 1)
                return false; // AC scans hold one component each
            const Piece::Kind kind = spectralStart == 0         ? Piece::DcScan
                                     : data[body + 1] == lumaId ? Piece::LumaAc
                                                                : Piece::ChromaAc;
            pieces.push_back({kind, {i, end}, (approximation >> 4) != 0});
            i = end;
        } else if (marker == 0xDC) {
            return false; // a height given at the end of the first scan
        } else {
            pieces.push_back({Piece::Shared, {i, segmentEnd}}); // tables, APPn, comments
            i = segmentEnd;
        }
    }
    return false;
}

// The work a scan takes, in units of first-scan bytes: refinement scans
// cost libjpeg about twice as much per byte.
std::size_t workOf(const Piece& p) {
    return (p.range.to - p.range.from) * (p.refinement ? 2 : 1);
}

} // namespace

bool planProgressiveSplit(std::span<const std::uint8_t> data, ProgressiveSplit& split,
                          int maxScans) {
    split = {};
    std::vector<Piece> pieces;
    if (!cutProgressive(data, pieces, maxScans))
        return false;
    // The luma decoder's scans in order, and their sizes.
    std::vector<std::size_t> lumaScans;
    bool lumaAc = false, chromaAc = false;
    for (std::size_t p = 0; p < pieces.size(); ++p) {
        if (pieces[p].kind == Piece::DcScan || pieces[p].kind == Piece::LumaAc)
            lumaScans.push_back(p);
        lumaAc = lumaAc || pieces[p].kind == Piece::LumaAc;
        chromaAc = chromaAc || pieces[p].kind == Piece::ChromaAc;
    }
    if (!lumaAc || !chromaAc)
        return false; // nothing to share out
    // The later luma scans can go to a decoder of their own. Its first scan
    // follows the early decoder's last scan row by row; its other scans
    // come after that, as in any decoder. So the luma takes about
    // max(early, early - early's last + late's first) + late's others,
    // worth it only when clearly less than all scans one after another.
    std::size_t total = 0;
    for (std::size_t p : lumaScans)
        total += workOf(pieces[p]);
    std::size_t bestCut = lumaScans.size(), bestCost = total, early = 0;
    for (std::size_t k = 1; k < lumaScans.size(); ++k) {
        const std::size_t last = workOf(pieces[lumaScans[k - 1]]);
        early += last;
        const std::size_t lateFirst = workOf(pieces[lumaScans[k]]);
        const std::size_t lateOthers = total - early - lateFirst;
        const std::size_t cost = std::max(early, early - last + lateFirst) + lateOthers;
        if (cost < bestCost) {
            bestCost = cost;
            bestCut = k;
        }
    }
    if (bestCost * 10 > total * 8)
        bestCut = lumaScans.size();
    const std::size_t firstLate =
        bestCut < lumaScans.size() ? lumaScans[bestCut] : pieces.size(); // a piece index
    for (std::size_t p = 0; p < pieces.size(); ++p) {
        const Piece& piece = pieces[p];
        const bool late = p >= firstLate;
        switch (piece.kind) {
        case Piece::Shared:
            addRange(split.luma, piece.range.from, piece.range.to);
            addRange(split.chroma, piece.range.from, piece.range.to);
            if (firstLate < pieces.size())
                addRange(split.lumaLate, piece.range.from, piece.range.to);
            break;
        case Piece::DcScan:
            addRange(split.chroma, piece.range.from, piece.range.to);
            [[fallthrough]];
        case Piece::LumaAc:
            addRange(late ? split.lumaLate : split.luma, piece.range.from, piece.range.to);
            break;
        case Piece::ChromaAc:
            addRange(split.chroma, piece.range.from, piece.range.to);
            break;
        }
    }
    split.earlyScans = static_cast<int>(std::min(bestCut, lumaScans.size()));
    return true;
}

} // namespace skyloom::graphics
