// Picture and text loading. A PNG through imageloader_loadimage (file read
// through the file manager, decode, hand-over to the device) against libspng
// decoding the same bytes straight from memory; and a text of 40 glyphs
// rendered again with warm caches against a raw FreeType loop that loads and
// renders each of the same glyphs.
#include <benchmark/benchmark.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include <spng.h>

#include <memory>
#include <string>
#include <vector>

#include "bench/support/bench_report.h"
#include "bench/support/frame_world.h"
#include "services/imageloader.h"
#include "services/textrenderer.h"

namespace {

constexpr int picture_side = 512;
const std::string font_path = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
const std::string forty_glyphs = "Pack my box with five dozen liquor jugs!";
constexpr int font_size = 32;

const std::vector<std::uint8_t>& picture_bytes() {
    static const std::vector<std::uint8_t> bytes =
        bench::encode_png(picture_side, picture_side, bench::gradient_rgba(picture_side, picture_side, 5));
    return bytes;
}

// The same picture with other grain: as much decoding work, other bytes.
const std::vector<std::uint8_t>& other_picture_bytes() {
    static const std::vector<std::uint8_t> bytes =
        bench::encode_png(picture_side, picture_side, bench::gradient_rgba(picture_side, picture_side, 6));
    return bytes;
}

// The loader decodes a file again only when its bytes changed since it last
// read it, so each iteration's file holds the other picture's bytes
// (written while the clock is stopped).
void BM_ImageLoaderPng(benchmark::State& state) {
    bench::FrameWorld& world = bench::FrameWorld::get();
    const std::string file = "picture.png";
    bool other = false;
    for (auto _ : state) {
        state.PauseTiming();
        world.folder().write(file, other ? other_picture_bytes() : picture_bytes());
        other = !other;
        state.ResumeTiming();
        if (!imageloader_loadimage("png", bench::bench_video, file, "bench", "picture", world.file_manager(), true)) {
            state.SkipWithError(("the image loader refused the picture: " + imageloader_error()).c_str());
            return;
        }
    }
    state.SetItemsProcessed(state.iterations() * picture_side * picture_side);
}

void BM_SpngDecodeFloor(benchmark::State& state) {
    const std::vector<std::uint8_t>& bytes = picture_bytes();
    for (auto _ : state) {
        std::unique_ptr<spng_ctx, void (*)(spng_ctx*)> ctx(spng_ctx_new(0), spng_ctx_free);
        spng_set_png_buffer(ctx.get(), bytes.data(), bytes.size());
        std::size_t size = 0;
        if (spng_decoded_image_size(ctx.get(), SPNG_FMT_RGBA8, &size) != 0) {
            state.SkipWithError("libspng refused the picture");
            return;
        }
        std::vector<std::uint8_t> rgba(size);
        if (spng_decode_image(ctx.get(), rgba.data(), size, SPNG_FMT_RGBA8, 0) != 0) {
            state.SkipWithError("libspng could not decode the picture");
            return;
        }
        benchmark::DoNotOptimize(rgba.data());
    }
    state.SetItemsProcessed(state.iterations() * picture_side * picture_side);
}

void BM_TextRenderWarm(benchmark::State& state) {
    bench::FrameWorld::get();  // the device the text goes to
    Text_Renderer* renderer = textrenderer_get("ttf");
    if (!renderer) {
        state.SkipWithError("no ttf renderer");
        return;
    }
    VideoColor color;
    color.set_color(255, 255, 255, 255);
    auto render = [&] {
        return renderer->render_text(bench::bench_video, font_path, forty_glyphs, color, font_size, "text", "bench",
                                     true);
    };
    if (!render()) {  // the first rendering fills the caches
        state.SkipWithError(("the renderer failed: " + renderer->get_error()).c_str());
        return;
    }
    for (auto _ : state) benchmark::DoNotOptimize(render());
}

void BM_FreetypeGlyphLoop(benchmark::State& state) {
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    if (FT_Init_FreeType(&library) != 0 || FT_New_Face(library, font_path.c_str(), 0, &face) != 0) {
        state.SkipWithError("FreeType could not open the font");
        if (library) FT_Done_FreeType(library);
        return;
    }
    FT_Set_Pixel_Sizes(face, 0, font_size);
    for (auto _ : state) {
        for (unsigned char c : forty_glyphs) {
            if (FT_Load_Char(face, c, FT_LOAD_RENDER) != 0) state.SkipWithError("FreeType could not render a glyph");
            benchmark::DoNotOptimize(face->glyph->bitmap.buffer);
        }
    }
    FT_Done_Face(face);
    FT_Done_FreeType(library);
}

BENCHMARK(BM_ImageLoaderPng)->MinTime(0.3)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SpngDecodeFloor)->MinTime(0.3)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TextRenderWarm)->MinTime(0.3)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FreetypeGlyphLoop)->MinTime(0.3)->Unit(benchmark::kMicrosecond);

std::vector<bench::Row> evaluate(const bench::Results& results) {
    const char* measure = "6 picture and text loading";
    return {
        bench::speed_at_least(results, measure, "PNG 512x512 via imageloader", "BM_ImageLoaderPng",
                              "BM_SpngDecodeFloor", 0.9),
        bench::speed_at_least(results, measure, "text of 40 glyphs, warm", "BM_TextRenderWarm",
                              "BM_FreetypeGlyphLoop", 2.0),
    };
}

}  // namespace

int main(int argc, char** argv) { return bench::run_and_report(argc, argv, evaluate); }
