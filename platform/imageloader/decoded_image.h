#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace imageloader {

// Limits every decoder checks against the file's header before it allocates
// or decodes anything. The width limit comes from the device images' 16-bit
// row pitch; the pixel budget (64 megapixels, 256 MiB of device pixels) keeps
// a hostile header from exhausting memory. Both also keep width * height * 4
// far below the range of std::size_t.
inline constexpr std::uint32_t max_image_width = 65535;
inline constexpr std::uint64_t max_image_pixels = 64ull * 1024 * 1024;
// A GIF's canvas needs no data behind it: a few header bytes can claim one
// that the decoder then holds three times over (picture, background, and a
// history byte per pixel). A quarter of the budget keeps a GIF's decoding
// memory below what the other formats may take at theirs.
inline constexpr std::uint64_t max_gif_pixels = max_image_pixels / 4;

// A decoded picture in device pixels 0xTTRRGGBB (transparency = 255 - alpha),
// rows of width pixels, top row first.
struct DecodedImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
};

// True when a width x height picture may be decoded; otherwise false with a
// reason that gives the size and the limit it breaks.
bool check_dimensions(std::uint64_t width, std::uint64_t height, std::string& reason,
                      std::uint64_t max_pixels = max_image_pixels);

// Fills image from width x height pixels of 8-bit red, green, blue, alpha.
void rgba_to_device(const std::uint8_t* rgba, int width, int height, DecodedImage& image);

// Converts pixels that a decoder wrote as 8-bit red, green, blue, alpha bytes
// into the words' own storage (width and height already set).
void rgba_to_device_in_place(DecodedImage& image);

}  // namespace imageloader
