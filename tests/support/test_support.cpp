#include "tests/support/test_support.h"

#include <spng.h>

#include <cstdlib>
#include <fstream>
#include <iostream>
#include <memory>
#include <stdexcept>

namespace testsupport {

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "scene-test-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("cannot make a folder like " + pattern);
    path_ = std::filesystem::canonical(pattern);
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::string TempDir::write_bytes(const std::string& relative, const std::vector<std::uint8_t>& bytes) const {
    const auto full = path_ / relative;
    std::filesystem::create_directories(full.parent_path());
    std::ofstream out(full, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + full.string());
    return full.string();
}

StderrCapture::StderrCapture() : previous_(std::cerr.rdbuf(buffer_.rdbuf())) {}

StderrCapture::~StderrCapture() { std::cerr.rdbuf(previous_); }

std::vector<std::string> StderrCapture::lines() const {
    std::vector<std::string> result;
    std::istringstream in(buffer_.str());
    for (std::string line; std::getline(in, line);) result.push_back(line);
    return result;
}

std::uint32_t RgbaImage::at(int x, int y) const {
    const std::size_t i = (std::size_t(y) * std::size_t(width) + std::size_t(x)) * 4;
    return (std::uint32_t(rgba[i]) << 24) | (std::uint32_t(rgba[i + 1]) << 16) | (std::uint32_t(rgba[i + 2]) << 8) |
           rgba[i + 3];
}

std::string read_file(const std::string& path) {
    std::ostringstream content;
    content << std::ifstream(path, std::ios::binary).rdbuf();
    return content.str();
}

std::vector<std::uint32_t> image_pixels(const Video_Image* image) {
    if (!image) return {};
    return {image->get_pixels(), image->get_pixels() + std::size_t(image->get_width()) * image->get_height()};
}

RgbaImage read_png(const std::string& path) {
    const std::string bytes = read_file(path);
    std::unique_ptr<spng_ctx, void (*)(spng_ctx*)> ctx(spng_ctx_new(0), spng_ctx_free);
    spng_set_png_buffer(ctx.get(), bytes.data(), bytes.size());
    spng_ihdr header{};
    std::size_t size = 0;
    RgbaImage image;
    int rc = spng_get_ihdr(ctx.get(), &header);
    if (rc == 0) rc = spng_decoded_image_size(ctx.get(), SPNG_FMT_RGBA8, &size);
    if (rc == 0) {
        image.rgba.resize(size);
        rc = spng_decode_image(ctx.get(), image.rgba.data(), size, SPNG_FMT_RGBA8, 0);
    }
    if (rc != 0) image.error = path + ": " + (bytes.empty() ? "cannot be read" : spng_strerror(rc));
    image.width = rc == 0 ? int(header.width) : 0;
    image.height = rc == 0 ? int(header.height) : 0;
    return image;
}

std::vector<std::uint8_t> encode_png(int width, int height, const std::vector<std::uint8_t>& rgba) {
    std::unique_ptr<spng_ctx, void (*)(spng_ctx*)> ctx(spng_ctx_new(SPNG_CTX_ENCODER), spng_ctx_free);
    spng_set_option(ctx.get(), SPNG_ENCODE_TO_BUFFER, 1);
    spng_ihdr header{};
    header.width = std::uint32_t(width);
    header.height = std::uint32_t(height);
    header.bit_depth = 8;
    header.color_type = SPNG_COLOR_TYPE_TRUECOLOR_ALPHA;
    spng_set_ihdr(ctx.get(), &header);
    int rc = spng_encode_image(ctx.get(), rgba.data(), rgba.size(), SPNG_FMT_PNG, SPNG_ENCODE_FINALIZE);
    if (rc != 0) throw std::runtime_error(std::string("encode_png: ") + spng_strerror(rc));
    std::size_t size = 0;
    int error = 0;
    void* buffer = spng_get_png_buffer(ctx.get(), &size, &error);
    if (!buffer) throw std::runtime_error(std::string("encode_png: ") + spng_strerror(error));
    std::vector<std::uint8_t> result(static_cast<std::uint8_t*>(buffer), static_cast<std::uint8_t*>(buffer) + size);
    free(buffer);
    return result;
}

std::string compare_pictures(const std::string& actual_path, const std::string& expected_path) {
    constexpr int channel_tolerance = 2;
    const RgbaImage actual = read_png(actual_path), expected = read_png(expected_path);
    if (!actual.error.empty() || !expected.error.empty()) return actual.error.empty() ? expected.error : actual.error;
    if (actual.width != expected.width || actual.height != expected.height)
        return "size " + std::to_string(actual.width) + "x" + std::to_string(actual.height) + " instead of " +
               std::to_string(expected.width) + "x" + std::to_string(expected.height);
    int differing = 0;
    for (std::size_t i = 0; i < actual.rgba.size(); ++i)
        differing += std::abs(int(actual.rgba[i]) - int(expected.rgba[i])) > channel_tolerance;
    return differing ? std::to_string(differing) + " channels differ from " + expected_path : "";
}

}  // namespace testsupport
