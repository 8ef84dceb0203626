// Self-test of the asset compiler's formats, run by check.sh: RLE4 and REGION data written by the tool must read
// back to the same pixels, and the readers must refuse broken data.
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "bitmap_file.h"
#include "palette.h"
#include "region_data.h"

namespace {

int gFailures = 0;

void expect(bool ok, const std::string& what)
{
    if (!ok) {
        std::fprintf(stderr, "selftest: %s\n", what.c_str());
        gFailures++;
    }
}

uint32_t gSeed = 12345;
int nextRandom(int n)
{
    gSeed = gSeed * 1103515245u + 12345u;
    return int((gSeed >> 16) % unsigned(n));
}

IndexedImage makeImage(int w, int h, const std::function<int(int, int)>& colour)
{
    IndexedImage image(w, h, 0);
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++)
            image.at(x, y) = uint8_t(colour(x, y));
    return image;
}

struct ImageCase {
    const char* name;
    IndexedImage image;
};

std::vector<ImageCase> imageCases()
{
    return {
        {"one background pixel", makeImage(1, 1, [](int, int) { return 0; })},
        {"one figure pixel", makeImage(1, 1, [](int, int) { return 5; })},
        {"two different pixels", makeImage(2, 1, [](int x, int) { return x + 1; })},
        {"three different pixels (shortest absolute run)", makeImage(3, 2, [](int x, int y) { return x + y + 1; })},
        {"odd absolute run needing padding", makeImage(5, 3, [](int x, int y) { return (x * 7 + y) % 16; })},
        {"pairs of equal pixels", makeImage(12, 2, [](int x, int) { return (x / 2) % 2 ? 3 : 9; })},
        {"lone pixel between long runs", makeImage(75, 3, [](int x, int) { return x == 37 ? 1 : 2; })},
        {"runs longer than 255", makeImage(600, 2, [](int x, int y) { return x < 300 + y ? 4 : 0; })},
        {"mixed stretch longer than 255", makeImage(520, 1, [](int x, int) { return x % 16; })},
        {"random colours", makeImage(95, 40, [](int, int) { return nextRandom(16); })},
        {"random blobs", makeImage(82, 98, [](int x, int y) { return ((x / 5 + y / 7) % 3) ? nextRandom(3) : 0; })},
        {"identical rows to merge", makeImage(20, 30, [](int x, int y) { return (x > 3 && x < 9) || (y > 10 && x == 15) ? 1 : 0; })},
    };
}

void testRoundTrips()
{
    for (const ImageCase& c : imageCases()) {
        IndexedImage decoded;
        std::string error;
        bool decodes = decodeRle4(encodeRle4(c.image), c.image.width, c.image.height, &decoded, &error);
        expect(decodes, std::string(c.name) + ": RLE4 does not decode: " + error);
        expect(decoded.pixels == c.image.pixels, std::string(c.name) + ": RLE4 decodes to other pixels");

        IndexedImage fromFile;
        uint8_t palette[16][3];
        bool reads = readBitmapFile(bitmapFile(c.image), &fromFile, palette, &error);
        expect(reads && fromFile.pixels == c.image.pixels, std::string(c.name) + ": BMP file does not read back: " + error);

        std::vector<RegionRect> rects = regionOfFigure(c.image);
        bool empty = rects.empty();
        std::vector<RegionRect> read;
        bool ok = readRegionResource(regionResource(rects), c.image.width, c.image.height, &read, &error);
        // A frame with no visible pixel has no outline: the reader refuses it, as it should.
        expect(ok != empty, std::string(c.name) + ": REGION read back " + (ok ? "accepted" : "refused: " + error));
        IndexedImage covered(c.image.width, c.image.height, 0);
        for (const RegionRect& r : read)
            for (int y = r.top; y < r.bottom; y++)
                for (int x = r.left; x < r.right; x++)
                    covered.at(x, y) = 1;
        for (size_t i = 0; i < covered.pixels.size(); i++)
            if ((covered.pixels[i] != 0) != (c.image.pixels[i] != kBackground) && ok) {
                expect(false, std::string(c.name) + ": REGION covers other pixels than the figure");
                break;
            }
    }
}

void testBrokenRle4()
{
    struct Row {
        const char* name;
        std::vector<uint8_t> data;
    } rows[] = {
        {"no end of bitmap", {2, 0x11, 0, 0, 2, 0x11}},
        {"run past the row", {3, 0x11, 0, 0, 2, 0x11, 0, 1}},
        {"short row", {1, 0x10, 0, 0, 2, 0x11, 0, 1}},
        {"delta escape", {0, 2, 1, 0, 0, 0, 2, 0x11, 0, 1}},
        {"too few rows", {2, 0x11, 0, 1}},
        {"absolute run cut short", {2, 0x11, 0, 0, 0, 3, 0x12}},
        {"bytes after the end", {2, 0x11, 0, 0, 2, 0x11, 0, 1, 0}},
    };
    for (const Row& row : rows) {
        IndexedImage image;
        std::string error;
        expect(!decodeRle4(row.data, 2, 2, &image, &error), std::string("RLE4 accepted: ") + row.name);
    }
}

std::vector<uint8_t> rawRegion(uint32_t byteCount, uint32_t headerSize, uint32_t type, uint32_t n, uint32_t rectBytes,
                               RegionRect bounds, const std::vector<RegionRect>& rects)
{
    std::vector<uint8_t> out;
    for (uint32_t v : {byteCount, headerSize, type, n, rectBytes})
        putU32(&out, v);
    for (int32_t v : {bounds.left, bounds.top, bounds.right, bounds.bottom})
        putU32(&out, uint32_t(v));
    for (const RegionRect& r : rects)
        for (int32_t v : {r.left, r.top, r.right, r.bottom})
            putU32(&out, uint32_t(v));
    return out;
}

std::vector<uint8_t> region(const std::vector<RegionRect>& rects, RegionRect bounds)
{
    uint32_t n = uint32_t(rects.size());
    return rawRegion(32 + 16 * n, 32, 1, n, 16 * n, bounds, rects);
}

void testBrokenRegions()
{
    const RegionRect box = {0, 0, 10, 10};
    struct Row {
        const char* name;
        std::vector<uint8_t> data;
        bool valid;
    } rows[] = {
        {"two bands", region({{0, 0, 4, 2}, {6, 0, 8, 2}, {1, 2, 3, 5}}, {0, 0, 8, 5}), true},
        {"byte count", rawRegion(48 + 4, 32, 1, 1, 16, {0, 0, 1, 1}, {{0, 0, 1, 1}}), false},
        {"header size", rawRegion(48, 28, 1, 1, 16, {0, 0, 1, 1}, {{0, 0, 1, 1}}), false},
        {"type", rawRegion(48, 32, 2, 1, 16, {0, 0, 1, 1}, {{0, 0, 1, 1}}), false},
        {"rectangle bytes", rawRegion(48, 32, 1, 1, 17, {0, 0, 1, 1}, {{0, 0, 1, 1}}), false},
        {"no rectangle", region({}, {0, 0, 0, 0}), false},
        {"empty rectangle", region({{2, 2, 2, 5}}, {2, 2, 2, 5}), false},
        {"outside the bitmap", region({{5, 5, 11, 6}}, {5, 5, 11, 6}), false},
        {"negative", region({{-1, 0, 3, 1}}, {-1, 0, 3, 1}), false},
        {"band out of order", region({{6, 0, 8, 2}, {0, 0, 4, 2}}, {0, 0, 8, 2}), false},
        {"touching in a band", region({{0, 0, 4, 2}, {4, 0, 8, 2}}, {0, 0, 8, 2}), false},
        {"ragged band", region({{0, 0, 4, 2}, {6, 0, 8, 3}}, {0, 0, 8, 3}), false},
        {"overlapping bands", region({{0, 0, 4, 3}, {0, 2, 4, 5}}, {0, 0, 4, 5}), false},
        {"identical bands not merged", region({{0, 0, 4, 2}, {0, 2, 4, 5}}, {0, 0, 4, 5}), false},
        {"identical bands with a gap", region({{0, 0, 4, 2}, {0, 3, 4, 5}}, {0, 0, 4, 5}), true},
        {"bounds too big", region({{1, 1, 3, 3}}, box), false},
        {"cut short", std::vector<uint8_t>(20, 0), false},
    };
    for (const Row& row : rows) {
        std::vector<RegionRect> rects;
        std::string error;
        bool ok = readRegionResource(row.data, 10, 10, &rects, &error);
        expect(ok == row.valid, std::string("REGION ") + (ok ? "accepted: " : "refused: ") + row.name + " " + error);
    }
}

} // namespace

int main()
{
    testRoundTrips();
    testBrokenRle4();
    testBrokenRegions();
    std::printf("assets selftest: %d failures\n", gFailures);
    return gFailures == 0 ? 0 : 1;
}
