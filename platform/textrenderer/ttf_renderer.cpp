#include "platform/textrenderer/ttf_renderer.h"

#include <algorithm>
#include <cmath>

#include "platform/textrenderer/utf8_check.h"

namespace textrenderer {

namespace {

std::uint8_t channel(float value) {
    if (!(value > 0.0f)) return 0;  // also catches NaN
    if (value >= 1.0f) return 255;
    return std::uint8_t(std::lround(value * 255.0f));
}

// A colour glyph's premultiplied pixel, faded by the text's alpha, over the
// text-coloured pixel below it.
std::uint32_t colour_over(std::uint32_t glyph, unsigned alpha, std::uint32_t below) {
    const unsigned glyph_alpha = (glyph >> 24) * alpha / 255, below_alpha = video_pixel::alpha(below);
    const unsigned keep = below_alpha * (255 - glyph_alpha) / 255;
    const unsigned out_alpha = glyph_alpha + keep;
    if (out_alpha == 0) return below;
    auto mix = [&](int shift, unsigned below_channel) {
        const unsigned premultiplied = ((glyph >> shift) & 0xffu) * alpha / 255 + below_channel * keep / 255;
        return std::uint8_t(std::min(255u, (premultiplied * 255 + out_alpha / 2) / out_alpha));
    };
    return video_pixel::make(mix(16, video_pixel::red(below)), mix(8, video_pixel::green(below)),
                             mix(0, video_pixel::blue(below)), std::uint8_t(out_alpha));
}

void colourise(const Coverage& coverage, const VideoColor& color, std::vector<std::uint32_t>& pixels) {
    const std::uint8_t r = channel(color.r), g = channel(color.g), b = channel(color.b);
    const unsigned alpha = channel(color.a);
    // Every coverage value maps to one pixel: 256 entries instead of a
    // multiply and divide per pixel.
    std::uint32_t by_coverage[256];
    for (unsigned c = 0; c < 256; ++c) by_coverage[c] = video_pixel::make(r, g, b, std::uint8_t(c * alpha / 255));
    pixels.resize(coverage.values.size());
    for (std::size_t i = 0; i < pixels.size(); ++i) pixels[i] = by_coverage[coverage.values[i]];
    for (std::size_t i = 0; i < coverage.colour.size(); ++i)
        if (coverage.colour[i]) pixels[i] = colour_over(coverage.colour[i], alpha, pixels[i]);
}

// The installed faces that stand in for one font at one size.
class Fallback final : public FaceSource {
public:
    Fallback(FontCache& fonts, const std::string& font, int size) : fonts_(fonts), font_(font), size_(size) {}
    SizedFace* face_for(char32_t code) override { return fonts_.fallback(font_, code, size_); }

private:
    FontCache& fonts_;
    const std::string& font_;
    int size_;
};

}  // namespace

TtfRenderer::TtfRenderer() { scratch_.buffer = hb_buffer_create(); }

TtfRenderer::~TtfRenderer() { hb_buffer_destroy(scratch_.buffer); }

bool TtfRenderer::fail(std::string reason) {
    error_ = std::move(reason);
    return false;
}

bool TtfRenderer::render_text(std::string video, std::string font, std::string text, VideoColor color, int size,
                              std::string image_name, std::string image_scene, bool /*flag: no effect*/) {
    if (size <= 0 || size > max_size)
        return fail("font size " + std::to_string(size) + " is out of range (1 to " + std::to_string(max_size) + ")");
    if (text.size() > max_text_bytes)
        return fail("text of " + std::to_string(text.size()) + " bytes is longer than the limit of " +
                    std::to_string(max_text_bytes));
    std::string reason;
    if (!check_utf8(text, reason)) return fail(reason);
    Video_Interface* device = video_get_interface(video);
    if (!device) return fail("no video device \"" + video + "\": " + video_error());

    fonts_.trim();  // only here: no glyph pointers are held between renders
    SizedFace* face = fonts_.get(font, size, reason);
    if (!face) return fail(reason);
    Fallback fallback(fonts_, font, size);
    if (!rasterise_text(*face, fallback, text, scratch_, coverage_, layout_, reason)) return fail(reason);
    colourise(coverage_, color, pixels_);
    if (!device->create_image(image_name, image_scene, coverage_.width, coverage_.height, pixels_.data()))
        return fail("video device \"" + video + "\" refused the text image: " + device->get_error());
    return true;
}

}  // namespace textrenderer
