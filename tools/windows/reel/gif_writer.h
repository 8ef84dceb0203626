// Animated GIF files for review pictures: one palette for the whole file, LZW-compressed frames, a fixed delay
// per frame, endless looping. Each frame stores only the box in which it differs from the one before.
#pragma once

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

// The LZW data of one GIF image (without the leading code-size byte and without sub-blocks): `indices` coded with
// `minCodeSize`-bit literals, starting with a clear code and ending with the end code.
std::vector<uint8_t> gifLzw(const uint8_t* indices, size_t count, int minCodeSize);

class GifWriter {
public:
    GifWriter() : width(0), height(0), delay(0), minCodeSize(2) {}
    GifWriter(const GifWriter&) = delete;
    GifWriter& operator=(const GifWriter&) = delete;

    // `palette` holds 0xRRGGBB colours (at most 256); entry 0 is also the background. False when the file does
    // not open or the palette is too large.
    bool open(const std::string& path, int width, int height, const std::vector<uint32_t>& palette,
              int delayCentiseconds);
    // width * height palette indices, row by row from the top.
    void addFrame(const std::vector<uint8_t>& indices);
    // Writes the trailer; true when every byte reached the file.
    bool close();

private:
    void writeWord(int value);
    void writeImage(int left, int top, int w, int h, const std::vector<uint8_t>& indices);

    std::ofstream out;
    int width;
    int height;
    int delay;
    int minCodeSize;
    std::vector<uint8_t> previous;
};
