#include "icon_file.h"

#include "bitmap_file.h"
#include "palette.h"

namespace {

constexpr uint32_t kDirectorySize = 6 + 16;
constexpr uint32_t kInfoHeaderSize = 40;
constexpr uint32_t kColourRowBytes = kIconSize / 2;   // 4 bits per pixel, already a multiple of 4
constexpr uint32_t kMaskRowBytes = kIconSize / 8;     // 1 bit per pixel, already a multiple of 4
constexpr uint32_t kImageBytes = kInfoHeaderSize + 4 * kPaletteSize + (kColourRowBytes + kMaskRowBytes) * kIconSize;

} // namespace

std::vector<uint8_t> iconFile(const IndexedImage& image)
{
    std::vector<uint8_t> out;
    putU16(&out, 0);
    putU16(&out, 1); // icon
    putU16(&out, 1); // one image
    out.push_back(kIconSize);
    out.push_back(kIconSize);
    out.push_back(kPaletteSize);
    out.push_back(0);
    putU16(&out, 1);
    putU16(&out, 4);
    putU32(&out, kImageBytes);
    putU32(&out, kDirectorySize);

    putU32(&out, kInfoHeaderSize);
    putU32(&out, kIconSize);
    putU32(&out, kIconSize * 2); // colour bits and mask together
    putU16(&out, 1);
    putU16(&out, 4);
    putU32(&out, 0); // BI_RGB
    putU32(&out, (kColourRowBytes + kMaskRowBytes) * kIconSize);
    putU32(&out, 0);
    putU32(&out, 0);
    putU32(&out, kPaletteSize);
    putU32(&out, 0);
    for (int i = 0; i < kPaletteSize; i++) {
        bool transparentEntry = i == kBackground;
        out.push_back(transparentEntry ? 0 : kPalette[i].blue);
        out.push_back(transparentEntry ? 0 : kPalette[i].green);
        out.push_back(transparentEntry ? 0 : kPalette[i].red);
        out.push_back(0);
    }
    for (int y = kIconSize - 1; y >= 0; y--)
        for (int x = 0; x < kIconSize; x += 2)
            out.push_back(uint8_t(image.at(x, y) << 4 | image.at(x + 1, y)));
    for (int y = kIconSize - 1; y >= 0; y--)
        for (int x = 0; x < kIconSize; x += 8) {
            uint8_t bits = 0;
            for (int i = 0; i < 8; i++)
                if (image.at(x + i, y) == kBackground)
                    bits |= uint8_t(0x80 >> i);
            out.push_back(bits);
        }
    return out;
}

bool readIconFile(const std::vector<uint8_t>& file, IndexedImage* colours, std::vector<bool>* transparent,
                  std::string* error)
{
    if (file.size() != kDirectorySize + kImageBytes || getU16(file, 0) != 0 || getU16(file, 2) != 1 ||
        getU16(file, 4) != 1) {
        *error = "not an .ico file with exactly one image";
        return false;
    }
    if (file[6] != kIconSize || file[7] != kIconSize || file[8] != kPaletteSize || getU16(file, 12) != 4 ||
        getU32(file, 14) != kImageBytes || getU32(file, 18) != kDirectorySize) {
        *error = "directory entry is not 32 x 32 in 16 colours";
        return false;
    }
    size_t header = kDirectorySize;
    if (getU32(file, header) != kInfoHeaderSize || getU32(file, header + 4) != kIconSize ||
        getU32(file, header + 8) != kIconSize * 2 || getU16(file, header + 14) != 4 || getU32(file, header + 16) != 0) {
        *error = "image header is not an uncompressed 4-bit 32 x 64 DIB";
        return false;
    }
    size_t bits = header + kInfoHeaderSize + 4 * kPaletteSize;
    size_t mask = bits + kColourRowBytes * kIconSize;
    IndexedImage image(kIconSize, kIconSize, kBackground);
    transparent->assign(size_t(kIconSize) * kIconSize, false);
    for (int y = 0; y < kIconSize; y++)
        for (int x = 0; x < kIconSize; x++) {
            int row = kIconSize - 1 - y;
            uint8_t pair = file[bits + size_t(row) * kColourRowBytes + size_t(x / 2)];
            image.at(x, y) = x % 2 ? pair & 0x0f : pair >> 4;
            uint8_t maskByte = file[mask + size_t(row) * kMaskRowBytes + size_t(x / 8)];
            (*transparent)[size_t(y) * kIconSize + size_t(x)] = (maskByte & (0x80 >> (x % 8))) != 0;
        }
    *colours = std::move(image);
    return true;
}
