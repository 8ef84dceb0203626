#pragma once
// 16-colour bottom-up BMP files compressed with BI_RLE4, as the frame BITMAP resources store them.
#include <cstdint>
#include <string>
#include <vector>

#include "indexed_image.h"

// RLE4 data for the image: rows bottom-up, each ended by an end-of-line escape except the last, which is ended by
// the end-of-bitmap escape. Runs of one colour use encoded mode; stretches of mixed pixels use absolute mode.
std::vector<uint8_t> encodeRle4(const IndexedImage& image);

// Strict decoder: every row must be given in full (no delta escapes), absolute runs padded to 16 bits, and the data
// must end with the end-of-bitmap escape.
bool decodeRle4(const std::vector<uint8_t>& data, int width, int height, IndexedImage* out, std::string* error);

// Whole .bmp file (file header, BITMAPINFOHEADER, the shared palette, RLE4 data).
std::vector<uint8_t> bitmapFile(const IndexedImage& image);

// Reads a file written by bitmapFile (or any 4-bit RLE4 bottom-up BMP) and checks its headers.
bool readBitmapFile(const std::vector<uint8_t>& file, IndexedImage* out, uint8_t palette[16][3], std::string* error);

// Little helpers shared by the file writers.
void putU16(std::vector<uint8_t>* out, uint32_t value);
void putU32(std::vector<uint8_t>* out, uint32_t value);
uint32_t getU32(const std::vector<uint8_t>& data, size_t offset);
uint16_t getU16(const std::vector<uint8_t>& data, size_t offset);
bool readFile(const std::string& path, std::vector<uint8_t>* data);
bool writeFile(const std::string& path, const std::vector<uint8_t>& data);
