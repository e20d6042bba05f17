// Frame overhead and event pump. One cycle of the library's frame loop
// (update_screen, 1000 polls of get_event, the switch check, the scene's
// draw: its new-cycle signal, the drawing order, each shown picture's draw)
// on a counting device, against a plain loop that makes the same device calls
// for the same sprites and nothing else.
//
// The library is driven through process_scene itself, not by calling
// Scene::draw: the event pump lives inside the frame loop, and only the real
// loop shows what a host pays per frame. A slot on the scene's "->new_cycle"
// signal times whole cycles and asks for "exit" (see frame_world.h).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <string>
#include <vector>

#include "bench/support/bench_report.h"
#include "bench/support/frame_world.h"

namespace {

constexpr int polls_per_cycle = 1000;

// Enough cycles per process_scene that the activation left out of the timing
// costs less than the cycles timed.
int cycles_for(int count) { return std::clamp(200000 / std::max(count, 1), 20, 2000); }

std::string scene_for(int count) { return "frame" + std::to_string(count); }

void BM_LibraryFrame(benchmark::State& state) {
    const int count = int(state.range(0));
    std::string error;
    if (!bench::FrameWorld::get().load_picture_scene(scene_for(count), count, error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    const int cycles = cycles_for(count);
    bench::CountingDevice& device = bench::FrameWorld::get().device();
    for (auto _ : state) {
        const std::uint64_t draws = device.draws;
        const double seconds = bench::time_frame_cycles(scene_for(count), cycles);
        if (seconds < 0) {
            state.SkipWithError("the frame loop ended before the cycles were run");
            return;
        }
        // Every cycle but the one that exits draws every picture once.
        if (device.draws - draws < std::uint64_t(count) * std::uint64_t(cycles)) {
            state.SkipWithError("the library drew fewer pictures than the scene holds");
            return;
        }
        state.SetIterationTime(seconds);
    }
    state.counters["cycles"] = cycles;
}

// A plain loop over the same sprites in the same drawing order, with names
// and positions known in advance. Per picture it makes the calls the
// library's Image makes (get_sprite, set_position, draw_sprite: the picture
// takes its sprite by name every frame, since a device replaced under the
// same name may sit at the old one's address). Without lookup_sprites the
// loop keeps the sprite handles instead, as a host that trusts its device
// would: what taking the sprite by name costs.
template <bool lookup_sprites>
void plain_frame_loop(benchmark::State& state) {
    const int count = int(state.range(0));
    std::string error;
    if (!bench::FrameWorld::get().load_picture_scene(scene_for(count), count, error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    const std::string scene = scene_for(count);
    Video_Interface* device = &bench::FrameWorld::get().device();
    struct Picture {
        bench::PicturePlacement placement;
        Video_Sprite* sprite;
    };
    std::vector<Picture> order;
    for (int i = 0; i < count; ++i) {
        bench::PicturePlacement placement = bench::picture_placement(i);
        Video_Sprite* sprite = device->get_sprite(placement.name, scene);
        order.push_back(Picture{placement, sprite});
    }
    std::stable_sort(order.begin(), order.end(),
                     [](const auto& a, const auto& b) { return a.placement.z_level < b.placement.z_level; });
    const int cycles = cycles_for(count);
    for (auto _ : state) {
        const double start = bench::thread_cpu_seconds();
        for (int cycle = 0; cycle < cycles; ++cycle) {
            device->update_screen();
            for (int poll = 0; poll < polls_per_cycle; ++poll) {
                Event event = device->get_event();
                if (event.type == EVENT_QUIT) break;
                benchmark::DoNotOptimize(event.type);
            }
            device->show_mouse_cursor(true);
            for (const Picture& picture : order) {
                Video_Sprite* sprite =
                    lookup_sprites ? device->get_sprite(picture.placement.name, scene) : picture.sprite;
                sprite->set_position(picture.placement.x, picture.placement.y);
                device->draw_sprite(picture.placement.name, scene);
            }
        }
        state.SetIterationTime(bench::thread_cpu_seconds() - start);
    }
    state.counters["cycles"] = cycles;
}

void BM_PlainFrameLoop(benchmark::State& state) { plain_frame_loop<true>(state); }
void BM_PlainFrameLoopKeepingHandles(benchmark::State& state) { plain_frame_loop<false>(state); }

BENCHMARK(BM_LibraryFrame)->Arg(0)->Arg(100)->Arg(1000)->Arg(10000)->Arg(100000)->UseManualTime()->MinTime(0.3);
BENCHMARK(BM_PlainFrameLoop)->Arg(0)->Arg(100)->Arg(1000)->Arg(10000)->Arg(100000)->UseManualTime()->MinTime(0.3);
BENCHMARK(BM_PlainFrameLoopKeepingHandles)->Arg(1000)->Arg(100000)->UseManualTime()->MinTime(0.3);

// Library time beyond the plain loop, per picture drawn.
bench::Row overhead_per_object(const bench::Results& results, int count, double max_ns) {
    const std::string measure = "1 frame overhead";
    const std::string label = "N=" + std::to_string(count) + " per object";
    const std::string ours = "BM_LibraryFrame/" + std::to_string(count);
    const std::string floor = "BM_PlainFrameLoop/" + std::to_string(count);
    const bench::Result* a = results.find(ours);
    const bench::Result* b = results.find(floor);
    if (!a || !b) return bench::missing_row(measure, label, !a ? ours : floor);
    bench::Row row;
    row.measure = measure;
    row.label = label;
    const double per_object = (a->ns - b->ns) / count;
    row.ours = bench::format_ns(a->ns / count);
    row.peer = bench::format_ns(b->ns / count);
    row.ratio = bench::format_ns(per_object) + " extra";
    row.target = "< " + bench::format_ns(max_ns);
    row.pass = per_object < max_ns;
    return row;
}

// An iteration runs many cycles; the rows compare single cycles.
bench::Results per_cycle(const bench::Results& results) {
    bench::Results cycles;
    for (auto [name, result] : results.all()) {
        auto it = result.counters.find("cycles");
        if (it != result.counters.end() && it->second > 0) result.ns /= it->second;
        cycles.keep_best(name, result);
    }
    return cycles;
}

std::vector<bench::Row> evaluate(const bench::Results& all_results) {
    const bench::Results results = per_cycle(all_results);
    const char* measure = "1 frame overhead";
    std::vector<bench::Row> rows;
    for (int count : {100, 1000, 10000, 100000}) {
        rows.push_back(bench::time_ratio_at_most(results, measure, "N=" + std::to_string(count) + " cycle",
                                                 "BM_LibraryFrame/" + std::to_string(count),
                                                 "BM_PlainFrameLoop/" + std::to_string(count),
                                                 count == 100 ? 1e9 : 1.5));
        if (count == 100) rows.back().target = "(report)", rows.back().pass = true;
        rows.push_back(overhead_per_object(results, count, 50.0));
    }
    for (int count : {1000, 100000})
        rows.push_back(bench::time_ratio_at_most(
            results, measure, "N=" + std::to_string(count) + " cycle, floor keeping handles",
            "BM_LibraryFrame/" + std::to_string(count), "BM_PlainFrameLoopKeepingHandles/" + std::to_string(count),
            1.5));
    rows.push_back(bench::per_item_ratio_at_most(results, measure, "per object, N=100000 vs N=1000",
                                                 "BM_LibraryFrame/100000", 100000, "BM_LibraryFrame/1000", 1000,
                                                 1.5));
    bench::Row pump = bench::time_at_most(results, "2 event pump", "1000 polls, empty queue (empty scene cycle)",
                                          "BM_LibraryFrame/0", 5000.0);
    if (const bench::Result* plain = results.find("BM_PlainFrameLoop/0")) pump.peer = bench::format_ns(plain->ns);
    rows.push_back(pump);
    return rows;
}

}  // namespace

int main(int argc, char** argv) { return bench::run_and_report(argc, argv, evaluate); }
