#include "platform/imageloader/decoded_image.h"

#include "services/video.h"

namespace imageloader {

bool check_dimensions(std::uint64_t width, std::uint64_t height, std::string& reason, std::uint64_t max_pixels) {
    const std::string size = std::to_string(width) + " x " + std::to_string(height);
    if (width == 0 || height == 0) {
        reason = "image has no pixels (" + size + ")";
        return false;
    }
    if (width > max_image_width) {
        reason = "image is " + size + " pixels, wider than the limit of " + std::to_string(max_image_width);
        return false;
    }
    // width is at most 65535 here, so the product cannot overflow.
    if (width * height > max_pixels) {
        reason = "image is " + size + " pixels, more than the limit of " + std::to_string(max_pixels);
        return false;
    }
    return true;
}

void rgba_to_device(const std::uint8_t* rgba, int width, int height, DecodedImage& image) {
    const std::size_t count = std::size_t(width) * std::size_t(height);
    image.width = width;
    image.height = height;
    image.pixels.resize(count);
    for (std::size_t i = 0; i < count; ++i, rgba += 4)
        image.pixels[i] = video_pixel::make(rgba[0], rgba[1], rgba[2], rgba[3]);
}

void rgba_to_device_in_place(DecodedImage& image) {
    const auto* rgba = reinterpret_cast<const std::uint8_t*>(image.pixels.data());
    for (std::uint32_t& pixel : image.pixels) {
        pixel = video_pixel::make(rgba[0], rgba[1], rgba[2], rgba[3]);  // reads the 4 bytes before writing them
        rgba += 4;
    }
}

}  // namespace imageloader
