// Scene loading. Scene files of 1 000, 10 000 and 100 000 pictures (one tiny
// PNG shared by all) loaded by Scene::load_scene: the time per object must
// stay flat as scenes grow. yaml_bench compares the reading of the same
// files with libyaml's own scan.
#include <benchmark/benchmark.h>
#include <spng.h>

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <utility>
#include <string>
#include <vector>

#include "bench/support/bench_report.h"
#include "bench/support/frame_world.h"
#include "sceneengine/scenemanager/scene/scene.h"
#include "sceneengine/scenemanager/sceneengine.h"
#include "sceneengine/sceneobjects/scene_object.h"

namespace {

std::string scene_file_for(int count) {
    static std::vector<int> written;
    const std::string file = "load" + std::to_string(count) + ".yaml";
    if (std::find(written.begin(), written.end(), count) == written.end()) {
        bench::FrameWorld::get().folder().write(file, bench::picture_scene_yaml(count, "p.png"));
        written.push_back(count);
    }
    return file;
}

// Loads a fresh scene named name from file, timing load_scene alone; false
// when fewer than count objects loaded.
bool timed_load(const std::string& name, const std::string& file, int count, double& seconds) {
    bench::FrameWorld& world = bench::FrameWorld::get();
    Scene* scene = new Scene();
    scene->set_name(name);
    scene->set_video_name(bench::bench_video);
    scene->set_storage_file(file);
    scene->set_file_manager(world.file_manager());
    bool loaded;
    {
        bench::QuietStderr quiet;  // one "loaded" line per picture
        const double start = bench::thread_cpu_seconds();
        loaded = scene->load_scene();
        seconds = bench::thread_cpu_seconds() - start;
    }
    const std::size_t objects = scene->get_objects().size();
    delete_scene(scene);
    return loaded && objects == std::size_t(count);
}

// A line "Key: N kB" of /proc/self/status, in bytes; 0 when missing.
double status_bytes(const char* key) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(key, 0) == 0) return std::atof(line.c_str() + std::strlen(key)) * 1024.0;
    return 0;
}

// Peak memory of a load, per object: in a child process, so that no earlier
// load left memory to reuse, the process's peak resident size is reset
// (clear_refs 5), the scene loaded, and the new peak taken less the size
// before. Everything a load holds or passes through counts: configuration,
// bus, device, library, the file's bytes, the allocator's own overhead.
void BM_PeakMemoryPerObject(benchmark::State& state) {
    const int count = int(state.range(0));
    const std::string file = scene_file_for(count);
    for (auto _ : state) {
        int pipe_ends[2];
        if (pipe(pipe_ends) != 0) {
            state.SkipWithError("no pipe");
            return;
        }
        const pid_t child = fork();
        if (child == 0) {
            double bytes = -1;
            std::ofstream("/proc/self/clear_refs") << "5";
            const double before = status_bytes("VmRSS:");
            double seconds = 0;
            if (timed_load("peak", file, count, seconds)) bytes = status_bytes("VmHWM:") - before;
            const ssize_t written = write(pipe_ends[1], &bytes, sizeof bytes);
            _exit(written == sizeof bytes ? 0 : 1);
        }
        close(pipe_ends[1]);
        double bytes = -1;
        const ssize_t got = read(pipe_ends[0], &bytes, sizeof bytes);
        close(pipe_ends[0]);
        waitpid(child, nullptr, 0);
        if (got != sizeof bytes || bytes < 0) {
            state.SkipWithError("the child process did not load the scene");
            return;
        }
        state.counters["peak_bytes_per_object"] = bytes / count;
    }
}

// First, while the heap is still small.
BENCHMARK(BM_PeakMemoryPerObject)->Arg(100000)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_SceneLoad(benchmark::State& state) {
    const int count = int(state.range(0));
    const std::string file = scene_file_for(count);
    const std::string name = "load" + std::to_string(count);
    for (auto _ : state) {
        double seconds = 0;
        if (!timed_load(name, file, count, seconds)) {
            state.SkipWithError("the scene did not load every picture");
            return;
        }
        state.SetIterationTime(seconds);
    }
    state.counters["objects"] = count;
}

BENCHMARK(BM_SceneLoad)->Arg(1000)->Arg(10000)->Arg(100000)->UseManualTime()->Repetitions(3)->MinTime(0.3)->Unit(benchmark::kMillisecond);

// A tile map: a 128 x 128 grid of objects showing 16 pictures of 32 x 32.
constexpr int tile_side = 128;
constexpr int tile_cells = tile_side * tile_side;
constexpr int tile_pictures = 16;
constexpr int tile_size = 32;

std::string tile_file(int picture) { return "tile" + std::to_string(picture) + ".png"; }
int tile_picture_of(int cell) { return (cell % tile_side + cell / tile_side) % tile_pictures; }

// The 16 pictures' bytes, written into the bench folder once.
const std::vector<std::vector<std::uint8_t>>& tile_pictures_written() {
    static std::vector<std::vector<std::uint8_t>> pictures;
    if (pictures.empty()) {
        for (int i = 0; i < tile_pictures; ++i) {
            pictures.push_back(bench::encode_png(tile_size, tile_size, bench::gradient_rgba(tile_size, tile_size, 11 + i)));
            bench::FrameWorld::get().folder().write(tile_file(i), pictures.back());
        }
        bench::FrameWorld::get().folder().write(
            "tiles.yaml", bench::picture_scene_yaml(tile_cells, [](int cell) { return tile_file(tile_picture_of(cell)); }));
    }
    return pictures;
}

void BM_TileMapLoad(benchmark::State& state) {
    tile_pictures_written();
    for (auto _ : state) {
        double seconds = 0;
        if (!timed_load("tiles", "tiles.yaml", tile_cells, seconds)) {
            state.SkipWithError("the tile map did not load every cell");
            return;
        }
        state.SetIterationTime(seconds);
    }
}

// The least a tile map can cost: decoding the 16 pictures from memory with
// libspng and making the 16 384 device images from the decoded pixels.
void BM_TileMapFloor(benchmark::State& state) {
    const auto& pictures = tile_pictures_written();
    bench::CountingDevice device;
    std::vector<std::string> names;
    for (int cell = 0; cell < tile_cells; ++cell) names.push_back(bench::picture_placement(cell).name);
    std::vector<std::vector<std::uint32_t>> decoded(tile_pictures);
    for (auto _ : state) {
        const double start = bench::thread_cpu_seconds();
        for (int i = 0; i < tile_pictures; ++i) {
            std::unique_ptr<spng_ctx, void (*)(spng_ctx*)> ctx(spng_ctx_new(0), spng_ctx_free);
            spng_set_png_buffer(ctx.get(), pictures[std::size_t(i)].data(), pictures[std::size_t(i)].size());
            std::vector<std::uint32_t>& pixels = decoded[std::size_t(i)];
            pixels.resize(std::size_t(tile_size) * tile_size);
            if (spng_decode_image(ctx.get(), pixels.data(), pixels.size() * 4, SPNG_FMT_RGBA8, 0) != 0) {
                state.SkipWithError("libspng could not decode a tile");
                return;
            }
        }
        for (int cell = 0; cell < tile_cells; ++cell)
            device.create_image(names[std::size_t(cell)], "tiles", tile_size, tile_size,
                                decoded[std::size_t(tile_picture_of(cell))].data());
        state.SetIterationTime(bench::thread_cpu_seconds() - start);
    }
}

BENCHMARK(BM_TileMapLoad)->UseManualTime()->Repetitions(3)->MinTime(0.3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TileMapFloor)->UseManualTime()->Repetitions(3)->MinTime(0.3)->Unit(benchmark::kMillisecond);

// Per object, before pictures were shared: the best of three runs of this
// program on the machine of BENCHMARKS.md, 2026-12-07 (thread CPU time).
constexpr std::pair<int, double> load_ns_before_sharing[] = {{1000, 20960}, {10000, 27120}, {100000, 30940}};

bench::Row against_before_sharing(const bench::Results& results, int count, double before_ns) {
    const std::string measure = "4 scene loading";
    const std::string label = "per object, N=" + std::to_string(count) + " vs before sharing";
    const std::string name = "BM_SceneLoad/" + std::to_string(count);
    const bench::Result* result = results.find(name);
    if (!result) return bench::missing_row(measure, label, name);
    bench::Row row;
    row.measure = measure;
    row.label = label;
    const double per_object = result->ns / count;
    row.ours = bench::format_ns(per_object);
    row.peer = bench::format_ns(before_ns);
    row.ratio = bench::format_fixed(per_object / before_ns, 2) + "x";
    row.target = "<= 0.50x";
    row.pass = per_object / before_ns <= 0.5;
    return row;
}

std::vector<bench::Row> evaluate(const bench::Results& results) {
    const char* measure = "4 scene loading";
    std::vector<bench::Row> rows;
    for (int large : {10000, 100000})
        rows.push_back(bench::per_item_ratio_at_most(
            results, measure, "per object, N=" + std::to_string(large) + " vs N=1000",
            "BM_SceneLoad/" + std::to_string(large), large, "BM_SceneLoad/1000", 1000, 1.3));
    for (const auto& [count, before_ns] : load_ns_before_sharing)
        rows.push_back(against_before_sharing(results, count, before_ns));
    rows.push_back(bench::time_ratio_at_most(results, measure, "tile map 128x128 of 16 pictures", "BM_TileMapLoad",
                                             "BM_TileMapFloor", 2.0));
    const bench::Result* peak = results.find("BM_PeakMemoryPerObject/100000");
    if (!peak || !peak->counters.count("peak_bytes_per_object")) {
        rows.push_back(bench::missing_row("7 memory", "process peak per object", "BM_PeakMemoryPerObject/100000"));
    } else {
        bench::Row row;
        row.measure = "7 memory";
        row.label = "process peak per object (N=100000, one shared picture)";
        const double bytes = peak->counters.at("peak_bytes_per_object");
        row.ours = bench::format_fixed(bytes, 0) + " B";
        row.peer = "-";
        row.ratio = bench::format_fixed(bytes / 1024.0, 2) + " KiB";
        row.target = "< 2.00 KiB";
        row.pass = bytes < 2048.0;
        rows.push_back(row);
    }
    return rows;
}

}  // namespace

int main(int argc, char** argv) {
    // Every size then runs on memory already mapped, as a small scene does
    // from its second load on. One pass, each size repeated in turn, smallest
    // first: a load of 100 000 pictures leaves a heap that a small load would
    // then be measured in.
    bench::keep_freed_memory();
    return bench::run_and_report(argc, argv, evaluate, 1);
}
