#pragma once

#include <ft2build.h>
#include FT_FREETYPE_H
#include <hb.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace textrenderer {

// One glyph rendered to 8-bit coverage, placed relative to the pen position
// on the baseline: its top-left pixel is at (pen + left, baseline - top).
// A colour glyph (an emoji) has its own pixels instead of coverage.
struct GlyphBitmap {
    int left = 0;
    int top = 0;
    int width = 0;
    int rows = 0;
    std::vector<std::uint8_t> coverage;  // rows of width bytes, 0 to 255
    std::vector<std::uint32_t> colour;   // rows of width premultiplied 0xAARRGGBB; empty for other glyphs
    bool is_colour() const { return !colour.empty(); }
};

// The bytes of a font file, shared by the faces opened from it. Faces read
// from memory, not from a mapped file, so a font file replaced or cut on disk
// while its faces are cached can never pull data from under FreeType.
using FontBytes = std::shared_ptr<const std::vector<std::uint8_t>>;

// A font face opened at one pixel size, with the HarfBuzz font that shapes
// with it and the glyphs rendered so far. Glyph pointers it hands out stay
// valid until clear_glyphs() or its destruction. A colour face of bitmap
// strikes only (emoji) is opened at its nearest strike and scaled to the size:
// its glyphs come scaled, its shaping positions are multiplied by scale().
class SizedFace {
public:
    // Opens face index of the font bytes at size pixels; null with reason on failure.
    static std::unique_ptr<SizedFace> open(FT_Library library, FontBytes bytes, int index, int size,
                                           std::string& reason);
    ~SizedFace();
    SizedFace(const SizedFace&) = delete;
    SizedFace& operator=(const SizedFace&) = delete;

    hb_font_t* shaping_font() const { return hb_font_; }
    // Distance between baselines and from a line's top to its baseline, in pixels.
    int line_height() const { return line_height_; }
    int ascender() const { return ascender_; }
    // 1 for outline faces; the size over the strike's size for bitmap faces.
    double scale() const { return scale_; }
    // Whether the face's character map has a glyph for the code point.
    bool has_char(char32_t code);

    // The glyph's coverage, rendered on first use and kept; null with reason
    // when FreeType cannot render it.
    const GlyphBitmap* glyph(std::uint32_t glyph_index, std::string& reason);
    // Bytes held by cached glyph bitmaps.
    std::size_t cached_bytes() const { return cached_bytes_; }
    void clear_glyphs();

private:
    SizedFace(FT_Face face, FontBytes bytes);

    FT_Face face_;
    FontBytes bytes_;  // FreeType reads from these for as long as the face lives
    hb_font_t* hb_font_ = nullptr;
    int line_height_ = 1;
    int ascender_ = 0;
    double scale_ = 1.0;
    int size_ = 0;
    FT_Int32 load_flags_;
    // Answers of has_char for the first code points, where most texts live:
    // 0 not asked yet, 1 absent, 2 present.
    std::uint8_t known_chars_[0x800] = {};
    std::unordered_map<std::uint32_t, GlyphBitmap> glyphs_;
    std::size_t cached_bytes_ = 0;
};

// FreeType's own text for an error code.
std::string freetype_reason(FT_Error error);

}  // namespace textrenderer
