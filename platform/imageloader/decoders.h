#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/imageloader/decoded_image.h"

namespace imageloader {

// Each decoder turns the bytes of one picture file into device pixels. It
// reads the header first and refuses, before decoding, a picture that breaks
// the limits of check_dimensions. On failure it returns false with a one-line
// reason taken from the underlying library where it has one; image is then
// left without pixels. None of them throws or keeps state between calls.

// PNG of every colour type and bit depth, interlaced or not; tRNS applies.
bool decode_png(const std::uint8_t* data, std::size_t size, DecodedImage& image, std::string& reason);

// Baseline and progressive JPEG, greyscale, colour and CMYK. A file the
// decoder only warns about (truncated data, corrupt segments) is refused
// rather than shown half grey.
bool decode_jpeg(const std::uint8_t* data, std::size_t size, DecodedImage& image, std::string& reason);

// Windows bitmaps ("BM" files).
bool decode_bmp(const std::uint8_t* data, std::size_t size, DecodedImage& image, std::string& reason);

// Truevision TGA, colour-mapped, true-colour or greyscale, raw or RLE.
bool decode_tga(const std::uint8_t* data, std::size_t size, DecodedImage& image, std::string& reason);

// GIF: the first frame only, at the size of the logical screen.
bool decode_gif(const std::uint8_t* data, std::size_t size, DecodedImage& image, std::string& reason);

}  // namespace imageloader
