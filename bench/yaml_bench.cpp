// Reading and flattening a scene file's YAML (config_create + load_file)
// against libyaml's own event scan of the same file, which is the least any
// YAML reader built on it can cost. The files are those of scene_load_bench:
// 10 000 and 100 000 pictures.
#include <benchmark/benchmark.h>
#include <yaml.h>

#include <algorithm>
#include <string>
#include <vector>

#include "bench/support/bench_report.h"
#include "bench/support/frame_world.h"
#include "services/config.h"

namespace {

std::string scene_file_for(int count) {
    static std::vector<int> written;
    const std::string file = "yaml" + std::to_string(count) + ".yaml";
    if (std::find(written.begin(), written.end(), count) == written.end()) {
        bench::FrameWorld::get().folder().write(file, bench::picture_scene_yaml(count, "p.png"));
        written.push_back(count);
    }
    return file;
}

void BM_ConfigReadFlatten(benchmark::State& state) {
    const int count = int(state.range(0));
    bench::FrameWorld& world = bench::FrameWorld::get();
    const std::string file = scene_file_for(count);
    for (auto _ : state) {
        config_create("bench_yaml", "quillbox", 1);
        Config_Interface* config = config_get_interface("bench_yaml");
        if (!config || !config->load_file(file, world.file_manager())) {
            state.SkipWithError("the configuration service did not read the scene file");
            return;
        }
        benchmark::DoNotOptimize(config);
    }
    config_remove("bench_yaml");
}

// Reads the file and runs libyaml's event parser to the end, creating and
// freeing every event: nothing is kept.
void BM_LibyamlEventScan(benchmark::State& state) {
    const int count = int(state.range(0));
    const std::string path = (bench::FrameWorld::get().folder().path() / scene_file_for(count)).string();
    for (auto _ : state) {
        const std::string bytes = bench::read_file(path);
        yaml_parser_t parser;
        yaml_parser_initialize(&parser);
        yaml_parser_set_input_string(&parser, reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
        long events = 0;
        for (bool done = false; !done;) {
            yaml_event_t event;
            if (!yaml_parser_parse(&parser, &event)) {
                state.SkipWithError("libyaml refused the scene file");
                yaml_parser_delete(&parser);
                return;
            }
            done = event.type == YAML_STREAM_END_EVENT;
            ++events;
            yaml_event_delete(&event);
        }
        yaml_parser_delete(&parser);
        benchmark::DoNotOptimize(events);
    }
}

BENCHMARK(BM_ConfigReadFlatten)->Arg(10000)->Arg(100000)->MinTime(0.3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LibyamlEventScan)->Arg(10000)->Arg(100000)->MinTime(0.3)->Unit(benchmark::kMillisecond);

std::vector<bench::Row> evaluate(const bench::Results& results) {
    std::vector<bench::Row> rows;
    for (int count : {10000, 100000}) {
        rows.push_back(bench::speed_at_least(results, "4 scene loading", "YAML read+flatten, N=" + std::to_string(count),
                                             "BM_ConfigReadFlatten/" + std::to_string(count),
                                             "BM_LibyamlEventScan/" + std::to_string(count), 0.7));
    }
    return rows;
}

}  // namespace

int main(int argc, char** argv) {
    // Both sides then run on memory already mapped (see keep_freed_memory).
    bench::keep_freed_memory();
    return bench::run_and_report(argc, argv, evaluate);
}
