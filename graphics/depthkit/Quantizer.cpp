#include "graphics/depthkit/Quantizer.h"

#include <algorithm>
#include <array>
#include <unordered_map>
#include <unordered_set>

namespace skyloom::graphics {
namespace {

constexpr int kBins = 32; // 5 bits per channel
int bin(int r, int g, int b) {
    return (r << 10) | (g << 5) | b;
}

struct Box {
    int lo[3], hi[3]; // inclusive bin ranges per channel
    std::uint64_t count = 0;
};

// Distinct colours of the picture, or empty when there are more than limit.
std::vector<QRgb> fewColours(const QImage& image, int limit) {
    std::unordered_set<QRgb> seen;
    for (int y = 0; y < image.height(); ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            seen.insert(row[x] | 0xff000000u);
            if (static_cast<int>(seen.size()) > limit)
                return {};
        }
    }
    std::vector<QRgb> colours(seen.begin(), seen.end());
    std::sort(colours.begin(), colours.end());
    return colours;
}

void shrink(Box& box, const std::vector<std::uint32_t>& hist) {
    int lo[3] = {kBins, kBins, kBins}, hi[3] = {-1, -1, -1};
    std::uint64_t count = 0;
    for (int r = box.lo[0]; r <= box.hi[0]; ++r)
        for (int g = box.lo[1]; g <= box.hi[1]; ++g)
            for (int b = box.lo[2]; b <= box.hi[2]; ++b) {
                const std::uint32_t n = hist[bin(r, g, b)];
                if (!n)
                    continue;
                count += n;
                const int c[3] = {r, g, b};
                for (int k = 0; k < 3; ++k) {
                    lo[k] = std::min(lo[k], c[k]);
                    hi[k] = std::max(hi[k], c[k]);
                }
            }
    box.count = count;
    if (count)
        for (int k = 0; k < 3; ++k) {
            box.lo[k] = lo[k];
            box.hi[k] = hi[k];
        }
}

} // namespace

std::vector<QRgb> buildPalette(const QImage& image, int maxColours) {
    maxColours = std::clamp(maxColours, 1, 256);
    if (image.isNull())
        return {qRgb(0, 0, 0)};
    if (auto exact = fewColours(image, maxColours); !exact.empty())
        return exact;
    // Histogram with per-bin colour sums for exact box means.
    std::vector<std::uint32_t> hist(kBins * kBins * kBins, 0);
    std::vector<std::array<std::uint64_t, 3>> sums(hist.size(), {0, 0, 0});
    for (int y = 0; y < image.height(); ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = row[x];
            const int i = bin(qRed(c) >> 3, qGreen(c) >> 3, qBlue(c) >> 3);
            ++hist[i];
            sums[i][0] += qRed(c);
            sums[i][1] += qGreen(c);
            sums[i][2] += qBlue(c);
        }
    }
    std::vector<Box> boxes(1);
    boxes[0] = Box{{0, 0, 0}, {kBins - 1, kBins - 1, kBins - 1}, 0};
    shrink(boxes[0], hist);
    while (static_cast<int>(boxes.size()) < maxColours) {
        // Split the box with the largest population × longest side.
        int pick = -1;
        double best = 0;
        for (std::size_t i = 0; i < boxes.size(); ++i) {
            const Box& b = boxes[i];
            const int side = std::max({b.hi[0] - b.lo[0], b.hi[1] - b.lo[1], b.hi[2] - b.lo[2]});
            const double score = static_cast<double>(b.count) * side;
            if (side > 0 && score > best) {
                best = score;
                pick = static_cast<int>(i);
            }
        }
        if (pick < 0)
            break;
        Box& b = boxes[pick];
        int axis = 0;
        for (int k = 1; k < 3; ++k)
            if (b.hi[k] - b.lo[k] > b.hi[axis] - b.lo[axis])
                axis = k;
        // Median along that axis.
        std::vector<std::uint64_t> slice(kBins, 0);
        for (int r = b.lo[0]; r <= b.hi[0]; ++r)
            for (int g = b.lo[1]; g <= b.hi[1]; ++g)
                for (int bl = b.lo[2]; bl <= b.hi[2]; ++bl) {
                    const int c[3] = {r, g, bl};
                    slice[c[axis]] += hist[bin(r, g, bl)];
                }
        std::uint64_t acc = 0;
        int cut = b.lo[axis];
        for (int v = b.lo[axis]; v < b.hi[axis]; ++v) {
            acc += slice[v];
            cut = v;
            if (acc * 2 >= b.count)
                break;
        }
        Box upper = b;
        b.hi[axis] = cut;
        upper.lo[axis] = cut + 1;
        shrink(b, hist);
        shrink(upper, hist);
        boxes.push_back(upper);
    }
    std::vector<QRgb> palette;
    for (const Box& b : boxes) {
        std::uint64_t n = 0, s[3] = {0, 0, 0};
        for (int r = b.lo[0]; r <= b.hi[0]; ++r)
            for (int g = b.lo[1]; g <= b.hi[1]; ++g)
                for (int bl = b.lo[2]; bl <= b.hi[2]; ++bl) {
                    const int i = bin(r, g, bl);
                    n += hist[i];
                    for (int k = 0; k < 3; ++k)
                        s[k] += sums[i][k];
                }
        if (n)
            palette.push_back(qRgb(static_cast<int>((s[0] + n / 2) / n),
                                   static_cast<int>((s[1] + n / 2) / n),
                                   static_cast<int>((s[2] + n / 2) / n)));
    }
    if (palette.empty())
        palette.push_back(qRgb(0, 0, 0));
    return palette;
}

namespace {

// Nearest palette entry, cached per 6-bit-per-channel cell.
class NearestColour {
public:
    explicit NearestColour(const std::vector<QRgb>& palette)
        : palette_(palette), cache_(64 * 64 * 64, -1) {}
    int operator()(int r, int g, int b) {
        const int key = ((r >> 2) << 12) | ((g >> 2) << 6) | (b >> 2);
        int& slot = cache_[key];
        if (slot < 0) {
            long best = -1;
            for (std::size_t i = 0; i < palette_.size(); ++i) {
                const long dr = r - qRed(palette_[i]), dg = g - qGreen(palette_[i]),
                           db = b - qBlue(palette_[i]);
                const long d = dr * dr + dg * dg + db * db;
                if (best < 0 || d < best) {
                    best = d;
                    slot = static_cast<int>(i);
                }
            }
        }
        return slot;
    }

private:
    const std::vector<QRgb>& palette_;
    std::vector<int> cache_;
};

} // namespace

Palettized reduceTo8Bits(const QImage& source, int maxColours) {
    Palettized out;
    if (source.isNull())
        return out;
    const QImage image = source.format() == QImage::Format_RGB32
                             ? source
                             : source.convertToFormat(QImage::Format_RGB32);
    const int w = image.width(), h = image.height();
    out.width = w;
    out.height = h;
    out.palette = buildPalette(image, maxColours);
    out.indexes.resize(static_cast<std::size_t>(w) * h);
    std::unordered_map<QRgb, int> exact;
    for (std::size_t i = 0; i < out.palette.size(); ++i)
        exact.emplace(out.palette[i], static_cast<int>(i));
    NearestColour nearest(out.palette);
    // Error rows in 1/16 units, with one guard cell on each side.
    std::vector<int> cur(static_cast<std::size_t>(w + 2) * 3, 0), next(cur.size(), 0);
    for (int y = 0; y < h; ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        std::fill(next.begin(), next.end(), 0);
        const bool leftToRight = (y % 2) == 0;
        for (int step = 0; step < w; ++step) {
            const int x = leftToRight ? step : w - 1 - step;
            const int dir = leftToRight ? 1 : -1;
            const QRgb c = row[x] | 0xff000000u;
            int* e = &cur[static_cast<std::size_t>(x + 1) * 3];
            int index;
            int want[3];
            auto found = exact.find(c);
            if (found != exact.end() && e[0] == 0 && e[1] == 0 && e[2] == 0) {
                index = found->second;
                want[0] = qRed(c);
                want[1] = qGreen(c);
                want[2] = qBlue(c);
            } else {
                want[0] = std::clamp(qRed(c) + e[0] / 16, 0, 255);
                want[1] = std::clamp(qGreen(c) + e[1] / 16, 0, 255);
                want[2] = std::clamp(qBlue(c) + e[2] / 16, 0, 255);
                index = nearest(want[0], want[1], want[2]);
            }
            out.indexes[static_cast<std::size_t>(y) * w + x] = static_cast<std::uint8_t>(index);
            const QRgb p = out.palette[index];
            const int err[3] = {want[0] - qRed(p), want[1] - qGreen(p), want[2] - qBlue(p)};
            for (int k = 0; k < 3; ++k) {
                cur[static_cast<std::size_t>(x + 1 + dir) * 3 + k] += err[k] * 7;
                next[static_cast<std::size_t>(x + 1 - dir) * 3 + k] += err[k] * 3;
                next[static_cast<std::size_t>(x + 1) * 3 + k] += err[k] * 5;
                next[static_cast<std::size_t>(x + 1 + dir) * 3 + k] += err[k] * 1;
            }
        }
        std::swap(cur, next);
    }
    return out;
}

} // namespace skyloom::graphics
