#include "wave_file.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

namespace snd {

namespace {

void put16(std::vector<unsigned char>& b, unsigned v) {
    b.push_back(static_cast<unsigned char>(v & 0xFF));
    b.push_back(static_cast<unsigned char>((v >> 8) & 0xFF));
}

void put32(std::vector<unsigned char>& b, unsigned long v) {
    put16(b, static_cast<unsigned>(v & 0xFFFF));
    put16(b, static_cast<unsigned>((v >> 16) & 0xFFFF));
}

void putId(std::vector<unsigned char>& b, const char* id) { b.insert(b.end(), id, id + 4); }

unsigned get16(const unsigned char* p) { return p[0] | (p[1] << 8); }

unsigned long get32(const unsigned char* p) {
    return get16(p) | (static_cast<unsigned long>(get16(p + 2)) << 16);
}

// One INFO sub-chunk; the text keeps its terminating zero and is padded to an even size.
void putInfo(std::vector<unsigned char>& b, const char* id, const std::string& text) {
    putId(b, id);
    put32(b, text.size() + 1);
    b.insert(b.end(), text.begin(), text.end());
    b.push_back(0);
    if ((text.size() + 1) % 2) b.push_back(0);
}

}  // namespace

bool writeWave(const std::string& path, const Signal& s, int rate, int bits, const std::string& title) {
    Random dither(0x51A7E0ull + static_cast<uint64_t>(rate) * 31 + static_cast<uint64_t>(bits));
    std::vector<unsigned char> data;
    const double full = bits == 8 ? 127.0 : 32767.0;
    for (double x : s) {
        // Triangular dither keeps quiet tails a soft hiss instead of a buzz; below half a step there is
        // nothing left to dither, and silence stays silent instead of hissing at 8 bits.
        double scaled = x * full;
        double d = dither.uniform() - dither.uniform();
        long v = std::lround(std::fabs(scaled) < 0.5 ? scaled : scaled + d);
        if (v > static_cast<long>(full)) v = static_cast<long>(full);
        if (v < -static_cast<long>(full)) v = -static_cast<long>(full);
        if (bits == 8) data.push_back(static_cast<unsigned char>(v + 128));
        else put16(data, static_cast<unsigned>(v) & 0xFFFF);
    }
    std::vector<unsigned char> info;
    putId(info, "INFO");
    putInfo(info, "INAM", title);
    putInfo(info, "ISFT", "mibo-sounds");

    std::vector<unsigned char> f;
    putId(f, "RIFF");
    put32(f, 0);  // patched below
    putId(f, "WAVE");
    putId(f, "fmt ");
    put32(f, 16);
    put16(f, 1);                                  // PCM
    put16(f, 1);                                  // mono
    put32(f, static_cast<unsigned long>(rate));
    put32(f, static_cast<unsigned long>(rate) * (bits / 8));
    put16(f, static_cast<unsigned>(bits / 8));    // block align
    put16(f, static_cast<unsigned>(bits));
    putId(f, "data");
    put32(f, data.size());
    f.insert(f.end(), data.begin(), data.end());
    if (data.size() % 2) f.push_back(0);
    putId(f, "LIST");
    put32(f, info.size());
    f.insert(f.end(), info.begin(), info.end());
    unsigned long riff = f.size() - 8;
    for (int i = 0; i < 4; ++i) f[4 + i] = static_cast<unsigned char>((riff >> (8 * i)) & 0xFF);

    FILE* out = std::fopen(path.c_str(), "wb");
    if (!out) return false;
    bool ok = std::fwrite(f.data(), 1, f.size(), out) == f.size();
    return std::fclose(out) == 0 && ok;
}

bool readWave(const std::string& path, Signal& s, int& rate) {
    FILE* in = std::fopen(path.c_str(), "rb");
    if (!in) return false;
    std::vector<unsigned char> b;
    unsigned char chunk[65536];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, in)) > 0) b.insert(b.end(), chunk, chunk + n);
    std::fclose(in);
    if (b.size() < 12 || std::memcmp(b.data(), "RIFF", 4) != 0 || std::memcmp(b.data() + 8, "WAVE", 4) != 0)
        return false;
    unsigned channels = 0, bits = 0;
    size_t at = 12;
    while (at + 8 <= b.size()) {
        unsigned long size = get32(&b[at + 4]);
        size_t body = at + 8;
        // espeak-ng writes a streaming header whose data size may be 0x7FFFFFFF: clamp to the file.
        size_t avail = b.size() - body;
        size_t len = size > avail ? avail : size;
        if (std::memcmp(&b[at], "fmt ", 4) == 0 && len >= 16) {
            if (get16(&b[body]) != 1) return false;
            channels = get16(&b[body + 2]);
            rate = static_cast<int>(get32(&b[body + 4]));
            bits = get16(&b[body + 14]);
        } else if (std::memcmp(&b[at], "data", 4) == 0 && channels > 0) {
            size_t frame = channels * (bits / 8);
            if (frame == 0 || (bits != 8 && bits != 16)) return false;
            s.clear();
            for (size_t i = 0; i + frame <= len; i += frame) {
                const unsigned char* p = &b[body + i];
                s.push_back(bits == 8 ? (p[0] - 128) / 128.0 : static_cast<short>(get16(p)) / 32768.0);
            }
            return true;
        }
        at = body + len + (len % 2);
    }
    return false;
}

}  // namespace snd
