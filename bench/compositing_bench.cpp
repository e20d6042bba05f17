// Headless compositing. Alpha-blended sprites of 32x32 and 256x256 drawn into
// the headless device's frame with draw_sprite, against SDL's own
// SDL_BlitSurface with per-pixel alpha (SDL_BLENDMODE_BLEND, ARGB8888
// surfaces) on the same pixels at the same places, in the same run.
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "bench/support/bench_report.h"
#include "bench/support/scene_files.h"
#include "services/video.h"

namespace {

constexpr int screen_width = 1024;
constexpr int screen_height = 768;
constexpr int draws_per_iteration = 16;

// Top-left corners that keep a sprite of the given side wholly on the screen,
// so that neither side spends time on clipping.
std::vector<SDL_Rect> placements(int side) {
    std::vector<SDL_Rect> places;
    for (int i = 0; i < draws_per_iteration; ++i) {
        int x = (i * 97) % (screen_width - side);
        int y = (i * 61) % (screen_height - side);
        places.push_back(SDL_Rect{x, y, side, side});
    }
    return places;
}

std::vector<std::uint8_t> sprite_rgba(int side) { return bench::gradient_rgba(side, side, 11); }

void BM_HeadlessBlend(benchmark::State& state) {
    const int side = int(state.range(0));
    const std::string video = "bench_headless";
    VideoSettings settings;
    settings.width = screen_width;
    settings.height = screen_height;
    if (!video_create(video, settings)) {
        state.SkipWithError("no headless device");
        return;
    }
    Video_Interface* device = video_get_interface(video);
    const std::vector<std::uint8_t> rgba = sprite_rgba(side);
    std::vector<std::uint32_t> pixels(std::size_t(side) * std::size_t(side));
    for (std::size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = video_pixel::make(rgba[i * 4], rgba[i * 4 + 1], rgba[i * 4 + 2], rgba[i * 4 + 3]);
    device->create_image("sprite", "bench", side, side, pixels.data());
    device->create_sprite("sprite", "bench", "sprite", "bench", true);
    Video_Sprite* sprite = device->get_sprite("sprite", "bench");
    const std::vector<SDL_Rect> places = placements(side);
    for (auto _ : state) {
        for (const SDL_Rect& place : places) {
            sprite->set_position(place.x, place.y);
            device->draw_sprite("sprite", "bench");
        }
    }
    state.SetItemsProcessed(state.iterations() * draws_per_iteration * side * side);
    video_unregister(video);
}

void BM_SdlBlitBlend(benchmark::State& state) {
    const int side = int(state.range(0));
    SDL_Surface* screen = SDL_CreateRGBSurfaceWithFormat(0, screen_width, screen_height, 32, SDL_PIXELFORMAT_ARGB8888);
    SDL_Surface* source = SDL_CreateRGBSurfaceWithFormat(0, side, side, 32, SDL_PIXELFORMAT_ARGB8888);
    if (!screen || !source) {
        state.SkipWithError("SDL could not make the surfaces");
        return;
    }
    // Opaque black, as the headless device's default background.
    SDL_FillRect(screen, nullptr, 0xFF000000u);
    const std::vector<std::uint8_t> rgba = sprite_rgba(side);
    for (int y = 0; y < side; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(static_cast<std::uint8_t*>(source->pixels) + y * source->pitch);
        for (int x = 0; x < side; ++x) {
            const std::uint8_t* p = &rgba[(std::size_t(y) * std::size_t(side) + std::size_t(x)) * 4];
            row[x] = (std::uint32_t(p[3]) << 24) | (std::uint32_t(p[0]) << 16) | (std::uint32_t(p[1]) << 8) | p[2];
        }
    }
    SDL_SetSurfaceBlendMode(source, SDL_BLENDMODE_BLEND);
    const std::vector<SDL_Rect> places = placements(side);
    for (auto _ : state) {
        for (SDL_Rect place : places) SDL_BlitSurface(source, nullptr, screen, &place);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * draws_per_iteration * side * side);
    SDL_FreeSurface(source);
    SDL_FreeSurface(screen);
}

BENCHMARK(BM_HeadlessBlend)->Arg(32)->Arg(256)->MinTime(0.2);
BENCHMARK(BM_SdlBlitBlend)->Arg(32)->Arg(256)->MinTime(0.2);

std::string megapixels_per_second(const bench::Result& result, int side) {
    const double pixels = double(draws_per_iteration) * side * side;
    return bench::format_fixed(pixels / result.ns * 1e3, 0) + " MP/s";
}

std::vector<bench::Row> evaluate(const bench::Results& results) {
    std::vector<bench::Row> rows;
    for (int side : {32, 256}) {
        const std::string ours = "BM_HeadlessBlend/" + std::to_string(side);
        const std::string peer = "BM_SdlBlitBlend/" + std::to_string(side);
        bench::Row row = bench::speed_at_least(results, "5 headless compositing",
                                               std::to_string(side) + "x" + std::to_string(side) + " alpha sprites",
                                               ours, peer, 1.0);
        if (const bench::Result* a = results.find(ours)) row.ours = megapixels_per_second(*a, side);
        if (const bench::Result* b = results.find(peer)) row.peer = megapixels_per_second(*b, side);
        rows.push_back(row);
    }
    return rows;
}

}  // namespace

int main(int argc, char** argv) { return bench::run_and_report(argc, argv, evaluate); }
