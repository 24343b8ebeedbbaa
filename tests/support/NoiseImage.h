#pragma once
// A picture of random pixels, the same for the same seed: every pixel
// differs from its neighbours, so a copy from the wrong place shows.

#include <QImage>

#include <random>

namespace skyloom::test {

inline QImage noise(int w, int h, unsigned seed) {
    QImage image(w, h, QImage::Format_RGB32);
    std::mt19937 random(seed);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, 0xff000000u | (random() & 0xffffffu));
    return image;
}

} // namespace skyloom::test
