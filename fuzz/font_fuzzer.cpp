// Bytes as a font file, rendered at three sizes, with Arabic and an emoji
// that other installed faces may have to stand in for.
#include <cstdlib>

#include "fuzz/fuzz_support.h"
#include "services/textrenderer.h"
#include "services/video.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz_quiet_stderr();

    if (!fuzz_device()) std::abort();
    Text_Renderer* renderer = textrenderer_get("ttf");
    if (!renderer) std::abort();

    // A new file name per input: a renderer may keep faces by file name.
    static unsigned counter = 0;
    const std::string font = fuzz_write("font" + std::to_string(counter++ % 4) + ".ttf", data, size);
    VideoColor color;
    color.set_color(255, 255, 255, 255);
    for (int font_size : {1, 14, 96}) {
        if (!renderer->render_text("fuzz", font, "AV fi\nWg \xd9\x85\xd8\xb1 \xf0\x9f\x8e\x89", color, font_size, "text", "s", true) &&
            renderer->get_error().empty())
            std::abort();  // a failure always says why
    }
    return 0;
}
