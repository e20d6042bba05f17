#include "player/png_file.h"

#include <spng.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

namespace player {

bool write_rgba_png(const std::string& path, int width, int height, const std::vector<std::uint8_t>& rgba,
                    std::string& error) {
    if (width < 1 || height < 1 || rgba.size() != std::size_t(width) * std::size_t(height) * 4) {
        error = path + ": " + std::to_string(rgba.size()) + " bytes are no " + std::to_string(width) + " x " +
                std::to_string(height) + " RGBA picture";
        return false;
    }
    std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "wb"), std::fclose);
    if (!file) {
        error = path + ": " + std::strerror(errno);
        return false;
    }
    std::unique_ptr<spng_ctx, void (*)(spng_ctx*)> ctx(spng_ctx_new(SPNG_CTX_ENCODER), spng_ctx_free);
    if (!ctx) {
        error = path + ": out of memory";
        return false;
    }
    spng_ihdr header{};
    header.width = std::uint32_t(width);
    header.height = std::uint32_t(height);
    header.bit_depth = 8;
    header.color_type = SPNG_COLOR_TYPE_TRUECOLOR_ALPHA;
    int rc = spng_set_png_file(ctx.get(), file.get());
    if (rc == 0) rc = spng_set_ihdr(ctx.get(), &header);
    if (rc == 0) rc = spng_encode_image(ctx.get(), rgba.data(), rgba.size(), SPNG_FMT_PNG, SPNG_ENCODE_FINALIZE);
    if (rc != 0) {
        error = path + ": " + spng_strerror(rc);
        return false;
    }
    // The encoder wrote through stdio: a full disk shows up only when the file is closed.
    if (std::fclose(file.release()) != 0) {
        error = path + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

}  // namespace player
