#include "platform/textrenderer/text_raster.h"

#include <algorithm>
#include <cmath>
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

// Colour glyphs go over what is below them (premultiplied: over + under * (1 - alpha)).
void blit_colour(const GlyphBitmap& bitmap, int row, std::uint32_t* target) {
    const std::uint32_t* source = bitmap.colour.data() + std::size_t(row) * std::size_t(bitmap.width);
    for (int column = 0; column < bitmap.width; ++column) {
        const std::uint32_t over = source[column], under = target[column], keep = 255 - (over >> 24);
        std::uint32_t mixed = 0;
        for (int shift = 24; shift >= 0; shift -= 8)
            mixed = (mixed << 8) | (((over >> shift) & 0xffu) + ((under >> shift) & 0xffu) * keep / 255);
        target[column] = mixed;
    }
}

void blit(const PlacedGlyph& glyph, std::int64_t left, Coverage& coverage) {
    const GlyphBitmap& bitmap = *glyph.bitmap;
    for (int row = 0; row < bitmap.rows; ++row) {
        const std::int64_t y = glyph.y + row;
        if (y < 0 || y >= coverage.height) continue;  // clipped above or below the lines
        // In range: the width spans every glyph.
        const std::size_t first = std::size_t(y) * std::size_t(coverage.width) + std::size_t(glyph.x - left);
        if (bitmap.is_colour()) {
            blit_colour(bitmap, row, coverage.colour.data() + first);
            continue;
        }
        const std::uint8_t* source = bitmap.coverage.data() + std::size_t(row) * std::size_t(bitmap.width);
        std::uint8_t* target = coverage.values.data() + first;
        for (int column = 0; column < bitmap.width; ++column)
            target[column] = std::max(target[column], source[column]);  // overlapping glyphs do not darken
    }
}

std::int64_t scaled(hb_position_t position, double scale) {
    return scale == 1.0 ? position : std::int64_t(std::llround(position * scale));
}

}  // namespace

bool rasterise_text(SizedFace& face, FaceSource& fallback, const std::string& text, RasterScratch& scratch,
                    Coverage& coverage, TtfLayout& layout, std::string& reason) {
    const auto lines = split_lines(text);
    // Lines are at least the chosen face's line height: refuse early what cannot fit.
    if (std::int64_t(lines.size()) * face.line_height() > max_text_pixels) {
        reason = "text of " + std::to_string(lines.size()) + " lines is too tall to render";
        return false;
    }
    layout.runs.clear();
    layout.missing.clear();
    hb_buffer_t* buffer = scratch.buffer;
    std::vector<PlacedGlyph> placed;
    bool any_colour = false;
    std::int64_t left = std::numeric_limits<std::int64_t>::max(), right = std::numeric_limits<std::int64_t>::min();
    std::int64_t line_top = 0;
    for (std::size_t line = 0; line < lines.size(); ++line) {
        split_runs(lines[line], face, fallback, scratch.runs, scratch.line_runs, layout.missing);
        std::int64_t ascent = face.ascender(), descent = face.line_height() - face.ascender();
        for (const TextRun& run : scratch.line_runs) {
            ascent = std::max<std::int64_t>(ascent, run.face->ascender());
            descent = std::max<std::int64_t>(descent, run.face->line_height() - run.face->ascender());
        }
        const std::int64_t baseline = line_top + ascent;
        line_top = baseline + descent;
        std::int64_t pen = 0;
        for (const TextRun& run : scratch.line_runs) {
            hb_buffer_clear_contents(buffer);
            hb_buffer_add_utf8(buffer, lines[line].data(), int(lines[line].size()), unsigned(run.begin),
                               int(run.end - run.begin));
            hb_buffer_set_direction(buffer, run.direction);
            hb_buffer_set_script(buffer, run.script);
            hb_buffer_guess_segment_properties(buffer);  // what is left unset, and the language
            hb_shape(run.face->shaping_font(), buffer, nullptr, 0);
            unsigned count = 0;
            const hb_glyph_info_t* infos = hb_buffer_get_glyph_infos(buffer, &count);
            const hb_glyph_position_t* positions = hb_buffer_get_glyph_positions(buffer, &count);
            const double scale = run.face->scale();
            const std::int64_t run_start = pen;
            for (unsigned i = 0; i < count; ++i) {
                const GlyphBitmap* bitmap = run.face->glyph(infos[i].codepoint, reason);
                if (!bitmap) return false;
                const std::int64_t x = round_pixels(pen + scaled(positions[i].x_offset, scale)) + bitmap->left;
                const std::int64_t y = baseline - round_pixels(scaled(positions[i].y_offset, scale)) - bitmap->top;
                pen += scaled(positions[i].x_advance, scale);
                if (bitmap->width == 0 || bitmap->rows == 0) continue;  // spaces have no ink
                placed.push_back({bitmap, x, y});
                any_colour = any_colour || bitmap->is_colour();
                left = std::min(left, x);
                right = std::max(right, x + bitmap->width);
            }
            layout.runs.push_back({line, run.begin, run.end, int(round_pixels(run_start)), int(round_pixels(pen)),
                                   run.direction == HB_DIRECTION_RTL});
        }
    }
    const std::int64_t height = line_top;
    if (placed.empty()) left = 0, right = 1;  // nothing visible: one transparent column
    const std::int64_t width = right - left;
    if (width > max_text_width || height > max_text_pixels || width * height > max_text_pixels) {
        reason = "rendered text would be " + std::to_string(width) + " x " + std::to_string(height) +
                 " pixels, above the limit of " + std::to_string(max_text_width) + " pixels wide and " +
                 std::to_string(max_text_pixels) + " pixels in all";
        return false;
    }
    coverage.width = int(width);
    coverage.height = int(height);
    coverage.values.assign(std::size_t(width) * std::size_t(height), 0);
    coverage.colour.clear();
    if (any_colour) coverage.colour.assign(coverage.values.size(), 0);
    for (const PlacedGlyph& glyph : placed) blit(glyph, left, coverage);
    for (TtfRunPlace& run : layout.runs) run.left -= int(left), run.right -= int(left);
    return true;
}

}  // namespace textrenderer
