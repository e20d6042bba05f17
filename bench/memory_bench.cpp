// Memory per loaded picture object. This program replaces the global
// operator new and delete to keep a count of the bytes the C++ code holds
// (C libraries' malloc is not seen). It loads a scene of N pictures on a
// device of its own, then takes the services' share away piece by piece:
//   config   the scene's configuration, if the scene kept it (config_remove);
//   bus      slot names and connections held by the signal bus (signals_reset);
//   device   images (with their pixels) and sprites in the device's store
//            (the device is unregistered and destroyed).
// What is left is held by the library: the scene's tables and the objects
// with their names, slot table and connection list.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <new>
#include <string>
#include <vector>

#include "bench/support/bench_report.h"
#include "bench/support/frame_world.h"
#include "sceneengine/scenemanager/scene/scene.h"
#include "sceneengine/sceneobjects/scene_object.h"
#include "services/config.h"

namespace {

// Live bytes requested through operator new. Single-threaded like the rest of
// the library, so a plain counter does.
long long live_bytes = 0;

// Each block carries its size in a header of one max_align_t, so that the
// unsized operator delete can subtract it and the block stays aligned.
constexpr std::size_t header = alignof(std::max_align_t);

void* counted_new(std::size_t size) {
    void* block = std::malloc(size + header);
    if (!block) throw std::bad_alloc();
    *static_cast<std::size_t*>(block) = size;
    live_bytes += static_cast<long long>(size);
    return static_cast<char*>(block) + header;
}

void counted_delete(void* pointer) noexcept {
    if (!pointer) return;
    void* block = static_cast<char*>(pointer) - header;
    live_bytes -= static_cast<long long>(*static_cast<std::size_t*>(block));
    std::free(block);
}

}  // namespace

void* operator new(std::size_t size) { return counted_new(size); }
void* operator new[](std::size_t size) { return counted_new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return counted_new(size);
    } catch (...) {
        return nullptr;
    }
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return counted_new(size);
    } catch (...) {
        return nullptr;
    }
}
void operator delete(void* pointer) noexcept { counted_delete(pointer); }
void operator delete[](void* pointer) noexcept { counted_delete(pointer); }
void operator delete(void* pointer, std::size_t) noexcept { counted_delete(pointer); }
void operator delete[](void* pointer, std::size_t) noexcept { counted_delete(pointer); }
void operator delete(void* pointer, const std::nothrow_t&) noexcept { counted_delete(pointer); }
void operator delete[](void* pointer, const std::nothrow_t&) noexcept { counted_delete(pointer); }

namespace {

constexpr int picture_count = 10000;
constexpr int picture_pixel_bytes = 2 * 2 * 4;  // the shared 2x2 picture, one copy per image

void BM_PictureMemory(benchmark::State& state) {
    bench::FrameWorld& world = bench::FrameWorld::get();
    world.folder().write("memory.yaml", bench::picture_scene_yaml(picture_count, "p.png"));
    const std::string video = "memory_video";
    const std::string scene_name = "memory";

    for (auto _ : state) {
        auto* device = new bench::CountingDevice();
        video_register(video, device);
        const long long before = live_bytes;

        auto* scene = new Scene();
        scene->set_name(scene_name);
        scene->set_video_name(video);
        scene->set_storage_file("memory.yaml");
        scene->set_file_manager(world.file_manager());
        bool loaded;
        {
            bench::QuietStderr quiet;
            loaded = scene->load_scene();
        }
        if (!loaded || scene->get_objects().size() != std::size_t(picture_count)) {
            state.SkipWithError("the scene did not load every picture");
            return;
        }
        const long long loaded_bytes = live_bytes;
        config_remove(scene_name);
        const long long after_config = live_bytes;
        signals_reset();
        const long long after_bus = live_bytes;
        video_unregister(video);
        delete device;
        const long long after_device = live_bytes;

        const double n = picture_count;
        state.counters["total_per_object"] = double(loaded_bytes - before) / n;
        state.counters["config_per_object"] = double(loaded_bytes - after_config) / n;
        state.counters["bus_per_object"] = double(after_config - after_bus) / n;
        state.counters["device_per_object"] = double(after_bus - after_device) / n;
        state.counters["pixels_per_object"] = picture_pixel_bytes;
        state.counters["library_per_object"] = double(after_device - before) / n;

        // The slots are gone from the bus already.
        for (const auto& [name, object] : scene->get_objects()) delete object;
        delete scene;
        state.counters["left_after_unload"] = double(live_bytes - before);
    }
}

BENCHMARK(BM_PictureMemory)->Iterations(1)->Unit(benchmark::kMillisecond);

std::vector<bench::Row> evaluate(const bench::Results& results) {
    const char* measure = "7 memory";
    const bench::Result* result = results.find("BM_PictureMemory");
    if (!result) return {bench::missing_row(measure, "library bytes per picture", "BM_PictureMemory")};
    auto counter = [&](const char* key) {
        auto it = result->counters.find(key);
        return it == result->counters.end() ? 0.0 : it->second;
    };
    bench::Row row;
    row.measure = measure;
    row.label = "library bytes per picture (N=" + std::to_string(picture_count) + ")";
    row.ours = bench::format_fixed(counter("library_per_object"), 0) + " B";
    row.peer = "total " + bench::format_fixed(counter("total_per_object"), 0) + " B: config " +
               bench::format_fixed(counter("config_per_object"), 0) + ", bus " +
               bench::format_fixed(counter("bus_per_object"), 0) + ", device " +
               bench::format_fixed(counter("device_per_object"), 0) + " (pixels " +
               bench::format_fixed(counter("pixels_per_object"), 0) + ")";
    row.ratio = bench::format_fixed(counter("library_per_object") / 1024.0, 2) + " KiB";
    row.target = "< 1.00 KiB";
    row.pass = counter("library_per_object") < 1024.0;
    return {row};
}

}  // namespace

int main(int argc, char** argv) { return bench::run_and_report(argc, argv, evaluate, 1); }
