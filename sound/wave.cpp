#include "sound/wave.h"

#include <cstring>

namespace {

uint32_t readLe32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
           (static_cast<uint32_t>(p[3]) << 24);
}

bool walkChunks(const uint8_t* image, size_t size, const uint8_t** format, const uint8_t** data, uint32_t* dataSize) {
    if (!image || size < 12 || std::memcmp(image, "RIFF", 4) != 0 || std::memcmp(image + 8, "WAVE", 4) != 0)
        return false;
    // 64-bit offsets: a RIFF length or chunk size near 4 GiB must not wrap around.
    const uint64_t end = 8 + static_cast<uint64_t>(readLe32(image + 4));
    uint64_t at = 12;
    while (at < end) {
        if (at + 8 > size)
            return false;
        const uint8_t* header = image + at;
        const uint32_t chunkSize = readLe32(header + 4);
        const uint64_t body = at + 8;
        if (body + chunkSize > size)
            return false;
        if (std::memcmp(header, "fmt ", 4) == 0 && format && !*format) {
            if (chunkSize < 14)
                return false;
            *format = image + body;
            if ((!data || *data) && (!dataSize || *dataSize))
                return true;
        } else if (std::memcmp(header, "data", 4) == 0 && ((data && !*data) || (dataSize && !*dataSize))) {
            if (data)
                *data = image + body;
            if (dataSize)
                *dataSize = chunkSize;
            if (!format || *format)
                return true;
        }
        // Chunks are word-aligned: an odd-sized body is followed by one pad byte.
        at = body + chunkSize + (chunkSize & 1);
    }
    return false;
}

} // namespace

bool parseWave(const void* bytes, size_t size, const uint8_t** format, const uint8_t** data, uint32_t* dataSize) {
    if (format)
        *format = nullptr;
    if (data)
        *data = nullptr;
    if (dataSize)
        *dataSize = 0;
    if (walkChunks(static_cast<const uint8_t*>(bytes), size, format, data, dataSize))
        return true;
    // A rejected image leaves no half-found results behind.
    if (format)
        *format = nullptr;
    if (data)
        *data = nullptr;
    if (dataSize)
        *dataSize = 0;
    return false;
}
