#pragma once
// The REGION resource: a uint32 byte count, then exactly the RGNDATA record that GetRegionData produces
// (RGNDATAHEADER {32, RDH_RECTANGLES, n, 16n, bounds} and n rectangles in banded order).
#include <cstdint>
#include <string>
#include <vector>

#include "indexed_image.h"

struct RegionRect {
    int32_t left, top, right, bottom;
};

// The figure pixels of the image as bands of rectangles; rows with the same runs are merged into one band.
std::vector<RegionRect> regionOfFigure(const IndexedImage& image);

std::vector<uint8_t> regionResource(const std::vector<RegionRect>& rects);

// Parses a REGION resource and checks every invariant: sizes, header, banded order, no empty rectangle, bounds equal
// to the union, everything inside a width x height bitmap.
bool readRegionResource(const std::vector<uint8_t>& data, int width, int height, std::vector<RegionRect>* rects,
                        std::string* error);
