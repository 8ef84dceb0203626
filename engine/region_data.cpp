#include "engine/region_data.h"

namespace {

uint32_t readLe32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
           (static_cast<uint32_t>(p[3]) << 24);
}

} // namespace

bool regionDataFits(const uint8_t* data, size_t size) {
    if (!data || size < kRegionHeaderBytes)
        return false;
    uint32_t headerSize = readLe32(data);
    uint32_t count = readLe32(data + 8);
    if (headerSize < kRegionHeaderBytes || headerSize > size)
        return false;
    // Divided, not multiplied: a huge count must not wrap round to a small byte size.
    return count <= (size - headerSize) / kRegionRectBytes;
}

bool regionResourceFits(const uint8_t* bytes, size_t size, uint32_t* dataSize) {
    if (!bytes || size < 4)
        return false;
    uint32_t count = readLe32(bytes);
    if (count > size - 4 || !regionDataFits(bytes + 4, count))
        return false;
    if (dataSize)
        *dataSize = count;
    return true;
}
