#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace imageloader {

// stb_image reads missing bytes as zeros, so a cut BMP, TGA or GIF would
// decode "successfully" with black or transparent rows. These checks walk
// the file's structure (without decoding pixels) and refuse a file that ends
// before the data of the picture that would be shown. False with a reason.

// BMP: the pixel rows that the header announces all lie inside the file
// (checked for uncompressed bitmaps; others are left to the decoder).
bool bmp_data_complete(const std::uint8_t* data, std::size_t size, std::string& reason);

// TGA: the colour map and every pixel, raw or run-length packets, are there.
bool tga_data_complete(const std::uint8_t* data, std::size_t size, std::string& reason);

// GIF: the blocks up to the end of the first frame's image data are there.
bool gif_data_complete(const std::uint8_t* data, std::size_t size, std::string& reason);

}  // namespace imageloader
