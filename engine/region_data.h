// Checks on outline bytes before the system sees them. Pure byte arithmetic, no system calls, so the same code
// runs in the program and in a native fuzzing build.
#pragma once

#include <cstddef>
#include <cstdint>

// Size of the RGNDATA header: dwSize, iType, nCount, nRgnSize and the bounding rectangle.
constexpr size_t kRegionHeaderBytes = 32;
constexpr size_t kRegionRectBytes = 16;

// True when `size` bytes of RGNDATA hold a whole header and every rectangle its count announces. The
// rectangles must fit both after the 32-byte header and after the header size the data claims, so that
// no reading of the record can run past `size`.
bool regionDataFits(const uint8_t* data, size_t size);

// An outline resource: a 32-bit little-endian byte count, then that many bytes of RGNDATA. True when the count
// lies inside the resource and the RGNDATA fits; `dataSize` then receives the count (it is left alone otherwise).
bool regionResourceFits(const uint8_t* bytes, size_t size, uint32_t* dataSize);
