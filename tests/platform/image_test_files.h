#pragma once

// Picture files that the image loader tests build byte by byte, so every
// pixel they check is known. JPEG, whose encoder the tests do not link, comes
// from small fixture files beside this header.

#include <spng.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace imagefiles {

using Bytes = std::vector<std::uint8_t>;

struct Rgba {
    std::uint8_t r, g, b, a;
};

inline void put16le(Bytes& out, unsigned value) {
    out.push_back(std::uint8_t(value));
    out.push_back(std::uint8_t(value >> 8));
}
inline void put32le(Bytes& out, std::uint32_t value) {
    put16le(out, value & 0xffff);
    put16le(out, value >> 16);
}

// A PNG of any colour type and depth. samples holds the rows in PNG's own
// sample layout (bytes per sample as the depth needs; sub-byte depths packed).
struct PngLayout {
    std::uint32_t width = 1, height = 1;
    std::uint8_t color_type = SPNG_COLOR_TYPE_TRUECOLOR_ALPHA;
    std::uint8_t bit_depth = 8;
    bool interlaced = false;
    Bytes samples;
    std::vector<Rgba> palette;       // colour type 3; its alpha goes to tRNS
    int grey_key = -1;               // colour type 0: this grey is transparent
};

inline Bytes encode_png(const PngLayout& layout) {
    std::unique_ptr<spng_ctx, void (*)(spng_ctx*)> ctx(spng_ctx_new(SPNG_CTX_ENCODER), spng_ctx_free);
    spng_set_option(ctx.get(), SPNG_ENCODE_TO_BUFFER, 1);
    spng_ihdr header{};
    header.width = layout.width;
    header.height = layout.height;
    header.bit_depth = layout.bit_depth;
    header.color_type = layout.color_type;
    header.interlace_method = layout.interlaced ? 1 : 0;
    int rc = spng_set_ihdr(ctx.get(), &header);
    if (rc == 0 && !layout.palette.empty()) {
        spng_plte plte{};
        spng_trns trns{};
        plte.n_entries = std::uint32_t(layout.palette.size());
        trns.n_type3_entries = plte.n_entries;
        for (std::size_t i = 0; i < layout.palette.size(); ++i) {
            plte.entries[i] = {layout.palette[i].r, layout.palette[i].g, layout.palette[i].b, 255};
            trns.type3_alpha[i] = layout.palette[i].a;
        }
        rc = spng_set_plte(ctx.get(), &plte);
        if (rc == 0) rc = spng_set_trns(ctx.get(), &trns);
    }
    if (rc == 0 && layout.grey_key >= 0) {
        spng_trns trns{};
        trns.gray = std::uint16_t(layout.grey_key);
        rc = spng_set_trns(ctx.get(), &trns);
    }
    if (rc == 0)
        rc = spng_encode_image(ctx.get(), layout.samples.data(), layout.samples.size(), SPNG_FMT_PNG,
                               SPNG_ENCODE_FINALIZE);
    if (rc != 0) throw std::runtime_error(std::string("test PNG encoder: ") + spng_strerror(rc));
    std::size_t size = 0;
    void* buffer = spng_get_png_buffer(ctx.get(), &size, &rc);
    if (!buffer) throw std::runtime_error(std::string("test PNG encoder: ") + spng_strerror(rc));
    Bytes bytes(static_cast<std::uint8_t*>(buffer), static_cast<std::uint8_t*>(buffer) + size);
    free(buffer);
    return bytes;
}

inline std::uint32_t crc32(const std::uint8_t* data, std::size_t size) {
    std::uint32_t crc = 0xffffffffu;
    for (std::size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

// A PNG whose IHDR claims width x height; the rest is a valid 1 x 1 picture.
inline Bytes png_claiming(std::uint32_t width, std::uint32_t height) {
    PngLayout layout;
    layout.samples = {1, 2, 3, 255};
    Bytes bytes = encode_png(layout);
    // IHDR data starts at byte 16: signature (8), length (4), type (4).
    for (int i = 0; i < 4; ++i) {
        bytes[16 + i] = std::uint8_t(width >> (24 - 8 * i));
        bytes[20 + i] = std::uint8_t(height >> (24 - 8 * i));
    }
    const std::uint32_t crc = crc32(bytes.data() + 12, 17);  // type and 13 data bytes
    for (int i = 0; i < 4; ++i) bytes[29 + i] = std::uint8_t(crc >> (24 - 8 * i));
    return bytes;
}

// An uncompressed BMP, bottom-up rows padded to 4 bytes; 24 or 32 bits.
inline Bytes encode_bmp(int width, int height, const std::vector<Rgba>& pixels, int bits) {
    const int row_bytes = (width * (bits / 8) + 3) & ~3;
    Bytes out{'B', 'M'};
    put32le(out, std::uint32_t(54 + row_bytes * height));
    put32le(out, 0);
    put32le(out, 54);
    put32le(out, 40);
    put32le(out, std::uint32_t(width));
    put32le(out, std::uint32_t(height));
    put16le(out, 1);
    put16le(out, unsigned(bits));
    for (int i = 0; i < 6; ++i) put32le(out, i == 1 ? std::uint32_t(row_bytes * height) : 0);
    for (int y = height - 1; y >= 0; --y) {
        const std::size_t start = out.size();
        for (int x = 0; x < width; ++x) {
            const Rgba& p = pixels[std::size_t(y * width + x)];
            out.insert(out.end(), {p.b, p.g, p.r});
            if (bits == 32) out.push_back(p.a);
        }
        out.resize(start + std::size_t(row_bytes), 0);
    }
    return out;
}

// An uncompressed true-colour TGA of 24 or 32 bits, rows stored top-down or bottom-up.
inline Bytes encode_tga(int width, int height, const std::vector<Rgba>& pixels, int bits, bool top_down) {
    Bytes out{0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    put16le(out, unsigned(width));
    put16le(out, unsigned(height));
    out.push_back(std::uint8_t(bits));
    out.push_back(std::uint8_t((bits == 32 ? 8 : 0) | (top_down ? 0x20 : 0)));
    for (int row = 0; row < height; ++row) {
        const int y = top_down ? row : height - 1 - row;
        for (int x = 0; x < width; ++x) {
            const Rgba& p = pixels[std::size_t(y * width + x)];
            out.insert(out.end(), {p.b, p.g, p.r});
            if (bits == 32) out.push_back(p.a);
        }
    }
    return out;
}

// A 24-bit run-length TGA, bottom-up: a run of 3 red pixels, then one raw blue.
inline Bytes rle_tga_2x2() {
    return {0, 0, 10, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 2, 0, 24, 0,
            0x82, 0, 0, 255,  // run of 3
            0x00, 255, 0, 0};  // 1 raw
}

// One GIF frame of palette indices (0 to 3) with an optional transparent index.
struct GifFrame {
    std::vector<std::uint8_t> indices;
    int transparent = -1;
};

// A GIF with a 4-colour global palette. Its LZW data sends a clear code before
// every pixel, which keeps the code width at 3 bits: valid, if not compact.
inline Bytes encode_gif(int width, int height, const std::array<Rgba, 4>& palette,
                        const std::vector<GifFrame>& frames) {
    Bytes out{'G', 'I', 'F', '8', '9', 'a'};
    put16le(out, unsigned(width));
    put16le(out, unsigned(height));
    out.insert(out.end(), {0x81, 0, 0});  // global palette of 2^(1+1) entries
    for (const Rgba& p : palette) out.insert(out.end(), {p.r, p.g, p.b});
    for (const GifFrame& frame : frames) {
        const bool keyed = frame.transparent >= 0;
        out.insert(out.end(), {0x21, 0xf9, 4, std::uint8_t(keyed ? 1 : 0), 0, 0,
                               std::uint8_t(keyed ? frame.transparent : 0), 0});
        out.push_back(0x2c);
        put16le(out, 0);
        put16le(out, 0);
        put16le(out, unsigned(width));
        put16le(out, unsigned(height));
        out.push_back(0);
        out.push_back(2);  // minimum code size: clear = 4, end = 5
        Bytes packed;
        std::uint32_t bits = 0;
        int count = 0;
        auto emit = [&](unsigned code) {
            bits |= code << count;
            count += 3;
            while (count >= 8) packed.push_back(std::uint8_t(bits)), bits >>= 8, count -= 8;
        };
        for (std::uint8_t index : frame.indices) emit(4), emit(index);
        emit(5);
        if (count > 0) packed.push_back(std::uint8_t(bits));
        for (std::size_t at = 0; at < packed.size(); at += 255) {
            const std::size_t chunk = std::min<std::size_t>(255, packed.size() - at);
            out.push_back(std::uint8_t(chunk));
            out.insert(out.end(), packed.begin() + long(at), packed.begin() + long(at + chunk));
        }
        out.push_back(0);
    }
    out.push_back(0x3b);
    return out;
}

inline Bytes fixture(const std::string& name) {
    const auto path = std::filesystem::path(SCENE_TEST_SOURCE_DIR) / "tests" / "platform" / "fixtures" / name;
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("missing fixture " + path.string());
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace imagefiles
