#include "region_data.h"

#include <algorithm>
#include <cstdio>

#include "bitmap_file.h"
#include "palette.h"

namespace {

constexpr uint32_t kHeaderSize = 32;
constexpr uint32_t kRdhRectangles = 1;
constexpr uint32_t kRectBytes = 16;

struct Run {
    int32_t left, right;
    bool operator==(const Run& other) const { return left == other.left && right == other.right; }
};

std::vector<Run> rowRuns(const IndexedImage& image, int y)
{
    std::vector<Run> runs;
    int x = 0;
    while (x < image.width) {
        if (image.at(x, y) == kBackground) {
            x++;
            continue;
        }
        int start = x;
        while (x < image.width && image.at(x, y) != kBackground)
            x++;
        runs.push_back({start, x});
    }
    return runs;
}

} // namespace

std::vector<RegionRect> regionOfFigure(const IndexedImage& image)
{
    std::vector<RegionRect> rects;
    int y = 0;
    while (y < image.height) {
        std::vector<Run> runs = rowRuns(image, y);
        int bottom = y + 1;
        while (bottom < image.height && rowRuns(image, bottom) == runs)
            bottom++;
        for (const Run& run : runs)
            rects.push_back({run.left, y, run.right, bottom});
        y = bottom;
    }
    return rects;
}

std::vector<uint8_t> regionResource(const std::vector<RegionRect>& rects)
{
    RegionRect bounds = {0, 0, 0, 0};
    if (!rects.empty()) {
        bounds = rects.front();
        for (const RegionRect& r : rects) {
            bounds.left = std::min(bounds.left, r.left);
            bounds.top = std::min(bounds.top, r.top);
            bounds.right = std::max(bounds.right, r.right);
            bounds.bottom = std::max(bounds.bottom, r.bottom);
        }
    }
    uint32_t n = uint32_t(rects.size());
    std::vector<uint8_t> out;
    putU32(&out, kHeaderSize + kRectBytes * n);
    putU32(&out, kHeaderSize);
    putU32(&out, kRdhRectangles);
    putU32(&out, n);
    putU32(&out, kRectBytes * n);
    for (int32_t v : {bounds.left, bounds.top, bounds.right, bounds.bottom})
        putU32(&out, uint32_t(v));
    for (const RegionRect& r : rects)
        for (int32_t v : {r.left, r.top, r.right, r.bottom})
            putU32(&out, uint32_t(v));
    return out;
}

bool readRegionResource(const std::vector<uint8_t>& data, int width, int height, std::vector<RegionRect>* rects,
                        std::string* error)
{
    auto fail = [&](const std::string& what) {
        *error = what;
        return false;
    };
    if (data.size() < 4 + kHeaderSize)
        return fail("shorter than its header");
    uint32_t byteCount = getU32(data, 0);
    uint32_t n = getU32(data, 12);
    if (byteCount != data.size() - 4)
        return fail("byte count does not match the resource size");
    if (getU32(data, 4) != kHeaderSize || getU32(data, 8) != kRdhRectangles)
        return fail("header is not {32, RDH_RECTANGLES}");
    if (n == 0 || uint64_t(n) * kRectBytes + kHeaderSize != byteCount || getU32(data, 16) != kRectBytes * n)
        return fail("rectangle count and sizes disagree, or no rectangle");
    auto rectAt = [&](size_t offset) {
        return RegionRect{int32_t(getU32(data, offset)), int32_t(getU32(data, offset + 4)),
                          int32_t(getU32(data, offset + 8)), int32_t(getU32(data, offset + 12))};
    };
    rects->clear();
    size_t bandStart = 0;     // first rectangle of the current band
    size_t lastBandStart = 0; // first rectangle of the band above it
    auto bandsEqual = [&](size_t a, size_t b, size_t end) {
        // Bands [a, b) and [b, end): same rectangles left to right.
        if (b - a != end - b)
            return false;
        for (size_t i = 0; i < b - a; i++)
            if ((*rects)[a + i].left != (*rects)[b + i].left || (*rects)[a + i].right != (*rects)[b + i].right)
                return false;
        return true;
    };
    RegionRect uni = rectAt(36);
    for (uint32_t i = 0; i < n; i++) {
        RegionRect r = rectAt(36 + size_t(i) * kRectBytes);
        char text[120];
        std::snprintf(text, sizeof text, "rectangle %u (%d,%d,%d,%d): ", i, r.left, r.top, r.right, r.bottom);
        std::string where = text;
        if (r.left >= r.right || r.top >= r.bottom)
            return fail(where + "empty");
        if (r.left < 0 || r.top < 0 || r.right > width || r.bottom > height)
            return fail(where + "outside the bitmap");
        if (i > 0) {
            const RegionRect& p = rects->back();
            if (r.top == p.top) {
                if (r.bottom != p.bottom || r.left <= p.right)
                    return fail(where + "breaks its band (another bottom, or not apart to the right of the previous)");
            } else {
                if (r.top < p.bottom)
                    return fail(where + "starts before the band above ends");
                if (bandStart > 0 && (*rects)[lastBandStart].bottom == (*rects)[bandStart].top &&
                    bandsEqual(lastBandStart, bandStart, i))
                    return fail(where + "follows two identical bands that touch (not merged)");
                lastBandStart = bandStart;
                bandStart = i;
            }
        }
        uni = {std::min(uni.left, r.left), std::min(uni.top, r.top), std::max(uni.right, r.right),
               std::max(uni.bottom, r.bottom)};
        rects->push_back(r);
    }
    if (bandStart > 0 && (*rects)[lastBandStart].bottom == (*rects)[bandStart].top &&
        bandsEqual(lastBandStart, bandStart, n))
        return fail("the last band is identical to the band right above it (not merged)");
    RegionRect bounds = rectAt(20);
    if (bounds.left != uni.left || bounds.top != uni.top || bounds.right != uni.right || bounds.bottom != uni.bottom)
        return fail("bounds are not the union of the rectangles");
    return true;
}
