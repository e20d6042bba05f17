#include "platform/textrenderer/text_raster.h"

#include <algorithm>
#include <limits>
#include <string_view>

namespace textrenderer {

namespace {

// A glyph placed in image space before the image's left edge is known.
struct PlacedGlyph {
    const GlyphBitmap* bitmap;
    std::int64_t x;  // left column, from the pen origin
    std::int64_t y;  // top row, from the first line's top
};

std::int64_t round_pixels(std::int64_t fixed) { return (fixed + 32) >> 6; }  // 26.6 to whole pixels

std::vector<std::string_view> split_lines(const std::string& text) {
    std::vector<std::string_view> lines;
    std::string_view rest(text);
    for (;;) {
        const auto end = rest.find('\n');
        std::string_view line = rest.substr(0, end);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.push_back(line);
        if (end == std::string_view::npos) return lines;
        rest.remove_prefix(end + 1);
    }
}

void blit(const PlacedGlyph& glyph, std::int64_t left, Coverage& coverage) {
    const GlyphBitmap& bitmap = *glyph.bitmap;
    for (int row = 0; row < bitmap.rows; ++row) {
        const std::int64_t y = glyph.y + row;
        if (y < 0 || y >= coverage.height) continue;  // clipped above or below the lines
        const std::uint8_t* source = bitmap.coverage.data() + std::size_t(row) * std::size_t(bitmap.width);
        std::uint8_t* target = coverage.values.data() + std::size_t(y) * std::size_t(coverage.width);
        const std::int64_t x0 = glyph.x - left;
        for (int column = 0; column < bitmap.width; ++column) {
            std::uint8_t& value = target[x0 + column];  // in range: the width spans every glyph
            value = std::max(value, source[column]);    // overlapping glyphs do not darken
        }
    }
}

}  // namespace

bool rasterise_text(SizedFace& face, hb_buffer_t* buffer, const std::string& text, Coverage& coverage,
                    std::string& reason) {
    const auto lines = split_lines(text);
    const std::int64_t line_height = face.line_height();
    const std::int64_t height = std::int64_t(lines.size()) * line_height;
    if (height > max_text_pixels) {
        reason = "text of " + std::to_string(lines.size()) + " lines is too tall to render";
        return false;
    }

    std::vector<PlacedGlyph> placed;
    std::int64_t left = std::numeric_limits<std::int64_t>::max(), right = std::numeric_limits<std::int64_t>::min();
    for (std::size_t line = 0; line < lines.size(); ++line) {
        hb_buffer_clear_contents(buffer);
        hb_buffer_add_utf8(buffer, lines[line].data(), int(lines[line].size()), 0, int(lines[line].size()));
        hb_buffer_guess_segment_properties(buffer);
        hb_shape(face.shaping_font(), buffer, nullptr, 0);
        unsigned count = 0;
        const hb_glyph_info_t* infos = hb_buffer_get_glyph_infos(buffer, &count);
        const hb_glyph_position_t* positions = hb_buffer_get_glyph_positions(buffer, &count);
        const std::int64_t baseline = std::int64_t(line) * line_height + face.ascender();
        std::int64_t pen = 0;
        for (unsigned i = 0; i < count; ++i) {
            const GlyphBitmap* bitmap = face.glyph(infos[i].codepoint, reason);
            if (!bitmap) return false;
            const std::int64_t x = round_pixels(pen + positions[i].x_offset) + bitmap->left;
            const std::int64_t y = baseline - round_pixels(positions[i].y_offset) - bitmap->top;
            pen += positions[i].x_advance;
            if (bitmap->width == 0 || bitmap->rows == 0) continue;  // spaces have no ink
            placed.push_back({bitmap, x, y});
            left = std::min(left, x);
            right = std::max(right, x + bitmap->width);
        }
    }
    if (placed.empty()) left = 0, right = 1;  // nothing visible: one transparent column
    const std::int64_t width = right - left;
    if (width > max_text_width || width * height > max_text_pixels) {
        reason = "rendered text would be " + std::to_string(width) + " x " + std::to_string(height) +
                 " pixels, above the limit of " + std::to_string(max_text_width) + " pixels wide and " +
                 std::to_string(max_text_pixels) + " pixels in all";
        return false;
    }
    coverage.width = int(width);
    coverage.height = int(height);
    coverage.values.assign(std::size_t(width) * std::size_t(height), 0);
    for (const PlacedGlyph& glyph : placed) blit(glyph, left, coverage);
    return true;
}

}  // namespace textrenderer
