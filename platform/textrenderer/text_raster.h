#pragma once

#include <hb.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/textrenderer/sized_face.h"
#include "platform/textrenderer/text_runs.h"
#include "platform/textrenderer/ttf_layout.h"

namespace textrenderer {

// Limits of a rendered text image: the device images' 16-bit row pitch and
// a pixel budget of 64 megapixels.
inline constexpr std::int64_t max_text_width = 65535;
inline constexpr std::int64_t max_text_pixels = 64ll * 1024 * 1024;

// A rendered text: 8-bit coverage of the glyphs drawn in the text's colour,
// and the pixels of colour glyphs (emoji) when there are any, both rows of
// width values.
struct Coverage {
    int width = 1;
    int height = 1;
    std::vector<std::uint8_t> values;
    std::vector<std::uint32_t> colour;  // premultiplied 0xAARRGGBB; empty when no colour glyph was drawn
};

// Space kept between renders: a warm render allocates nothing.
struct RasterScratch {
    hb_buffer_t* buffer = nullptr;  // owned by the caller
    RunScratch runs;
    std::vector<TextRun> line_runs;
};

// Shapes each line of text (lines end at "\n"; a "\r" before it is dropped)
// in runs of one face, script and direction (see split_runs) and rasterises
// it. The runs of a line share one baseline; lines stack, each as tall as the
// largest ascent plus the largest descent of the chosen face and the faces
// the line uses, left aligned on a common pen origin. The width is the tight
// ink extent over all lines (at least 1). Ink above or below the image is
// clipped. text must be valid UTF-8. layout receives where the runs went. False
// with reason when a glyph cannot be rendered or the image would break the
// limits above.
bool rasterise_text(SizedFace& face, FaceSource& fallback, const std::string& text, RasterScratch& scratch,
                    Coverage& coverage, TtfLayout& layout, std::string& reason);

}  // namespace textrenderer
