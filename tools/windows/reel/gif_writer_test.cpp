#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "gif_writer.h"

namespace {

// A plain reader of GIF LZW data, written from the format's rules: the reference the writer must agree with.
std::vector<uint8_t> unLzw(const std::vector<uint8_t>& data, int minCodeSize) {
    const int clearCode = 1 << minCodeSize;
    const int endCode = clearCode + 1;
    std::vector<std::vector<uint8_t>> table;
    auto reset = [&] {
        table.clear();
        for (int i = 0; i < clearCode + 2; ++i)
            table.push_back({static_cast<uint8_t>(i)});
    };
    reset();
    int codeSize = minCodeSize + 1;
    size_t bit = 0;
    int previous = -1;
    std::vector<uint8_t> out;
    while (bit + codeSize <= data.size() * 8) {
        int code = 0;
        for (int i = 0; i < codeSize; ++i, ++bit)
            code |= ((data[bit / 8] >> (bit % 8)) & 1) << i;
        if (code == clearCode) {
            reset();
            codeSize = minCodeSize + 1;
            previous = -1;
            continue;
        }
        if (code == endCode)
            return out;
        std::vector<uint8_t> entry;
        if (code < static_cast<int>(table.size())) {
            entry = table[code];
        } else if (code == static_cast<int>(table.size()) && previous >= 0) {
            entry = table[previous];
            entry.push_back(table[previous][0]);
        } else {
            ADD_FAILURE() << "code " << code << " beyond the table of " << table.size();
            return out;
        }
        if (previous >= 0 && table.size() < 4096) {
            std::vector<uint8_t> added = table[previous];
            added.push_back(entry[0]);
            table.push_back(added);
        }
        if (static_cast<int>(table.size()) == (1 << codeSize) && codeSize < 12)
            ++codeSize;
        out.insert(out.end(), entry.begin(), entry.end());
        previous = code;
    }
    ADD_FAILURE() << "no end code";
    return out;
}

std::vector<uint8_t> pattern(size_t count, int colours, int kind) {
    std::vector<uint8_t> pixels(count);
    srand(5);
    for (size_t i = 0; i < count; ++i) {
        switch (kind) {
        case 0: pixels[i] = 0; break;                                            // flat
        case 1: pixels[i] = static_cast<uint8_t>(i % colours); break;            // stripes
        default: pixels[i] = static_cast<uint8_t>(rand() % colours); break;     // noise: the table fills often
        }
    }
    return pixels;
}

// One image of a GIF file: its box, delay and pixels.
struct Image {
    int left, top, width, height, delay;
    std::vector<uint8_t> pixels;
};

int word(const std::vector<uint8_t>& file, size_t at) {
    return file[at] | file[at + 1] << 8;
}

// Walks the blocks of a file the writer made: header, global table, extensions, images, trailer.
std::vector<Image> readImages(const std::vector<uint8_t>& file, int* width, int* height) {
    std::vector<Image> images;
    *width = word(file, 6);
    *height = word(file, 8);
    size_t at = 13 + 3 * (size_t(2) << (file[10] & 7));
    int delay = -1;
    while (at < file.size() && file[at] != 0x3b) {
        if (file[at] == 0x21) {
            if (file[at + 1] == 0xf9)
                delay = word(file, at + 4);
            at += 2;
            while (file[at] != 0)
                at += file[at] + 1;
            ++at;
            continue;
        }
        EXPECT_EQ(0x2c, file[at]);
        Image image = {word(file, at + 1), word(file, at + 3), word(file, at + 5), word(file, at + 7), delay, {}};
        int minCodeSize = file[at + 10];
        at += 11;
        std::vector<uint8_t> data;
        while (file[at] != 0) {
            data.insert(data.end(), file.begin() + at + 1, file.begin() + at + 1 + file[at]);
            at += file[at] + 1;
        }
        ++at;
        image.pixels = unLzw(data, minCodeSize);
        images.push_back(image);
    }
    EXPECT_LT(at, file.size()) << "no trailer";
    return images;
}

} // namespace

TEST(GifLzw, ReadsBackAsWritten) {
    struct Row {
        size_t count;
        int minCodeSize;
        int colours;
        int kind;
    } rows[] = {
        {0, 2, 4, 0},      {1, 2, 4, 0},    {2, 2, 2, 1},      {5000, 2, 4, 0},  {5000, 2, 4, 1},
        {20000, 2, 4, 2},  {20000, 4, 16, 2}, {60000, 8, 256, 2}, {300, 8, 256, 1}, {100000, 4, 13, 1},
    };
    for (const Row& row : rows) {
        std::vector<uint8_t> pixels = pattern(row.count, row.colours, row.kind);
        std::vector<uint8_t> data = gifLzw(pixels.data(), pixels.size(), row.minCodeSize);
        EXPECT_EQ(pixels, unLzw(data, row.minCodeSize))
            << row.count << " pixels, kind " << row.kind << ", " << row.colours << " colours";
    }
}

// Each frame after the first stores only the box that changed; an unchanged frame one pixel, for its delay.
TEST(GifWriter, FramesStoreTheirChangedBoxWithTheDelay) {
    const std::vector<uint8_t> first = {0, 0, 0, 0, 0, 1, 1, 0, 0, 0, 0, 0};
    std::vector<uint8_t> moved = first;
    moved[7] = 2;
    moved[9] = 3;
    struct Row {
        std::vector<uint8_t> frame;
        int left, top, width, height;
        std::vector<uint8_t> stored;
    } rows[] = {
        {first, 0, 0, 4, 3, first},
        {first, 0, 0, 1, 1, {0}},
        {moved, 1, 1, 3, 2, {1, 1, 2, 3, 0, 0}},
    };
    const std::string path = "gif_writer_test.gif";
    GifWriter writer;
    ASSERT_TRUE(writer.open(path, 4, 3, {0x3a6ea5, 0x1c141c, 0xffffff, 0xd42428}, 5));
    for (const Row& row : rows)
        writer.addFrame(row.frame);
    ASSERT_TRUE(writer.close());

    std::ifstream in(path, std::ios::binary);
    std::vector<uint8_t> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_GT(file.size(), 13u);
    EXPECT_EQ("GIF89a", std::string(file.begin(), file.begin() + 6));
    EXPECT_EQ(0x3a, file[13]); // first palette entry
    int width = 0, height = 0;
    std::vector<Image> images = readImages(file, &width, &height);
    EXPECT_EQ(4, width);
    EXPECT_EQ(3, height);
    ASSERT_EQ(3u, images.size());
    for (size_t i = 0; i < images.size(); ++i) {
        const Row& row = rows[i];
        EXPECT_EQ(5, images[i].delay) << "frame " << i;
        EXPECT_EQ(row.left, images[i].left) << "frame " << i;
        EXPECT_EQ(row.top, images[i].top) << "frame " << i;
        EXPECT_EQ(row.width, images[i].width) << "frame " << i;
        EXPECT_EQ(row.height, images[i].height) << "frame " << i;
        EXPECT_EQ(row.stored, images[i].pixels) << "frame " << i;
    }
    std::remove(path.c_str());
}
