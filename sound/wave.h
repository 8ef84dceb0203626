// Finding the format and the samples inside a RIFF/WAVE image. No Windows calls, so that it
// also builds natively (the fuzz target).
#pragma once

#include <cstddef>
#include <cstdint>

// Walks the chunks of the `size` bytes at `bytes`. On success `format` points at the "fmt "
// chunk body (at least 14 bytes long), `data` at the "data" chunk body and `dataSize` is its
// length; each output may be null when the caller does not want it. Every output present is
// cleared first. A missing "RIFF"/"WAVE" header, a short "fmt ", no "data", or a chunk whose
// header or body runs past `size` gives false.
bool parseWave(const void* bytes, size_t size, const uint8_t** format, const uint8_t** data, uint32_t* dataSize);
