#include "platform/imageloader/loaders.h"

#include <array>

#include "platform/imageloader/decoders.h"

namespace imageloader {

namespace {

struct Loader {
    const char* name;
    Decoder decode;
};

constexpr std::array<Loader, 6> loaders{{
    {"png", decode_png},
    {"jpg", decode_jpeg},
    {"jpeg", decode_jpeg},
    {"bmp", decode_bmp},
    {"tga", decode_tga},
    {"gif", decode_gif},
}};

}  // namespace

Decoder find_decoder(const std::string& loader) {
    for (const Loader& entry : loaders)
        if (loader == entry.name) return entry.decode;
    return nullptr;
}

const char* known_loaders() { return "png, jpg, jpeg, bmp, tga, gif"; }

}  // namespace imageloader
