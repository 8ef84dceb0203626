#include "gif_writer.h"

#include <unordered_map>

namespace {

constexpr int kMaxCodeSize = 12;
constexpr int kCodeLimit = 1 << kMaxCodeSize;

// Codes go out least significant bit first, packed across byte boundaries.
class BitPacker {
public:
    explicit BitPacker(std::vector<uint8_t>& bytes) : bytes(bytes), pending(0), pendingBits(0) {}
    void put(int code, int size) {
        pending |= static_cast<uint32_t>(code) << pendingBits;
        pendingBits += size;
        while (pendingBits >= 8) {
            bytes.push_back(static_cast<uint8_t>(pending & 0xff));
            pending >>= 8;
            pendingBits -= 8;
        }
    }
    void flush() {
        if (pendingBits > 0)
            bytes.push_back(static_cast<uint8_t>(pending & 0xff));
        pending = 0;
        pendingBits = 0;
    }

private:
    std::vector<uint8_t>& bytes;
    uint32_t pending;
    int pendingBits;
};

} // namespace

std::vector<uint8_t> gifLzw(const uint8_t* indices, size_t count, int minCodeSize) {
    std::vector<uint8_t> bytes;
    BitPacker packer(bytes);
    const int clearCode = 1 << minCodeSize;
    const int endCode = clearCode + 1;
    int codeSize = minCodeSize + 1;
    int nextCode = endCode + 1;
    std::unordered_map<uint32_t, int> table; // (prefix code << 8 | index) -> code
    packer.put(clearCode, codeSize);
    if (count == 0) {
        packer.put(endCode, codeSize);
        packer.flush();
        return bytes;
    }
    int prefix = indices[0];
    for (size_t i = 1; i < count; ++i) {
        uint32_t key = static_cast<uint32_t>(prefix) << 8 | indices[i];
        auto known = table.find(key);
        if (known != table.end()) {
            prefix = known->second;
            continue;
        }
        packer.put(prefix, codeSize);
        if (nextCode < kCodeLimit) {
            table[key] = nextCode++;
            // The reader adds each entry one code later than we do: it widens its codes once it has added the
            // entry 1 << codeSize - 1, which is when we have added 1 << codeSize.
            if (nextCode - 1 == (1 << codeSize) && codeSize < kMaxCodeSize)
                ++codeSize;
        } else {
            packer.put(clearCode, codeSize);
            table.clear();
            codeSize = minCodeSize + 1;
            nextCode = endCode + 1;
        }
        prefix = indices[i];
    }
    packer.put(prefix, codeSize);
    packer.put(endCode, codeSize);
    packer.flush();
    return bytes;
}

bool GifWriter::open(const std::string& path, int w, int h, const std::vector<uint32_t>& palette,
                     int delayCentiseconds) {
    if (palette.empty() || palette.size() > 256 || w <= 0 || h <= 0)
        return false;
    out.open(path, std::ios::binary | std::ios::trunc);
    if (!out)
        return false;
    width = w;
    height = h;
    delay = delayCentiseconds;
    int tableBits = 1;
    while ((1u << tableBits) < palette.size())
        ++tableBits;
    minCodeSize = tableBits < 2 ? 2 : tableBits;
    previous.clear();

    out.write("GIF89a", 6);
    writeWord(width);
    writeWord(height);
    out.put(static_cast<char>(0x80 | 0x70 | (tableBits - 1))); // global table, 8 bits per primary
    out.put(0);                                                // background: entry 0
    out.put(0);
    for (size_t i = 0; i < (1u << tableBits); ++i) {
        uint32_t colour = i < palette.size() ? palette[i] : 0;
        out.put(static_cast<char>(colour >> 16 & 0xff));
        out.put(static_cast<char>(colour >> 8 & 0xff));
        out.put(static_cast<char>(colour & 0xff));
    }
    // Loop for ever.
    static const char kLoop[] = "\x21\xff\x0bNETSCAPE2.0\x03\x01\x00\x00\x00";
    out.write(kLoop, sizeof kLoop - 1);
    return static_cast<bool>(out);
}

void GifWriter::addFrame(const std::vector<uint8_t>& indices) {
    if (indices.size() != static_cast<size_t>(width) * height)
        return;
    int left = 0, top = 0, right = width, bottom = height;
    if (!previous.empty()) {
        // The box of the pixels that changed; an unchanged frame still needs one pixel to carry its delay.
        left = width;
        top = height;
        right = 0;
        bottom = 0;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                size_t at = static_cast<size_t>(y) * width + x;
                if (indices[at] == previous[at])
                    continue;
                left = x < left ? x : left;
                right = x + 1 > right ? x + 1 : right;
                top = y < top ? y : top;
                bottom = y + 1;
            }
        }
        if (right <= left) {
            left = 0;
            top = 0;
            right = 1;
            bottom = 1;
        }
    }
    writeImage(left, top, right - left, bottom - top, indices);
    previous = indices;
}

void GifWriter::writeImage(int left, int top, int w, int h, const std::vector<uint8_t>& indices) {
    // Graphic control: drawn over what was there (the earlier frames stay outside the box), then the delay.
    out.put(0x21);
    out.put(static_cast<char>(0xf9));
    out.put(4);
    out.put(1 << 2);
    writeWord(delay);
    out.put(0);
    out.put(0);

    out.put(0x2c);
    writeWord(left);
    writeWord(top);
    writeWord(w);
    writeWord(h);
    out.put(0);

    std::vector<uint8_t> box;
    box.reserve(static_cast<size_t>(w) * h);
    for (int y = top; y < top + h; ++y) {
        const uint8_t* row = indices.data() + static_cast<size_t>(y) * width;
        box.insert(box.end(), row + left, row + left + w);
    }
    std::vector<uint8_t> data = gifLzw(box.data(), box.size(), minCodeSize);
    out.put(static_cast<char>(minCodeSize));
    for (size_t at = 0; at < data.size(); at += 255) {
        size_t length = data.size() - at < 255 ? data.size() - at : 255;
        out.put(static_cast<char>(length));
        out.write(reinterpret_cast<const char*>(data.data() + at), static_cast<std::streamsize>(length));
    }
    out.put(0);
}

void GifWriter::writeWord(int value) {
    out.put(static_cast<char>(value & 0xff));
    out.put(static_cast<char>(value >> 8 & 0xff));
}

bool GifWriter::close() {
    if (!out.is_open())
        return false;
    out.put(0x3b);
    bool written = static_cast<bool>(out);
    out.close();
    return written;
}
