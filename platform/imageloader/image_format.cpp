#include "platform/imageloader/image_format.h"

#include <cstring>

namespace imageloader {

namespace {

bool starts_with(const std::uint8_t* data, std::size_t size, const char* prefix, std::size_t length) {
    return size >= length && std::memcmp(data, prefix, length) == 0;
}

}  // namespace

bool has_png_signature(const std::uint8_t* data, std::size_t size) {
    return starts_with(data, size, "\x89PNG\r\n\x1a\n", 8);
}

bool has_jpeg_signature(const std::uint8_t* data, std::size_t size) {
    return starts_with(data, size, "\xff\xd8\xff", 3);
}

bool has_gif_signature(const std::uint8_t* data, std::size_t size) {
    return starts_with(data, size, "GIF87a", 6) || starts_with(data, size, "GIF89a", 6);
}

bool has_bmp_signature(const std::uint8_t* data, std::size_t size) {
    return starts_with(data, size, "BM", 2) && size >= 26;  // file header plus the smallest info header
}

bool has_plausible_tga_header(const std::uint8_t* data, std::size_t size) {
    if (size < 18) return false;
    const unsigned colormap_type = data[1], image_type = data[2];
    const unsigned colormap_bits = data[7], pixel_bits = data[16];
    const unsigned width = data[12] | (data[13] << 8), height = data[14] | (data[15] << 8);
    if (colormap_type > 1 || width == 0 || height == 0) return false;
    switch (image_type) {
        case 1:
        case 9:  // colour-mapped, raw or RLE
            return colormap_type == 1 && (pixel_bits == 8 || pixel_bits == 16) &&
                   (colormap_bits == 15 || colormap_bits == 16 || colormap_bits == 24 || colormap_bits == 32);
        case 2:
        case 10:  // true colour
            return pixel_bits == 15 || pixel_bits == 16 || pixel_bits == 24 || pixel_bits == 32;
        case 3:
        case 11:  // greyscale
            return pixel_bits == 8 || pixel_bits == 16;
        default:
            return false;
    }
}

std::string loader_for_content(const std::uint8_t* data, std::size_t size) {
    if (has_png_signature(data, size)) return "png";
    if (has_jpeg_signature(data, size)) return "jpg";
    if (has_gif_signature(data, size)) return "gif";
    if (has_bmp_signature(data, size)) return "bmp";
    if (has_plausible_tga_header(data, size)) return "tga";
    return "";
}

}  // namespace imageloader
