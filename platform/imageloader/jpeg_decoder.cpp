#include <turbojpeg.h>

#include <memory>

#include "platform/imageloader/decoders.h"
#include "services/video.h"

namespace imageloader {

namespace {

using Handle = std::unique_ptr<void, decltype(&tjDestroy)>;

bool fail(tjhandle handle, std::string& reason) {
    reason = std::string("JPEG decoder: ") + tjGetErrorStr2(handle);
    return false;
}

// CMYK JPEGs store inverted inks (the Adobe convention), so each channel is
// the product of its ink and black.
void cmyk_to_device_in_place(DecodedImage& image) {
    const auto* cmyk = reinterpret_cast<const std::uint8_t*>(image.pixels.data());
    for (std::uint32_t& pixel : image.pixels) {
        const unsigned k = cmyk[3];
        const auto mix = [k](unsigned ink) { return std::uint8_t((ink * k + 127) / 255); };
        pixel = video_pixel::make(mix(cmyk[0]), mix(cmyk[1]), mix(cmyk[2]), 255);
        cmyk += 4;
    }
}

}  // namespace

bool decode_jpeg(const std::uint8_t* data, std::size_t size, DecodedImage& image, std::string& reason) {
    image = DecodedImage{};
    Handle handle(tjInitDecompress(), tjDestroy);
    if (!handle) {
        reason = std::string("JPEG decoder: ") + tjGetErrorStr2(nullptr);
        return false;
    }
    if (size > 0xffffffffu) {  // the decoder takes a 32-bit length
        reason = "JPEG decoder: file too large";
        return false;
    }
    const auto length = static_cast<unsigned long>(size);
    int width = 0, height = 0, subsampling = 0, colorspace = 0;
    if (tjDecompressHeader3(handle.get(), data, length, &width, &height, &subsampling, &colorspace) != 0)
        return fail(handle.get(), reason);
    if (width < 0 || height < 0 || !check_dimensions(std::uint64_t(width), std::uint64_t(height), reason))
        return false;

    const bool cmyk = colorspace == TJCS_CMYK || colorspace == TJCS_YCCK;
    const int format = cmyk ? TJPF_CMYK : TJPF_RGBA;  // RGBA comes back with alpha 255
    image.pixels.resize(std::size_t(width) * std::size_t(height));
    // Warnings stop the decode: a truncated or damaged file is refused instead
    // of shown with grey filler. LIMITSCANS guards against progressive files
    // built to take forever.
    const int flags = TJFLAG_STOPONWARNING | TJFLAG_LIMITSCANS | TJFLAG_ACCURATEDCT;
    if (tjDecompress2(handle.get(), data, length, reinterpret_cast<unsigned char*>(image.pixels.data()), width,
                      width * 4, height, format, flags) != 0) {
        image = DecodedImage{};
        return fail(handle.get(), reason);
    }
    image.width = width;
    image.height = height;
    if (cmyk)
        cmyk_to_device_in_place(image);
    else
        rgba_to_device_in_place(image);
    return true;
}

}  // namespace imageloader
