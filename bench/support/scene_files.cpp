#include "bench/support/scene_files.h"

#include <spng.h>
#include <unistd.h>

#include <fstream>
#include <memory>
#include <sstream>

namespace bench {

TempFolder::TempFolder() {
    const auto base = std::filesystem::temp_directory_path();
    for (int attempt = 0;; ++attempt) {
        auto candidate = base / ("scene-bench-" + std::to_string(::getpid()) + "-" + std::to_string(attempt));
        if (std::filesystem::create_directory(candidate)) {
            path_ = std::filesystem::canonical(candidate);
            return;
        }
    }
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::string TempFolder::write(const std::string& relative, const std::string& bytes) const {
    const auto full = path_ / relative;
    std::filesystem::create_directories(full.parent_path());
    std::ofstream(full, std::ios::binary) << bytes;
    return full.string();
}

std::string TempFolder::write(const std::string& relative, const std::vector<std::uint8_t>& bytes) const {
    return write(relative, std::string(bytes.begin(), bytes.end()));
}

std::vector<std::uint8_t> encode_png(int width, int height, const std::vector<std::uint8_t>& rgba) {
    std::unique_ptr<spng_ctx, void (*)(spng_ctx*)> ctx(spng_ctx_new(SPNG_CTX_ENCODER), spng_ctx_free);
    if (!ctx) return {};
    spng_set_option(ctx.get(), SPNG_ENCODE_TO_BUFFER, 1);
    spng_ihdr header{};
    header.width = std::uint32_t(width);
    header.height = std::uint32_t(height);
    header.bit_depth = 8;
    header.color_type = SPNG_COLOR_TYPE_TRUECOLOR_ALPHA;
    if (spng_set_ihdr(ctx.get(), &header) != 0) return {};
    if (spng_encode_image(ctx.get(), rgba.data(), rgba.size(), SPNG_FMT_PNG, SPNG_ENCODE_FINALIZE) != 0) return {};
    std::size_t size = 0;
    int error = 0;
    void* buffer = spng_get_png_buffer(ctx.get(), &size, &error);
    if (!buffer || error != 0) return {};
    std::vector<std::uint8_t> bytes(static_cast<std::uint8_t*>(buffer), static_cast<std::uint8_t*>(buffer) + size);
    free(buffer);  // spng hands over a malloc'd buffer
    return bytes;
}

std::vector<std::uint8_t> gradient_rgba(int width, int height, std::uint32_t seed) {
    std::vector<std::uint8_t> rgba(std::size_t(width) * std::size_t(height) * 4);
    std::uint32_t noise = seed | 1u;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            noise ^= noise << 13, noise ^= noise >> 17, noise ^= noise << 5;  // xorshift: a little grain
            std::uint8_t* p = &rgba[(std::size_t(y) * std::size_t(width) + std::size_t(x)) * 4];
            p[0] = std::uint8_t(x * 255 / (width > 1 ? width - 1 : 1));
            p[1] = std::uint8_t(y * 255 / (height > 1 ? height - 1 : 1));
            p[2] = std::uint8_t((x + y) * 2 + (noise & 7));
            // Quarter clear, quarter opaque, half in between: real blending work.
            int band = (x * 4) / (width > 0 ? width : 1);
            p[3] = band == 0 ? 0 : band == 3 ? 255 : std::uint8_t(32 + ((x * 7 + y * 3 + int(noise & 15)) % 192));
        }
    }
    return rgba;
}

PicturePlacement picture_placement(int index) {
    PicturePlacement placement;
    placement.name = std::string("o").append(std::to_string(index));
    placement.x = float((index * 37) % 800);
    placement.y = float((index * 53) % 600);
    placement.z_level = index % 4;
    return placement;
}

std::string picture_scene_yaml(int count, const std::string& picture_file) {
    return picture_scene_yaml(count, [&picture_file](int) { return picture_file; });
}

std::string picture_scene_yaml(int count, const std::function<std::string(int)>& picture_file_of) {
    std::ostringstream out;
    out << "Scene:\n  show_mouse_cursor: 1\n  Objects:\n";
    for (int i = 0; i < count; ++i) {
        PicturePlacement p = picture_placement(i);
        out << "    Object" << i << ":\n      name: " << p.name << "\n      z_level: " << p.z_level
            << "\n      type: Image\n";
    }
    out << "Objects:\n";
    for (int i = 0; i < count; ++i) {
        PicturePlacement p = picture_placement(i);
        out << "  " << p.name << ":\n    SceneObject:\n      coord_type: absolute\n      absolute_x: " << p.x
            << "\n      absolute_y: " << p.y << "\n    Image:\n      image_file: " << picture_file_of(i) << "\n";
    }
    return out.str();
}

std::string scene_list_yaml(const std::string& scene_name, const std::string& scene_file, bool preload) {
    return "Scenes:\n  Scene0:\n    name: " + scene_name + "\n    file: " + scene_file + "\n    preload: " +
           (preload ? "\"true\"" : "\"false\"") + "\n";
}

std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

}  // namespace bench
