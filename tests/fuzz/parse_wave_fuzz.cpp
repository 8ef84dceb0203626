// libFuzzer target for parseWave: any bytes at all, every combination of wanted outputs.
// Address sanitizer catches a read past the image; the checks below catch a wrong answer.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "sound/wave.h"

namespace {

void check(bool condition) {
    if (!condition) std::abort();
}

uint32_t le32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
           (static_cast<uint32_t>(p[3]) << 24);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    const uint8_t* end = bytes + size;
    for (int wanted = 0; wanted < 8; ++wanted) {
        const uint8_t* format = reinterpret_cast<const uint8_t*>(1);
        const uint8_t* data = reinterpret_cast<const uint8_t*>(1);
        uint32_t dataSize = 7;
        bool ok = parseWave(bytes, size, (wanted & 1) ? &format : nullptr, (wanted & 2) ? &data : nullptr,
                            (wanted & 4) ? &dataSize : nullptr);
        if (!ok) {
            // A rejected image leaves every wanted output cleared.
            check(!(wanted & 1) || format == nullptr);
            check(!(wanted & 2) || data == nullptr);
            check(!(wanted & 4) || dataSize == 0);
            continue;
        }
        check(size >= 12 && std::memcmp(bytes, "RIFF", 4) == 0 && std::memcmp(bytes + 8, "WAVE", 4) == 0);
        if (wanted & 1) {
            // The format is a whole "fmt " body of at least 14 bytes inside the image.
            check(format >= bytes + 20 && format <= end);
            check(std::memcmp(format - 8, "fmt ", 4) == 0);
            uint32_t formatSize = le32(format - 4);
            check(formatSize >= 14 && formatSize <= static_cast<size_t>(end - format));
        }
        if (wanted & 2) {
            check(data >= bytes + 20 && data <= end);
            check(std::memcmp(data - 8, "data", 4) == 0);
            check(le32(data - 4) <= static_cast<size_t>(end - data));
            if (wanted & 4) check(le32(data - 4) == dataSize);
        }
        if (wanted & 4) check((wanted & 2) || dataSize <= size);
    }
    return 0;
}
