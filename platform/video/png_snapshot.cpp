#include "platform/video/png_snapshot.h"

#include <spng.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace {

struct SpngFree {
    void operator()(spng_ctx* context) const { spng_ctx_free(context); }
};
struct BufferFree {
    void operator()(void* buffer) const { std::free(buffer); }
};
struct FileClose {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

std::vector<unsigned char> to_rgba_bytes(const std::uint32_t* frame, std::size_t count) {
    std::vector<unsigned char> bytes(count * 4);
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint32_t word = frame[i];
        bytes[i * 4 + 0] = static_cast<unsigned char>(word >> 16);
        bytes[i * 4 + 1] = static_cast<unsigned char>(word >> 8);
        bytes[i * 4 + 2] = static_cast<unsigned char>(word);
        bytes[i * 4 + 3] = static_cast<unsigned char>(word >> 24);
    }
    return bytes;
}

bool encode(const std::vector<unsigned char>& rgba, int width, int height, std::unique_ptr<void, BufferFree>& png,
            std::size_t& size, std::string& reason) {
    std::unique_ptr<spng_ctx, SpngFree> context(spng_ctx_new(SPNG_CTX_ENCODER));
    if (!context) {
        reason = "the PNG encoder could not be made";
        return false;
    }
    spng_set_option(context.get(), SPNG_ENCODE_TO_BUFFER, 1);
    spng_ihdr header{};
    header.width = std::uint32_t(width);
    header.height = std::uint32_t(height);
    header.bit_depth = 8;
    header.color_type = SPNG_COLOR_TYPE_TRUECOLOR_ALPHA;
    int result = spng_set_ihdr(context.get(), &header);
    if (result == 0)
        result = spng_encode_image(context.get(), rgba.data(), rgba.size(), SPNG_FMT_PNG, SPNG_ENCODE_FINALIZE);
    if (result != 0) {
        reason = spng_strerror(result);
        return false;
    }
    png.reset(spng_get_png_buffer(context.get(), &size, &result));
    if (!png) {
        reason = spng_strerror(result);
        return false;
    }
    return true;
}

}  // namespace

bool write_frame_png(const std::string& path, const std::uint32_t* frame, int width, int height,
                     std::string& error) {
    const std::string what = "Can't write snapshot \"" + path + "\": ";
    std::unique_ptr<void, BufferFree> png;
    std::size_t size = 0;
    std::string reason;
    if (!encode(to_rgba_bytes(frame, std::size_t(width) * std::size_t(height)), width, height, png, size, reason)) {
        error = what + reason;
        return false;
    }
    errno = 0;
    std::unique_ptr<std::FILE, FileClose> file(std::fopen(path.c_str(), "wb"));
    if (!file) {
        error = what + std::strerror(errno);
        return false;
    }
    const bool written = std::fwrite(png.get(), 1, size, file.get()) == size;
    const int write_errno = errno;
    const bool closed = std::fclose(file.release()) == 0;  // a full disk may only show at close
    if (!written || !closed) {
        error = what + std::strerror(written ? errno : write_errno);
        return false;
    }
    return true;
}
