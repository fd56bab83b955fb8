// Looks at a PNG for the scenario runner: prints its width, its height and how
// many of its pixels are not white, or fails when it is not a readable PNG.
//
//   png_probe FILE.png
#include <cairo.h>

#include <cstdint>
#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: png_probe FILE.png\n");
        return 2;
    }
    cairo_surface_t* image = cairo_image_surface_create_from_png(argv[1]);
    if (cairo_surface_status(image) != CAIRO_STATUS_SUCCESS) {
        std::fprintf(stderr, "png_probe: %s: %s\n", argv[1], cairo_status_to_string(cairo_surface_status(image)));
        cairo_surface_destroy(image);
        return 1;
    }
    const int width = cairo_image_surface_get_width(image), height = cairo_image_surface_get_height(image);
    const int stride = cairo_image_surface_get_stride(image);
    const unsigned char* data = cairo_image_surface_get_data(image);
    long inked = 0;
    for (int y = 0; y < height; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(data + y * stride);
        for (int x = 0; x < width; ++x)
            if ((row[x] & 0xffffff) != 0xffffff) ++inked;
    }
    std::printf("%d %d %ld\n", width, height, inked);
    cairo_surface_destroy(image);
    cairo_debug_reset_static_data();
    return 0;
}
