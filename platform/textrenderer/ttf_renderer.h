#pragma once

#include <hb.h>

#include <string>

#include "platform/textrenderer/font_cache.h"
#include "platform/textrenderer/text_raster.h"
#include "services/textrenderer.h"

namespace textrenderer {

// The "ttf" renderer: FreeType rasterising, HarfBuzz shaping (kerning,
// ligatures, combining marks), fontconfig for font patterns.
//
// What render_text makes: an image of the tight ink width of the text (at
// least 1) and one line height per line (lines split on "\n"), every pixel in
// the text colour with transparency 255 - coverage * alpha / 255, except the
// pixels of colour glyphs (emoji), which keep their own colours and are only
// faded by the colour's alpha.
// - Characters the font lacks come from the closest installed face that has
//   them; those no installed face has are drawn as the font's missing-glyph
//   box and listed by ttf_last_layout().
// - An empty text (or one without ink) gives a 1 x line-height, fully
//   transparent image: the object exists and can be placed, it shows nothing.
// - Invalid UTF-8 is refused with the offset of the first bad byte; nothing
//   is replaced behind the author's back.
// - size must be 1 to 1000 pixels; texts above 1 MiB are refused.
// - The flag has no effect.
// get_error() keeps the last failure until the next one.
class TtfRenderer : public Text_Renderer {
public:
    static constexpr int max_size = 1000;
    static constexpr std::size_t max_text_bytes = 1024 * 1024;

    TtfRenderer();
    ~TtfRenderer() override;
    TtfRenderer(const TtfRenderer&) = delete;
    TtfRenderer& operator=(const TtfRenderer&) = delete;

    bool render_text(std::string video, std::string font, std::string text, VideoColor color, int size,
                     std::string image_name, std::string image_scene, bool flag) override;
    std::string get_error() override { return error_; }
    const TtfLayout& last_layout() const { return layout_; }

private:
    bool fail(std::string reason);

    FontCache fonts_;
    // Scratch space kept between renders: a warm render allocates nothing.
    RasterScratch scratch_;
    Coverage coverage_;
    TtfLayout layout_;
    std::vector<std::uint32_t> pixels_;
    std::string error_;
};

}  // namespace textrenderer
