#pragma once
#include <string>
#include "indexed_image.h"

// Renders an SVG file at exactly width x height pixels, without anti-aliasing, and maps it to the shared palette:
// pixels less than half covered become background, every other pixel must be a palette colour. The silhouette then
// gets a clean 1-pixel outline: single-pixel holes in it are closed, lone pixels dropped, and every figure pixel
// that touches the background or the bitmap's edge takes the outline colour.
bool renderFrame(const std::string& svgPath, int width, int height, IndexedImage* out, std::string* error);
