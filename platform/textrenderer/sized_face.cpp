#include "platform/textrenderer/sized_face.h"

#include <hb-ft.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace textrenderer {

namespace {

// Light hinting snaps only vertically, so the rendered glyphs keep the
// horizontal advances that HarfBuzz shapes with.
constexpr FT_Int32 load_flags = FT_LOAD_DEFAULT | FT_LOAD_TARGET_LIGHT;

int ceil_pixels(FT_Pos value) { return int((value + 63) >> 6); }  // from 26.6 fixed point

bool copy_coverage(const FT_Bitmap& bitmap, GlyphBitmap& glyph, std::string& reason) {
    glyph.width = int(bitmap.width);
    glyph.rows = int(bitmap.rows);
    glyph.coverage.assign(std::size_t(glyph.width) * std::size_t(glyph.rows), 0);
    const int stride = bitmap.pitch < 0 ? -bitmap.pitch : bitmap.pitch;
    for (int row = 0; row < glyph.rows; ++row) {
        // A negative pitch stores the bottom row first.
        const unsigned char* source = bitmap.buffer + std::size_t(bitmap.pitch < 0 ? glyph.rows - 1 - row : row) *
                                                          std::size_t(stride);
        std::uint8_t* target = glyph.coverage.data() + std::size_t(row) * std::size_t(glyph.width);
        for (int x = 0; x < glyph.width; ++x) {
            switch (bitmap.pixel_mode) {
                case FT_PIXEL_MODE_GRAY:
                    target[x] = std::uint8_t(bitmap.num_grays == 256 ? source[x]
                                                                     : source[x] * 255 / (bitmap.num_grays - 1));
                    break;
                case FT_PIXEL_MODE_MONO:
                    target[x] = (source[x >> 3] & (0x80 >> (x & 7))) ? 255 : 0;
                    break;
                default:
                    reason = "unsupported glyph pixel mode " + std::to_string(int(bitmap.pixel_mode));
                    return false;
            }
        }
    }
    return true;
}

// The strike of a bitmap-only face to scale from: the smallest at least size
// pixels tall (scaling down keeps detail), else the largest.
int nearest_strike(FT_Face face, int size) {
    int best = 0;
    for (int i = 1; i < face->num_fixed_sizes; ++i) {
        const FT_Pos have = face->available_sizes[best].y_ppem, offer = face->available_sizes[i].y_ppem;
        const FT_Pos wanted = FT_Pos(size) * 64;
        const bool offer_fits = offer >= wanted, have_fits = have >= wanted;
        if ((offer_fits && (!have_fits || offer < have)) || (!offer_fits && !have_fits && offer > have)) best = i;
    }
    return best;
}

// Larger scaled glyphs are refused: only a broken strike size gives them.
bool scaled_size_fits(int width, int rows, double scale, int size, GlyphBitmap& glyph, std::string& reason) {
    const double limit = 4.0 * size + 64;
    if (width * scale > limit || rows * scale > limit) {
        reason = "a bitmap glyph would scale to more than " + std::to_string(int(limit)) + " pixels";
        return false;
    }
    glyph.width = std::max(1, int(std::lround(width * scale)));
    glyph.rows = std::max(1, int(std::lround(rows * scale)));
    return true;
}

// Rows of channels bytes a pixel, from top to bottom step bytes apart, scaled
// by area averaging into glyph's size: each target pixel averages the source
// pixels under it (at least the nearest one, when scaling up).
std::vector<std::uint8_t> scale_bytes(const unsigned char* top, std::ptrdiff_t step, int width, int rows,
                                      int channels, const GlyphBitmap& glyph) {
    std::vector<std::uint8_t> scaled(std::size_t(glyph.width) * std::size_t(glyph.rows) * std::size_t(channels));
    auto span = [](int target, int to, int from, int& first, int& end) {
        first = std::min(from - 1, int(std::int64_t(target) * from / to));
        end = std::clamp(int(std::int64_t(target + 1) * from / to), first + 1, from);
    };
    std::uint8_t* out = scaled.data();
    for (int y = 0; y < glyph.rows; ++y) {
        int y0, y1;
        span(y, glyph.rows, rows, y0, y1);
        for (int x = 0; x < glyph.width; ++x) {
            int x0, x1;
            span(x, glyph.width, width, x0, x1);
            const std::uint32_t count = std::uint32_t((y1 - y0) * (x1 - x0));
            for (int c = 0; c < channels; ++c) {
                std::uint32_t sum = 0;
                for (int sy = y0; sy < y1; ++sy)
                    for (int sx = x0; sx < x1; ++sx) sum += top[sy * step + sx * channels + c];
                *out++ = std::uint8_t((sum + count / 2) / count);
            }
        }
    }
    return scaled;
}

// A glyph of a bitmap strike at scale: colour (premultiplied BGRA) or coverage.
bool scale_strike_glyph(const FT_Bitmap& bitmap, double scale, int size, GlyphBitmap& glyph, std::string& reason) {
    if (bitmap.pixel_mode == FT_PIXEL_MODE_BGRA) {
        if (!scaled_size_fits(int(bitmap.width), int(bitmap.rows), scale, size, glyph, reason)) return false;
        // A negative pitch stores the bottom row first.
        const unsigned char* top = bitmap.pitch < 0 ? bitmap.buffer - std::ptrdiff_t(bitmap.rows - 1) * bitmap.pitch
                                                    : bitmap.buffer;
        const auto bytes = scale_bytes(top, bitmap.pitch, int(bitmap.width), int(bitmap.rows), 4, glyph);
        glyph.colour.resize(bytes.size() / 4);
        for (std::size_t i = 0; i < glyph.colour.size(); ++i)
            glyph.colour[i] = std::uint32_t(bytes[4 * i + 3]) << 24 | std::uint32_t(bytes[4 * i + 2]) << 16 |
                              std::uint32_t(bytes[4 * i + 1]) << 8 | bytes[4 * i];
        return true;
    }
    GlyphBitmap full;
    if (!copy_coverage(bitmap, full, reason) || !scaled_size_fits(full.width, full.rows, scale, size, glyph, reason))
        return false;
    glyph.coverage = scale_bytes(full.coverage.data(), full.width, full.width, full.rows, 1, glyph);
    return true;
}

}  // namespace

std::string freetype_reason(FT_Error error) {
    // FreeType is built without FT_Error_String's texts; its error header
    // expands to a table of them when included again with these macros.
#undef FTERRORS_H_
#define FT_ERRORDEF(code, value, text) {value, text},
#define FT_ERROR_START_LIST {
#define FT_ERROR_END_LIST {0, nullptr}};
    static const struct {
        int code;
        const char* text;
    } table[] =
#include FT_ERRORS_H
    for (const auto& entry : table)
        if (entry.text && entry.code == error)
            return std::string(entry.text) + " (FreeType error " + std::to_string(error) + ")";
    return "FreeType error " + std::to_string(error);
}

std::unique_ptr<SizedFace> SizedFace::open(FT_Library library, FontBytes bytes, int index, int size,
                                           std::string& reason) {
    FT_Face face = nullptr;
    FT_Error error = FT_New_Memory_Face(library, bytes->data(), FT_Long(bytes->size()), index, &face);
    if (error) {
        reason = freetype_reason(error);
        return nullptr;
    }
    std::unique_ptr<SizedFace> sized(new SizedFace(face, std::move(bytes)));
    sized->size_ = size;
    if (!FT_IS_SCALABLE(face) && FT_HAS_COLOR(face) && face->num_fixed_sizes > 0) {
        const int strike = nearest_strike(face, size);
        error = FT_Select_Size(face, strike);
        if (!error) sized->scale_ = size * 64.0 / double(std::max<FT_Pos>(1, face->available_sizes[strike].y_ppem));
    } else {
        error = FT_Set_Pixel_Sizes(face, 0, FT_UInt(size));
    }
    if (error) {
        reason = "cannot be set to " + std::to_string(size) + " pixels: " + freetype_reason(error);
        return nullptr;
    }
    if (FT_HAS_COLOR(face)) sized->load_flags_ |= FT_LOAD_COLOR;
    sized->hb_font_ = hb_ft_font_create_referenced(face);
    hb_ft_font_set_load_flags(sized->hb_font_, sized->load_flags_);
    const FT_Size_Metrics& metrics = face->size->metrics;
    const double scale = sized->scale_;
    sized->ascender_ = ceil_pixels(FT_Pos(double(metrics.ascender) * scale));
    sized->line_height_ = std::max(1, ceil_pixels(FT_Pos(double(metrics.height) * scale)));
    return sized;
}

SizedFace::SizedFace(FT_Face face, FontBytes bytes) : face_(face), bytes_(std::move(bytes)), load_flags_(load_flags) {}

bool SizedFace::has_char(char32_t code) {
    if (code >= std::size(known_chars_)) return FT_Get_Char_Index(face_, code) != 0;
    std::uint8_t& known = known_chars_[code];
    if (!known) known = FT_Get_Char_Index(face_, code) ? 2 : 1;
    return known == 2;
}

SizedFace::~SizedFace() {
    if (hb_font_) hb_font_destroy(hb_font_);  // drops its own reference to the face
    FT_Done_Face(face_);
}

const GlyphBitmap* SizedFace::glyph(std::uint32_t glyph_index, std::string& reason) {
    if (auto found = glyphs_.find(glyph_index); found != glyphs_.end()) return &found->second;
    FT_Error error = FT_Load_Glyph(face_, glyph_index, load_flags_);
    if (!error) error = FT_Render_Glyph(face_->glyph, FT_RENDER_MODE_NORMAL);
    if (error) {
        reason = "glyph " + std::to_string(glyph_index) + " cannot be rendered: " + freetype_reason(error);
        return nullptr;
    }
    GlyphBitmap bitmap;
    const FT_Bitmap& rendered = face_->glyph->bitmap;
    const bool scaled = rendered.width > 0 && rendered.rows > 0 &&
                        (scale_ != 1.0 || rendered.pixel_mode == FT_PIXEL_MODE_BGRA);
    if (scaled ? !scale_strike_glyph(rendered, scale_, size_, bitmap, reason) : !copy_coverage(rendered, bitmap, reason)) {
        reason = "glyph " + std::to_string(glyph_index) + " cannot be rendered: " + reason;
        return nullptr;
    }
    bitmap.left = int(std::lround(face_->glyph->bitmap_left * scale_));
    bitmap.top = int(std::lround(face_->glyph->bitmap_top * scale_));
    cached_bytes_ += bitmap.coverage.size() + bitmap.colour.size() * 4 + sizeof(GlyphBitmap);
    return &glyphs_.emplace(glyph_index, std::move(bitmap)).first->second;
}

void SizedFace::clear_glyphs() {
    glyphs_.clear();
    cached_bytes_ = 0;
}

}  // namespace textrenderer
