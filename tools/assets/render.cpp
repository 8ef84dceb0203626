#include "render.h"

#include <cairo.h>
#include <librsvg/rsvg.h>

#include <cmath>
#include <cstdio>
#include <memory>

#include "palette.h"

namespace {

// Colour tolerance for premultiplied rounding; anything further off is a colour the palette does not have.
constexpr int kMaxColourDistance = 3 * 4 * 4;

struct GObjectDeleter {
    void operator()(void* object) const { g_object_unref(object); }
};
struct SurfaceDeleter {
    void operator()(cairo_surface_t* surface) const { cairo_surface_destroy(surface); }
};
struct ContextDeleter {
    void operator()(cairo_t* cr) const { cairo_destroy(cr); }
};

bool isFigure(const IndexedImage& image, int x, int y)
{
    return image.inside(x, y) && image.at(x, y) != kBackground;
}

int figureNeighbours(const IndexedImage& image, int x, int y)
{
    return isFigure(image, x - 1, y) + isFigure(image, x + 1, y) + isFigure(image, x, y - 1) + isFigure(image, x, y + 1);
}

void closePinholes(IndexedImage* image)
{
    for (int y = 1; y + 1 < image->height; y++)
        for (int x = 1; x + 1 < image->width; x++)
            if (image->at(x, y) == kBackground && figureNeighbours(*image, x, y) == 4)
                image->at(x, y) = kOutline;
}

void dropLonePixels(IndexedImage* image)
{
    for (int y = 0; y < image->height; y++)
        for (int x = 0; x < image->width; x++)
            if (image->at(x, y) != kBackground && figureNeighbours(*image, x, y) == 0)
                image->at(x, y) = kBackground;
}

void outlineSilhouette(IndexedImage* image)
{
    IndexedImage source = *image;
    for (int y = 0; y < source.height; y++)
        for (int x = 0; x < source.width; x++) {
            if (source.at(x, y) == kBackground)
                continue;
            bool edge = !isFigure(source, x - 1, y) || !isFigure(source, x + 1, y) || !isFigure(source, x, y - 1) ||
                        !isFigure(source, x, y + 1);
            if (edge)
                image->at(x, y) = kOutline;
        }
}

} // namespace

bool renderFrame(const std::string& svgPath, int width, int height, IndexedImage* out, std::string* error)
{
    GError* gerror = nullptr;
    std::unique_ptr<RsvgHandle, GObjectDeleter> handle(rsvg_handle_new_from_file(svgPath.c_str(), &gerror));
    if (!handle) {
        *error = svgPath + ": " + (gerror ? gerror->message : "cannot be read");
        if (gerror)
            g_error_free(gerror);
        return false;
    }
    double svgWidth = 0, svgHeight = 0;
    if (!rsvg_handle_get_intrinsic_size_in_pixels(handle.get(), &svgWidth, &svgHeight) ||
        std::lround(svgWidth) != width || std::lround(svgHeight) != height) {
        char text[160];
        std::snprintf(text, sizeof text, ": drawn at %gx%g, the frame is %dx%d", svgWidth, svgHeight, width, height);
        *error = svgPath + text;
        return false;
    }

    std::unique_ptr<cairo_surface_t, SurfaceDeleter> surface(
        cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height));
    std::unique_ptr<cairo_t, ContextDeleter> cr(cairo_create(surface.get()));
    cairo_set_antialias(cr.get(), CAIRO_ANTIALIAS_NONE);
    RsvgRectangle viewport = {0, 0, double(width), double(height)};
    if (!rsvg_handle_render_document(handle.get(), cr.get(), &viewport, &gerror)) {
        *error = svgPath + ": " + (gerror ? gerror->message : "cannot be rendered");
        if (gerror)
            g_error_free(gerror);
        return false;
    }
    cairo_surface_flush(surface.get());

    IndexedImage image(width, height, kBackground);
    const unsigned char* data = cairo_image_surface_get_data(surface.get());
    int stride = cairo_image_surface_get_stride(surface.get());
    for (int y = 0; y < height; y++) {
        const uint32_t* row = reinterpret_cast<const uint32_t*>(data + size_t(y) * size_t(stride));
        for (int x = 0; x < width; x++) {
            uint32_t argb = row[x];
            int alpha = int(argb >> 24);
            if (alpha < 128)
                continue;
            // Cairo stores premultiplied colour.
            auto channel = [&](int shift) { return uint8_t(((argb >> shift) & 0xff) * 255 / unsigned(alpha)); };
            uint8_t r = channel(16), g = channel(8), b = channel(0);
            int distance = 0;
            int index = nearestFigureColour(r, g, b, &distance);
            if (alpha < 255 || distance > kMaxColourDistance) {
                char text[160];
                std::snprintf(text, sizeof text, ": pixel (%d,%d) is #%02x%02x%02x at opacity %d, not a palette colour",
                              x, y, r, g, b, alpha);
                *error = svgPath + text;
                return false;
            }
            image.at(x, y) = uint8_t(index);
        }
    }
    closePinholes(&image);
    dropLonePixels(&image);
    outlineSilhouette(&image);
    *out = std::move(image);
    return true;
}
