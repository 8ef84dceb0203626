// libFuzzer target for the outline checks: any bytes as a whole resource, and the same bytes as bare RGNDATA.
// Every rectangle of accepted data is read, so the address sanitizer catches a count that runs past the image.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "engine/region_data.h"

namespace {

void check(bool condition) {
    if (!condition) std::abort();
}

uint32_t le32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
           (static_cast<uint32_t>(p[3]) << 24);
}

// Reads the rectangles the way the system may: from just after the 32-byte header, and from the claimed header
// size on. Returns a sum so the reads cannot be optimised away.
uint32_t touchRectangles(const uint8_t* data) {
    uint32_t count = le32(data + 8);
    uint32_t sum = 0;
    const size_t starts[2] = {kRegionHeaderBytes, le32(data)};
    for (size_t start : starts)
        for (uint32_t i = 0; i < count; ++i)
            for (size_t field = 0; field < kRegionRectBytes; field += 4)
                sum += le32(data + start + i * kRegionRectBytes + field);
    return sum;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    // Copied so that the data ends exactly at `size`: the sanitizer then sees any read past it.
    uint8_t* copy = static_cast<uint8_t*>(std::malloc(size ? size : 1));
    if (size) std::memcpy(copy, bytes, size);
    volatile uint32_t sink = 0;

    uint32_t dataSize = 0xdeadbeef;
    if (regionResourceFits(copy, size, &dataSize)) {
        check(size >= 4 + kRegionHeaderBytes && dataSize == le32(copy) && dataSize <= size - 4);
        check(regionDataFits(copy + 4, dataSize));
        sink = sink + touchRectangles(copy + 4);
    } else {
        check(dataSize == 0xdeadbeef);
    }

    if (regionDataFits(copy, size)) {
        uint32_t headerSize = le32(copy);
        check(size >= kRegionHeaderBytes && headerSize >= kRegionHeaderBytes && headerSize <= size);
        check(static_cast<uint64_t>(le32(copy + 8)) * kRegionRectBytes + headerSize <= size);
        sink = sink + touchRectangles(copy);
    }
    std::free(copy);
    return 0;
}
