#pragma once
// A picture as palette indices, rows top-down. Index kBackground marks pixels that are not part of the figure.
#include <cstdint>
#include <vector>

struct IndexedImage {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> pixels;

    IndexedImage() = default;
    IndexedImage(int w, int h, uint8_t fill) : width(w), height(h), pixels(size_t(w) * size_t(h), fill) {}

    uint8_t at(int x, int y) const { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
    uint8_t& at(int x, int y) { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
    bool inside(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
};
