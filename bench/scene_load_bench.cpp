// Scene loading. Scene files of 1 000, 10 000 and 100 000 pictures (one tiny
// PNG shared by all) loaded by Scene::load_scene: the time per object must
// stay flat as scenes grow. yaml_bench compares the reading of the same
// files with libyaml's own scan.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <string>
#include <vector>

#include "bench/support/bench_report.h"
#include "bench/support/frame_world.h"
#include "sceneengine/scenemanager/scene/scene.h"
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

// Unregisters and deletes what a loaded scene holds. Not through
// remove_object, which also cuts the name out of the object list, a walk of
// the whole list per object: quadratic in a scene of 100 000 pictures.
void discard(Scene* scene) {
    for (const auto& [name, object] : scene->get_objects()) {
        if (!object) continue;
        object->disconnect_signals(true);
        object->unregister_slots();
        delete object;
    }
    delete scene;
}

void BM_SceneLoad(benchmark::State& state) {
    const int count = int(state.range(0));
    bench::FrameWorld& world = bench::FrameWorld::get();
    const std::string file = scene_file_for(count);
    const std::string name = "load" + std::to_string(count);
    for (auto _ : state) {
        Scene* scene = new Scene();
        scene->set_name(name);
        scene->set_video_name(bench::bench_video);
        scene->set_storage_file(file);
        scene->set_file_manager(world.file_manager());
        bool loaded;
        double seconds;
        {
            bench::QuietStderr quiet;  // one "loaded" line per picture
            const double start = bench::thread_cpu_seconds();
            loaded = scene->load_scene();
            seconds = bench::thread_cpu_seconds() - start;
        }
        const std::size_t objects = scene->get_objects().size();
        discard(scene);
        if (!loaded || objects != std::size_t(count)) {
            state.SkipWithError("the scene did not load every picture");
            return;
        }
        state.SetIterationTime(seconds);
    }
    state.counters["objects"] = count;
}

BENCHMARK(BM_SceneLoad)->Arg(1000)->Arg(10000)->Arg(100000)->UseManualTime()->Repetitions(3)->MinTime(0.3)->Unit(benchmark::kMillisecond);

bench::Row flat_per_object(const bench::Results& results, int small, int large, double max_ratio) {
    const std::string measure = "4 scene loading";
    const std::string label = "per object, N=" + std::to_string(large) + " vs N=" + std::to_string(small);
    const std::string a_name = "BM_SceneLoad/" + std::to_string(large);
    const std::string b_name = "BM_SceneLoad/" + std::to_string(small);
    const bench::Result* a = results.find(a_name);
    const bench::Result* b = results.find(b_name);
    if (!a || !b) return bench::missing_row(measure, label, !a ? a_name : b_name);
    bench::Row row;
    row.measure = measure;
    row.label = label;
    const double per_large = a->ns / large, per_small = b->ns / small;
    row.ours = bench::format_ns(per_large);
    row.peer = bench::format_ns(per_small);
    row.ratio = bench::format_fixed(per_large / per_small, 2) + "x";
    row.target = "<= " + bench::format_fixed(max_ratio, 2) + "x";
    row.pass = per_large / per_small <= max_ratio;
    return row;
}

std::vector<bench::Row> evaluate(const bench::Results& results) {
    return {flat_per_object(results, 1000, 10000, 1.3), flat_per_object(results, 1000, 100000, 1.3)};
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
