#include "platform/textrenderer/ttf_renderer.h"

#include <cmath>

#include "platform/textrenderer/utf8_check.h"

namespace textrenderer {

namespace {

std::uint8_t channel(float value) {
    if (!(value > 0.0f)) return 0;  // also catches NaN
    if (value >= 1.0f) return 255;
    return std::uint8_t(std::lround(value * 255.0f));
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
}

}  // namespace

TtfRenderer::TtfRenderer() : buffer_(hb_buffer_create()) {}

TtfRenderer::~TtfRenderer() { hb_buffer_destroy(buffer_); }

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
    if (!rasterise_text(*face, buffer_, text, coverage_, reason)) return fail(reason);
    colourise(coverage_, color, pixels_);
    if (!device->create_image(image_name, image_scene, coverage_.width, coverage_.height, pixels_.data()))
        return fail("video device \"" + video + "\" refused the text image: " + device->get_error());
    return true;
}

}  // namespace textrenderer
