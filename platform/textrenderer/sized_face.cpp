#include "platform/textrenderer/sized_face.h"

#include <hb-ft.h>

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
                case FT_PIXEL_MODE_BGRA:
                    target[x] = source[x * 4 + 3];  // colour glyphs contribute their alpha
                    break;
                default:
                    reason = "unsupported glyph pixel mode " + std::to_string(int(bitmap.pixel_mode));
                    return false;
            }
        }
    }
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
    error = FT_Set_Pixel_Sizes(face, 0, FT_UInt(size));
    if (error) {
        reason = "cannot be set to " + std::to_string(size) + " pixels: " + freetype_reason(error);
        return nullptr;
    }
    sized->hb_font_ = hb_ft_font_create_referenced(face);
    hb_ft_font_set_load_flags(sized->hb_font_, load_flags);
    const FT_Size_Metrics& metrics = face->size->metrics;
    sized->ascender_ = ceil_pixels(metrics.ascender);
    sized->line_height_ = std::max(1, ceil_pixels(metrics.height));
    return sized;
}

SizedFace::SizedFace(FT_Face face, FontBytes bytes) : face_(face), bytes_(std::move(bytes)) {}

SizedFace::~SizedFace() {
    if (hb_font_) hb_font_destroy(hb_font_);  // drops its own reference to the face
    FT_Done_Face(face_);
}

const GlyphBitmap* SizedFace::glyph(std::uint32_t glyph_index, std::string& reason) {
    if (auto found = glyphs_.find(glyph_index); found != glyphs_.end()) return &found->second;
    FT_Error error = FT_Load_Glyph(face_, glyph_index, load_flags);
    if (!error) error = FT_Render_Glyph(face_->glyph, FT_RENDER_MODE_NORMAL);
    if (error) {
        reason = "glyph " + std::to_string(glyph_index) + " cannot be rendered: " + freetype_reason(error);
        return nullptr;
    }
    GlyphBitmap bitmap;
    if (!copy_coverage(face_->glyph->bitmap, bitmap, reason)) return nullptr;
    bitmap.left = face_->glyph->bitmap_left;
    bitmap.top = face_->glyph->bitmap_top;
    cached_bytes_ += bitmap.coverage.size() + sizeof(GlyphBitmap);
    return &glyphs_.emplace(glyph_index, std::move(bitmap)).first->second;
}

void SizedFace::clear_glyphs() {
    glyphs_.clear();
    cached_bytes_ = 0;
}

}  // namespace textrenderer
