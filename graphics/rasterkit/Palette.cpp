// The palette in use on palettized displays, RemapBMP and the preview flag.

#include "common/Log.h"
#include "graphics/io/BmpCodec.h"
#include "graphics/io/FileIO.h"
#include "graphics/rasterkit/HandleTable.h"
#include "graphics/rasterkit/Rasterkit.h"

#include <atomic>
#include <mutex>
#include <unordered_map>
#include <vector>

namespace skyloom::rasterkit {
namespace {

std::vector<QRgb> halftonePalette() {
    std::vector<QRgb> p;
    static const int vga[16][3] = {{0, 0, 0},       {128, 0, 0},   {0, 128, 0},   {128, 128, 0},
                                   {0, 0, 128},     {128, 0, 128}, {0, 128, 128}, {192, 192, 192},
                                   {128, 128, 128}, {255, 0, 0},   {0, 255, 0},   {255, 255, 0},
                                   {0, 0, 255},     {255, 0, 255}, {0, 255, 255}, {255, 255, 255}};
    for (const auto& c : vga)
        p.push_back(qRgb(c[0], c[1], c[2]));
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
            for (int b = 0; b < 6; ++b)
                p.push_back(qRgb(r * 51, g * 51, b * 51));
    // Grey steps between the cube's greys.
    for (int i = 0; p.size() < 256; ++i) {
        const int v = 8 + i * 10;
        if (v % 51 != 0)
            p.push_back(qRgb(v, v, v));
    }
    return p;
}

struct PaletteState {
    std::mutex mutex;
    std::vector<QRgb> colours = halftonePalette();
};

PaletteState& state() {
    static PaletteState s;
    return s;
}

std::atomic<bool> dispPropUp{false};

int nearest(const std::vector<QRgb>& palette, QRgb c) {
    int best = 0;
    long bestDistance = -1;
    for (std::size_t i = 0; i < palette.size(); ++i) {
        const long dr = qRed(c) - qRed(palette[i]);
        const long dg = qGreen(c) - qGreen(palette[i]);
        const long db = qBlue(c) - qBlue(palette[i]);
        // Weighted for the eye's greater sensitivity to green.
        const long d = 3 * dr * dr + 4 * dg * dg + 2 * db * db;
        if (bestDistance < 0 || d < bestDistance) {
            bestDistance = d;
            best = static_cast<int>(i);
        }
    }
    return best;
}

} // namespace

std::vector<QRgb> paletteInUse() {
    std::lock_guard lock(state().mutex);
    return state().colours;
}

void setPaletteInUse(std::span<const QRgb> palette) {
    if (palette.empty() || palette.size() > 256)
        return;
    std::lock_guard lock(state().mutex);
    state().colours.assign(palette.begin(), palette.end());
}

int RemapBMP(const std::string& source, const std::string& destination) {
    QImage image;
    graphics::BmpInfo info;
    std::string error;
    {
        graphics::FileBytes file(source);
        if (!file.ok())
            return detail::failure(file.error());
        if (!graphics::decodeBmp(file.bytes(), image, error, {}, &info))
            return detail::failure(source + ": " + error);
    }
    if (info.bitsPerPixel > 8)
        return detail::failure(source + ": not a palettized BMP");
    std::vector<QRgb> palette;
    {
        std::lock_guard lock(state().mutex);
        palette = state().colours;
    }
    // A palettized file has at most 256 colours: map each once.
    std::unordered_map<QRgb, std::uint8_t> mapping;
    std::vector<std::uint8_t> indexes(static_cast<std::size_t>(image.width()) * image.height());
    std::size_t i = 0;
    for (int y = 0; y < image.height(); ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x, ++i) {
            auto [it, fresh] = mapping.try_emplace(row[x], 0);
            if (fresh)
                it->second = static_cast<std::uint8_t>(nearest(palette, row[x]));
            indexes[i] = it->second;
        }
    }
    if (!graphics::writeBmp8(destination, image.width(), image.height(), indexes, palette, error)) {
        logWarning("graphics", error);
        return detail::failure(error);
    }
    detail::succeeded();
    return 0;
}

int DispPropUp() {
    return dispPropUp ? 1 : 0;
}
void setDispPropUp(bool up) {
    dispPropUp = up;
}

} // namespace skyloom::rasterkit
