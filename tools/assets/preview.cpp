#include "preview.h"

#include <cairo.h>

#include <algorithm>
#include <cstdio>
#include <sstream>

#include "bitmap_file.h"
#include "frame_sets.h"
#include "palette.h"

namespace {

constexpr int kGap = 10;
constexpr int kLabelHeight = 16;

struct Colour {
    double r, g, b;
};

struct Background {
    Colour fill, extent, text;
};

const Background kLight = {{0.93, 0.95, 0.97}, {0.70, 0.78, 0.90}, {0.1, 0.1, 0.1}};
const Background kDark = {{0.16, 0.19, 0.25}, {0.32, 0.38, 0.50}, {0.9, 0.9, 0.9}};

struct LoadedSet {
    const FrameSet* set;
    std::vector<IndexedImage> frames;
};

void paintImage(cairo_surface_t* surface, const IndexedImage& image, int left, int top, int scale)
{
    unsigned char* data = cairo_image_surface_get_data(surface);
    int stride = cairo_image_surface_get_stride(surface);
    int width = cairo_image_surface_get_width(surface);
    int height = cairo_image_surface_get_height(surface);
    for (int y = 0; y < image.height * scale; y++)
        for (int x = 0; x < image.width * scale; x++) {
            uint8_t index = image.at(x / scale, y / scale);
            int px = left + x, py = top + y;
            if (index == kBackground || px < 0 || py < 0 || px >= width || py >= height)
                continue;
            const PaletteColour& c = kPalette[index];
            uint32_t* row = reinterpret_cast<uint32_t*>(data + size_t(py) * size_t(stride));
            row[px] = 0xff000000u | uint32_t(c.red) << 16 | uint32_t(c.green) << 8 | c.blue;
        }
}

void markExtent(cairo_t* cr, const Background& background, int left, int top, int width, int height)
{
    cairo_set_source_rgb(cr, background.extent.r, background.extent.g, background.extent.b);
    cairo_set_line_width(cr, 1);
    cairo_rectangle(cr, left - 0.5, top - 0.5, width + 1, height + 1);
    cairo_stroke(cr);
}

int rowWidth(const LoadedSet& loaded)
{
    int width = kGap;
    for (const IndexedImage& frame : loaded.frames)
        width += 3 * frame.width + 2 * kGap;
    return width + kGap;
}

int rowHeight(const LoadedSet& loaded)
{
    int height = 0;
    for (const IndexedImage& frame : loaded.frames)
        height = std::max(height, frame.height);
    return kLabelHeight + 2 * height + 2 * kGap;
}

// One row per set: its frames at 1x, then the same frames at 2x, bottoms aligned.
int drawSection(cairo_surface_t* surface, cairo_t* cr, const std::vector<LoadedSet>& sets, int top, int width,
                const Background& background)
{
    int height = 0;
    for (const LoadedSet& loaded : sets)
        height += rowHeight(loaded);
    cairo_set_source_rgb(cr, background.fill.r, background.fill.g, background.fill.b);
    cairo_rectangle(cr, 0, top, width, height);
    cairo_fill(cr);
    int y = top;
    for (const LoadedSet& loaded : sets) {
        int row = rowHeight(loaded);
        cairo_set_source_rgb(cr, background.text.r, background.text.g, background.text.b);
        cairo_move_to(cr, kGap, y + kLabelHeight - 3);
        cairo_show_text(cr, loaded.set->base);
        int base = y + row - kGap;
        int x = kGap;
        for (int scale = 1; scale <= 2; scale++)
            for (const IndexedImage& frame : loaded.frames) {
                int w = frame.width * scale, h = frame.height * scale;
                markExtent(cr, background, x, base - h, w, h);
                cairo_surface_flush(surface);
                paintImage(surface, frame, x, base - h, scale);
                cairo_surface_mark_dirty(surface);
                x += w + kGap;
            }
        y += row;
    }
    return height;
}

bool writeContactSheet(const std::vector<LoadedSet>& sets, const std::string& path)
{
    int width = 200, height = 0;
    for (const LoadedSet& loaded : sets) {
        width = std::max(width, rowWidth(loaded));
        height += rowHeight(loaded);
    }
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, std::max(1, 2 * height));
    cairo_t* cr = cairo_create(surface);
    cairo_select_font_face(cr, "sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
    cairo_set_font_size(cr, 12);
    drawSection(surface, cr, sets, 0, width, kLight);
    drawSection(surface, cr, sets, height, width, kDark);
    cairo_destroy(cr);
    bool ok = cairo_surface_write_to_png(surface, path.c_str()) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(surface);
    return ok;
}

int placed(Anchor anchor, int canvas, int size)
{
    constexpr int kMargin = 6;
    if (anchor == Anchor::Start)
        return kMargin;
    if (anchor == Anchor::End)
        return canvas - kMargin - size;
    return (canvas - size) / 2;
}

// The animation's pictures, each frame on one canvas where the set's anchored edges stay put.
bool writeAnimation(const LoadedSet& loaded, const std::string& outDir)
{
    int width = 0, height = 0;
    for (const IndexedImage& frame : loaded.frames) {
        width = std::max(width, frame.width + 12);
        height = std::max(height, frame.height + 12);
    }
    std::ostringstream line;
    line << loaded.set->base;
    std::istringstream sequence(*loaded.set->preview ? loaded.set->preview : "");
    std::vector<std::pair<int, int>> steps; // frame number, milliseconds
    std::string item;
    while (sequence >> item) {
        int number = 0, ms = 0;
        if (std::sscanf(item.c_str(), "%d:%d", &number, &ms) == 2 && number >= 1 && number <= int(loaded.frames.size()))
            steps.push_back({number, ms});
    }
    if (steps.empty())
        for (int number = 1; number <= int(loaded.frames.size()); number++)
            steps.push_back({number, 200});
    for (int number = 1; number <= int(loaded.frames.size()); number++) {
        const IndexedImage& frame = loaded.frames[size_t(number - 1)];
        cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
        cairo_t* cr = cairo_create(surface);
        cairo_set_source_rgb(cr, kLight.fill.r, kLight.fill.g, kLight.fill.b);
        cairo_paint(cr);
        cairo_destroy(cr);
        cairo_surface_flush(surface);
        paintImage(surface, frame, placed(loaded.set->horizontal, width, frame.width),
                   placed(loaded.set->vertical, height, frame.height), 1);
        cairo_surface_mark_dirty(surface);
        std::string path = outDir + "/" + frameName(*loaded.set, number) + ".png";
        bool ok = cairo_surface_write_to_png(surface, path.c_str()) == CAIRO_STATUS_SUCCESS;
        cairo_surface_destroy(surface);
        if (!ok)
            return false;
    }
    for (const auto& step : steps)
        line << " " << step.second << " " << outDir << "/" << frameName(*loaded.set, step.first) << ".png";
    std::printf("%s\n", line.str().c_str());
    return true;
}

} // namespace

int writePreview(const std::string& resourcesDir, const std::string& outDir)
{
    std::vector<LoadedSet> sets;
    for (const FrameSet& set : kFrameSets) {
        LoadedSet loaded = {&set, {}};
        for (int number = 1; number <= int(set.sizes.size()); number++) {
            std::vector<uint8_t> file;
            IndexedImage image;
            uint8_t palette[16][3];
            std::string error;
            if (!readFile(resourcesDir + "/frames/" + frameName(set, number) + ".bmp", &file))
                break;
            if (!readBitmapFile(file, &image, palette, &error)) {
                std::fprintf(stderr, "%s%d: %s\n", set.base, number, error.c_str());
                return 1;
            }
            loaded.frames.push_back(std::move(image));
        }
        if (loaded.frames.size() == set.sizes.size())
            sets.push_back(std::move(loaded));
    }
    if (!writeContactSheet(sets, outDir + "/contact-sheet.png")) {
        std::fprintf(stderr, "cannot write %s/contact-sheet.png\n", outDir.c_str());
        return 1;
    }
    for (const LoadedSet& loaded : sets)
        if (!writeAnimation(loaded, outDir + "/anim")) {
            std::fprintf(stderr, "cannot write the pictures of %s under %s/anim\n", loaded.set->base, outDir.c_str());
            return 1;
        }
    return 0;
}
