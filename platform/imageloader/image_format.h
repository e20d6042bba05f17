#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace imageloader {

// The loader name ("png", "jpg", "gif", "bmp", "tga") that suits a file by its
// first bytes, or "" when none does. TGA has no signature: it is chosen only
// for a header whose fields all hold values that TGA allows.
std::string loader_for_content(const std::uint8_t* data, std::size_t size);

bool has_png_signature(const std::uint8_t* data, std::size_t size);
bool has_jpeg_signature(const std::uint8_t* data, std::size_t size);
bool has_gif_signature(const std::uint8_t* data, std::size_t size);
bool has_bmp_signature(const std::uint8_t* data, std::size_t size);
bool has_plausible_tga_header(const std::uint8_t* data, std::size_t size);

}  // namespace imageloader
