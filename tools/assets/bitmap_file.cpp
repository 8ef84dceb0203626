#include "bitmap_file.h"

#include <cstdio>
#include <fstream>
#include <iterator>

#include "palette.h"

namespace {

constexpr uint32_t kFileHeaderSize = 14;
constexpr uint32_t kInfoHeaderSize = 40;
constexpr uint32_t kPaletteBytes = 4 * kPaletteSize;
constexpr uint32_t kBiRle4 = 2;
constexpr int kMaxRun = 255;
// Absolute mode needs at least 3 pixels: counts 0, 1 and 2 after a zero byte are the escapes.
constexpr int kMinAbsolute = 3;

int sameColourRun(const IndexedImage& image, int x, int y)
{
    int end = x + 1;
    while (end < image.width && end - x < kMaxRun && image.at(end, y) == image.at(x, y))
        end++;
    return end - x;
}

void encodeRow(const IndexedImage& image, int y, std::vector<uint8_t>* out)
{
    int x = 0;
    while (x < image.width) {
        int run = sameColourRun(image, x, y);
        if (run >= kMinAbsolute) {
            uint8_t c = image.at(x, y);
            out->push_back(uint8_t(run));
            out->push_back(uint8_t(c << 4 | c));
            x += run;
            continue;
        }
        // Gather mixed pixels up to the next run long enough to encode on its own.
        int end = x;
        while (end < image.width && end - x < kMaxRun && sameColourRun(image, end, y) < kMinAbsolute)
            end++;
        int count = end - x;
        if (count < kMinAbsolute) {
            // One or two pixels: an encoded run alternates the two nibbles of its colour byte.
            uint8_t first = image.at(x, y);
            uint8_t second = count == 2 ? image.at(x + 1, y) : 0;
            out->push_back(uint8_t(count));
            out->push_back(uint8_t(first << 4 | second));
        } else {
            out->push_back(0);
            out->push_back(uint8_t(count));
            size_t bytes = 0;
            for (int i = 0; i < count; i += 2) {
                uint8_t high = image.at(x + i, y);
                uint8_t low = i + 1 < count ? image.at(x + i + 1, y) : 0;
                out->push_back(uint8_t(high << 4 | low));
                bytes++;
            }
            if (bytes % 2)
                out->push_back(0);
        }
        x = end;
    }
}

} // namespace

void putU16(std::vector<uint8_t>* out, uint32_t value)
{
    out->push_back(uint8_t(value));
    out->push_back(uint8_t(value >> 8));
}

void putU32(std::vector<uint8_t>* out, uint32_t value)
{
    putU16(out, value & 0xffff);
    putU16(out, value >> 16);
}

uint16_t getU16(const std::vector<uint8_t>& data, size_t offset)
{
    return uint16_t(data[offset] | data[offset + 1] << 8);
}

uint32_t getU32(const std::vector<uint8_t>& data, size_t offset)
{
    return uint32_t(getU16(data, offset)) | uint32_t(getU16(data, offset + 2)) << 16;
}

bool readFile(const std::string& path, std::vector<uint8_t>* data)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    data->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

bool writeFile(const std::string& path, const std::vector<uint8_t>& data)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data.data()), std::streamsize(data.size()));
    return bool(out);
}

std::vector<uint8_t> encodeRle4(const IndexedImage& image)
{
    std::vector<uint8_t> out;
    for (int y = image.height - 1; y >= 0; y--) {
        encodeRow(image, y, &out);
        out.push_back(0);
        out.push_back(y == 0 ? 1 : 0);
    }
    return out;
}

bool decodeRle4(const std::vector<uint8_t>& data, int width, int height, IndexedImage* out, std::string* error)
{
    IndexedImage image(width, height, kBackground);
    size_t pos = 0;
    int row = 0; // counted from the bottom
    int x = 0;
    auto fail = [&](const char* what) {
        char text[160];
        std::snprintf(text, sizeof text, "RLE4 data at byte %zu (row %d from the bottom, x %d): %s", pos, row, x, what);
        *error = text;
        return false;
    };
    auto put = [&](uint8_t index) {
        if (x >= width || row >= height)
            return false;
        image.at(x, height - 1 - row) = index;
        x++;
        return true;
    };
    for (;;) {
        if (pos + 2 > data.size())
            return fail("data ends without the end-of-bitmap escape");
        uint8_t count = data[pos];
        uint8_t value = data[pos + 1];
        if (count > 0) {
            for (int i = 0; i < count; i++)
                if (!put(i % 2 ? value & 0x0f : value >> 4))
                    return fail("encoded run goes past the row");
            pos += 2;
            continue;
        }
        if (value == 0 || value == 1) {
            if (row >= height || x != width)
                return fail("row is not complete at its end-of-line");
            pos += 2;
            row++;
            x = 0;
            if (value == 1) {
                if (row != height)
                    return fail("end of bitmap before the last row");
                if (pos != data.size())
                    return fail("bytes follow the end-of-bitmap escape");
                break;
            }
            continue;
        }
        if (value == 2)
            return fail("delta escape leaves pixels undefined");
        size_t bytes = (size_t(value) + 1) / 2;
        size_t padded = bytes + bytes % 2;
        if (pos + 2 + padded > data.size())
            return fail("absolute run goes past the data");
        for (int i = 0; i < value; i++) {
            uint8_t pair = data[pos + 2 + size_t(i / 2)];
            if (!put(i % 2 ? pair & 0x0f : pair >> 4))
                return fail("absolute run goes past the row");
        }
        pos += 2 + padded;
    }
    *out = std::move(image);
    return true;
}

std::vector<uint8_t> bitmapFile(const IndexedImage& image)
{
    std::vector<uint8_t> rle = encodeRle4(image);
    uint32_t offset = kFileHeaderSize + kInfoHeaderSize + kPaletteBytes;
    std::vector<uint8_t> file;
    file.push_back('B');
    file.push_back('M');
    putU32(&file, offset + uint32_t(rle.size()));
    putU32(&file, 0);
    putU32(&file, offset);
    putU32(&file, kInfoHeaderSize);
    putU32(&file, uint32_t(image.width));
    putU32(&file, uint32_t(image.height)); // positive: bottom-up
    putU16(&file, 1);
    putU16(&file, 4);
    putU32(&file, kBiRle4);
    putU32(&file, uint32_t(rle.size()));
    putU32(&file, 0);
    putU32(&file, 0);
    putU32(&file, kPaletteSize);
    putU32(&file, 0);
    for (const PaletteColour& colour : kPalette) {
        file.push_back(colour.blue);
        file.push_back(colour.green);
        file.push_back(colour.red);
        file.push_back(0);
    }
    file.insert(file.end(), rle.begin(), rle.end());
    return file;
}

bool readBitmapFile(const std::vector<uint8_t>& file, IndexedImage* out, uint8_t palette[16][3], std::string* error)
{
    uint32_t headerEnd = kFileHeaderSize + kInfoHeaderSize;
    if (file.size() < headerEnd + kPaletteBytes || file[0] != 'B' || file[1] != 'M') {
        *error = "not a BMP file";
        return false;
    }
    int32_t width = int32_t(getU32(file, 18));
    int32_t height = int32_t(getU32(file, 22));
    uint32_t offset = getU32(file, 10);
    uint32_t dataSize = getU32(file, 34);
    uint32_t coloursUsed = getU32(file, 46);
    if (getU32(file, 14) != kInfoHeaderSize || getU16(file, 26) != 1 || getU16(file, 28) != 4 ||
        getU32(file, 30) != kBiRle4) {
        *error = "not a 4-bit BI_RLE4 bitmap with a BITMAPINFOHEADER";
        return false;
    }
    if (width <= 0 || height <= 0 || width > 4096 || height > 4096) {
        *error = "not a bottom-up bitmap of a sane size";
        return false;
    }
    if ((coloursUsed != 0 && coloursUsed != kPaletteSize) || offset != headerEnd + kPaletteBytes ||
        getU32(file, 2) != file.size() || size_t(offset) + dataSize != file.size()) {
        *error = "header sizes and offsets do not match the file";
        return false;
    }
    for (int i = 0; i < kPaletteSize; i++) {
        palette[i][0] = file[headerEnd + 4 * i + 2];
        palette[i][1] = file[headerEnd + 4 * i + 1];
        palette[i][2] = file[headerEnd + 4 * i];
    }
    std::vector<uint8_t> rle(file.begin() + offset, file.end());
    return decodeRle4(rle, width, height, out, error);
}
