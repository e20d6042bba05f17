#include <stb_image.h>

#include <climits>
#include <memory>

#include "platform/imageloader/decoders.h"
#include "platform/imageloader/image_format.h"
#include "platform/imageloader/stb_completeness.h"

namespace imageloader {

namespace {

using CompletenessCheck = bool (*)(const std::uint8_t*, std::size_t, std::string&);

// stb_image decodes whatever format it recognises; the signature checks keep
// a file named by one loader from being decoded as another.
bool decode_with_stb(const char* format, bool signature_ok, CompletenessCheck complete, std::uint64_t max_pixels,
                     const std::uint8_t* data, std::size_t size, DecodedImage& image, std::string& reason) {
    image = DecodedImage{};
    const std::string prefix = std::string(format) + " decoder: ";
    if (!signature_ok) {
        reason = prefix + "not a " + format + " file";
        return false;
    }
    if (size > std::size_t(INT_MAX)) {  // stb_image takes an int length
        reason = prefix + "file too large";
        return false;
    }
    const int length = int(size);
    int width = 0, height = 0, channels = 0;
    if (!stbi_info_from_memory(data, length, &width, &height, &channels)) {
        reason = prefix + stbi_failure_reason();
        return false;
    }
    if (!check_dimensions(std::uint64_t(width), std::uint64_t(height), reason, max_pixels)) return false;
    if (!complete(data, size, reason)) {
        reason = prefix + reason;
        return false;
    }

    int decoded_width = 0, decoded_height = 0;
    std::unique_ptr<stbi_uc, decltype(&stbi_image_free)> rgba(
        stbi_load_from_memory(data, length, &decoded_width, &decoded_height, &channels, 4), stbi_image_free);
    if (!rgba) {
        reason = prefix + stbi_failure_reason();
        return false;
    }
    if (decoded_width != width || decoded_height != height) {  // the header check must hold for what was decoded
        reason = prefix + "decoded size differs from the header";
        return false;
    }
    rgba_to_device(rgba.get(), width, height, image);
    return true;
}

}  // namespace

bool decode_bmp(const std::uint8_t* data, std::size_t size, DecodedImage& image, std::string& reason) {
    return decode_with_stb("BMP", has_bmp_signature(data, size), bmp_data_complete, max_image_pixels, data, size,
                           image, reason);
}

bool decode_tga(const std::uint8_t* data, std::size_t size, DecodedImage& image, std::string& reason) {
    return decode_with_stb("TGA", has_plausible_tga_header(data, size), tga_data_complete, max_image_pixels, data,
                           size, image, reason);
}

bool decode_gif(const std::uint8_t* data, std::size_t size, DecodedImage& image, std::string& reason) {
    return decode_with_stb("GIF", has_gif_signature(data, size), gif_data_complete, max_gif_pixels, data, size, image,
                           reason);
}

}  // namespace imageloader
