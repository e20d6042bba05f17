#include <spng.h>

#include <memory>

#include "platform/imageloader/decoders.h"
#include "platform/imageloader/image_format.h"

namespace imageloader {

namespace {

// Ancillary chunks (text, ICC profiles, ...) are not needed to show the
// picture; these caps stop a file from making the decoder hold large ones.
constexpr std::size_t chunk_size_limit = 16u * 1024 * 1024;
constexpr std::size_t chunk_cache_limit = 64u * 1024 * 1024;

using Context = std::unique_ptr<spng_ctx, decltype(&spng_ctx_free)>;

bool fail(int code, std::string& reason) {
    reason = std::string("PNG decoder: ") + spng_strerror(code);
    return false;
}

}  // namespace

bool decode_png(const std::uint8_t* data, std::size_t size, DecodedImage& image, std::string& reason) {
    image = DecodedImage{};
    if (!has_png_signature(data, size)) {
        reason = "PNG decoder: not a PNG file";
        return false;
    }
    Context context(spng_ctx_new(0), spng_ctx_free);
    if (!context) {
        reason = "PNG decoder: out of memory";
        return false;
    }
    int rc = spng_set_png_buffer(context.get(), data, size);
    if (rc == 0) rc = spng_set_chunk_limits(context.get(), chunk_size_limit, chunk_cache_limit);
    if (rc != 0) return fail(rc, reason);

    spng_ihdr header{};
    rc = spng_get_ihdr(context.get(), &header);
    if (rc != 0) return fail(rc, reason);
    if (!check_dimensions(header.width, header.height, reason)) return false;

    std::size_t bytes = 0;
    rc = spng_decoded_image_size(context.get(), SPNG_FMT_RGBA8, &bytes);
    if (rc != 0) return fail(rc, reason);
    if (bytes != std::size_t(header.width) * header.height * 4) {
        reason = "PNG decoder: unexpected decoded size";
        return false;
    }
    // Decode straight into the pixel words and convert them in place.
    image.pixels.resize(std::size_t(header.width) * header.height);
    auto* rgba = reinterpret_cast<std::uint8_t*>(image.pixels.data());
    rc = spng_decode_image(context.get(), rgba, bytes, SPNG_FMT_RGBA8, SPNG_DECODE_TRNS);
    // Reading on to IEND refuses a file cut after its pixel data, too.
    if (rc == 0) rc = spng_decode_chunks(context.get());
    if (rc != 0) {
        image = DecodedImage{};
        return fail(rc, reason);
    }
    image.width = int(header.width);
    image.height = int(header.height);
    rgba_to_device_in_place(image);
    return true;
}

}  // namespace imageloader
