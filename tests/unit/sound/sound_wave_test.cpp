#include "engine/platform.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "sound/wave.h"

namespace {

typedef std::vector<uint8_t> Bytes;

void putLe32(Bytes& b, uint32_t v) {
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

// One chunk: id, declared size, and the body bytes actually present (with a pad byte when odd).
Bytes chunk(const char* id, size_t bodySize, uint32_t declared = 0xFFFFFFFFu, bool pad = true) {
    Bytes b(id, id + 4);
    putLe32(b, declared == 0xFFFFFFFFu ? static_cast<uint32_t>(bodySize) : declared);
    for (size_t i = 0; i < bodySize; ++i) b.push_back(static_cast<uint8_t>(0x40 + i % 32));
    if (pad && bodySize % 2) b.push_back(0);
    return b;
}

// "RIFF", length, "WAVE" and the chunks; the RIFF length covers the chunks unless given.
Bytes wave(const std::vector<Bytes>& chunks, long riffLength = -1, const char* riff = "RIFF", const char* form = "WAVE") {
    Bytes body(form, form + 4);
    for (const Bytes& c : chunks) body.insert(body.end(), c.begin(), c.end());
    Bytes b(riff, riff + 4);
    putLe32(b, riffLength < 0 ? static_cast<uint32_t>(body.size()) : static_cast<uint32_t>(riffLength));
    b.insert(b.end(), body.begin(), body.end());
    return b;
}

Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

}  // namespace

TEST(ParseWave, FindsFormatAndDataOrRejectsTheImage) {
    const Bytes fmt = chunk("fmt ", 16), data = chunk("data", 10);
    struct Row {
        const char* name;
        Bytes image;
        bool ok;
        long formatAt;   // offsets into the image; -1 for null
        long dataAt;
        uint32_t size;
    } rows[] = {
        {"well formed", wave({fmt, data}), true, 20, 44, 10},
        {"odd data, padded, then LIST", wave({fmt, chunk("data", 9), chunk("LIST", 26)}), true, 20, 44, 9},
        {"odd chunk first: the pad byte is skipped", wave({chunk("junk", 3), fmt, data}), true, 32, 56, 10},
        {"data before fmt", wave({data, fmt}), true, 38, 20, 10},
        {"zero bytes after the RIFF end", wave({fmt, data}) + Bytes(7, 0), true, 20, 44, 10},
        {"trailing LIST outside the RIFF length", wave({fmt, data}) + chunk("LIST", 12), true, 20, 44, 10},
        {"fmt of 14 bytes is enough", wave({chunk("fmt ", 14), data}), true, 20, 42, 10},
        {"a second fmt and data are ignored", wave({fmt, data, chunk("fmt ", 3), chunk("data", 4)}), true, 20, 44, 10},
        {"RIFF length past the image, both found first", wave({fmt, data}, 0xFFFFFFF0L), true, 20, 44, 10},
        {"no RIFF", wave({fmt, data}, -1, "RIFX"), false, -1, -1, 0},
        {"no WAVE", wave({fmt, data}, -1, "RIFF", "AVI "), false, -1, -1, 0},
        {"fmt shorter than 14 bytes", wave({chunk("fmt ", 13), data}), false, -1, -1, 0},
        {"no data", wave({fmt, chunk("LIST", 8)}), false, -1, -1, 0},
        {"no fmt", wave({data}), false, -1, -1, 0},
        {"RIFF length ends before data", wave({fmt, data}, 4 + 24), false, -1, -1, 0},
        {"data body runs past the image", wave({fmt, chunk("data", 10, 11, false)}), false, -1, -1, 0},
        {"data size near 4 GiB", wave({fmt, chunk("data", 10, 0xFFFFFFFEu)}), false, -1, -1, 0},
        {"skipped chunk runs past the image", wave({chunk("LIST", 4, 0xFFFFFFF8u), fmt, data}), false, -1, -1, 0},
        {"image ends inside a chunk header", wave({fmt}, 4 + 24 + 8) + Bytes{'d', 'a', 't'}, false, -1, -1, 0},
        {"header only", Bytes{'R', 'I', 'F', 'F', 4, 0, 0, 0, 'W', 'A', 'V', 'E'}, false, -1, -1, 0},
        {"shorter than a header", Bytes{'R', 'I', 'F', 'F', 4, 0, 0, 0, 'W', 'A'}, false, -1, -1, 0},
        {"empty", Bytes(), false, -1, -1, 0},
    };
    for (const Row& row : rows) {
        const uint8_t* format = reinterpret_cast<const uint8_t*>(1);
        const uint8_t* data = reinterpret_cast<const uint8_t*>(1);
        uint32_t size = 12345;
        const uint8_t* base = row.image.data();
        bool ok = parseWave(base, row.image.size(), &format, &data, &size);
        EXPECT_EQ(row.ok, ok) << row.name;
        EXPECT_EQ(row.formatAt < 0 ? nullptr : base + row.formatAt, format) << row.name;
        EXPECT_EQ(row.dataAt < 0 ? nullptr : base + row.dataAt, data) << row.name;
        EXPECT_EQ(row.size, size) << row.name;
    }
}

TEST(ParseWave, AbsentOutputsAreNotWaitedFor) {
    // Without a format wanted, a short "fmt " is stepped over and the data alone decides.
    const Bytes shortFmt = wave({chunk("fmt ", 8), chunk("data", 6)});
    const Bytes good = wave({chunk("fmt ", 16), chunk("LIST", 5), chunk("data", 6)});
    const Bytes noData = wave({chunk("fmt ", 16)});
    struct Row {
        const char* name;
        const Bytes* image;
        bool wantFormat, wantData, wantSize;
        bool ok;
    } rows[] = {
        {"short fmt, data only", &shortFmt, false, true, true, true},
        {"short fmt, size only", &shortFmt, false, false, true, true},
        {"short fmt, format wanted", &shortFmt, true, true, false, false},
        {"format only", &good, true, false, false, true},
        {"data only", &good, false, true, false, true},
        {"format only, no data chunk", &noData, true, false, false, true},
        {"data wanted, no data chunk", &noData, false, true, false, false},
        {"nothing wanted", &good, false, false, false, false},
    };
    for (const Row& row : rows) {
        const uint8_t* format = nullptr;
        const uint8_t* data = nullptr;
        uint32_t size = 0;
        bool ok = parseWave(row.image->data(), row.image->size(), row.wantFormat ? &format : nullptr,
                            row.wantData ? &data : nullptr, row.wantSize ? &size : nullptr);
        EXPECT_EQ(row.ok, ok) << row.name;
        if (!ok) continue;
        if (row.wantFormat) {
            EXPECT_EQ(0, std::memcmp(format - 8, "fmt ", 4)) << row.name;
        }
        if (row.wantData) {
            EXPECT_EQ(0, std::memcmp(data - 8, "data", 4)) << row.name;
        }
        if (row.wantSize) {
            EXPECT_EQ(6u, size) << row.name;
        }
    }
    EXPECT_FALSE(parseWave(nullptr, 100, nullptr, nullptr, nullptr));
}

namespace {

uint16_t le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t le32(const uint8_t* p) { return le16(p) | (static_cast<uint32_t>(le16(p + 2)) << 16); }

}  // namespace

TEST(ParseWave, TheSevenBuiltInSoundsHaveTheirFormats) {
    struct Row {
        const char* name;
        uint32_t rate;
        uint16_t bits;
        double seconds;
    } rows[] = {
        {"piano", 8000, 8, 19.5}, {"wyb", 11025, 8, 1.4},   {"lup", 11025, 8, 0.16}, {"oho", 11025, 8, 0.4},
        {"hello", 22050, 8, 1.2}, {"bat", 44100, 16, 0.5}, {"warc", 22050, 8, 7.0},
    };
    HMODULE module = GetModuleHandleA(nullptr);
    for (const Row& row : rows) {
        HRSRC found = FindResourceA(module, row.name, "WAVE");
        ASSERT_NE(nullptr, found) << row.name;
        const void* bytes = LockResource(LoadResource(module, found));
        const uint8_t* format = nullptr;
        const uint8_t* data = nullptr;
        uint32_t size = 0;
        ASSERT_TRUE(parseWave(bytes, SizeofResource(module, found), &format, &data, &size)) << row.name;
        EXPECT_EQ(1, le16(format)) << row.name << ": PCM";
        EXPECT_EQ(1, le16(format + 2)) << row.name << ": mono";
        EXPECT_EQ(row.rate, le32(format + 4)) << row.name;
        EXPECT_EQ(row.bits, le16(format + 14)) << row.name;
        EXPECT_EQ(row.bits / 8, le16(format + 12)) << row.name << ": block align";
        double seconds = static_cast<double>(size) / (row.rate * (row.bits / 8));
        EXPECT_NEAR(row.seconds, seconds, row.seconds * 0.05) << row.name;
    }
}
