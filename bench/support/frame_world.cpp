#include "bench/support/frame_world.h"

#include <algorithm>
#include <iostream>
#include <streambuf>

#include "bench/support/bench_report.h"
#include "sceneengine/scenemanager/sceneengine.h"
#include "services/video.h"

namespace bench {

namespace {

class NullBuffer : public std::streambuf {
protected:
    int overflow(int c) override { return traits_type::not_eof(c); }
    std::streamsize xsputn(const char*, std::streamsize count) override { return count; }
};

class CycleProbe : public AbstractSlot {
public:
    bool call(SlotArgs*) override {
        ++calls;
        if (calls == 1) start = thread_cpu_seconds();
        if (calls == cycles + 1) {
            stop = thread_cpu_seconds();
            set_next_scene("exit");
        }
        return true;
    }

    int cycles = 0;
    int calls = 0;
    double start = 0, stop = 0;
};

}  // namespace

QuietStderr::QuietStderr() {
    static NullBuffer null_buffer;
    previous_ = std::cerr.rdbuf(&null_buffer);
}

QuietStderr::~QuietStderr() { std::cerr.rdbuf(previous_); }

FrameWorld& FrameWorld::get() {
    static FrameWorld world;
    return world;
}

FrameWorld::FrameWorld() {
    video_register(bench_video, &device_);
    init(bench_video);
    folder_.write("p.png", encode_png(2, 2, gradient_rgba(2, 2, 7)));
    file_manager_ = std::make_unique<FileIO::FileManager>(folder_.str());
}

bool FrameWorld::load_picture_scene(const std::string& scene_name, int count, std::string& error) {
    if (std::find(loaded_.begin(), loaded_.end(), scene_name) != loaded_.end()) return true;
    folder_.write(scene_name + ".yaml", picture_scene_yaml(count, "p.png"));
    folder_.write(scene_name + "-list.yaml", scene_list_yaml(scene_name, scene_name + ".yaml", true));
    bool loaded;
    {
        QuietStderr quiet;
        loaded = load_scenes(scene_name + "-list.yaml", bench_video, file_manager_.get());
    }
    if (!loaded) {
        error = "load_scenes refused the scene list of " + scene_name;
        return false;
    }
    loaded_.push_back(scene_name);
    return true;
}

double time_frame_cycles(const std::string& scene_name, int cycles) {
    static const std::string probe_name = "bench->cycle_probe";
    CycleProbe probe;
    probe.cycles = cycles;
    register_slot(probe_name, &probe);
    connect(scene_name + "->new_cycle", probe_name);
    process_scene(scene_name);
    disconnect(scene_name + "->new_cycle", probe_name);
    unregister_slot(probe_name);
    if (probe.calls < cycles + 1) return -1;
    return probe.stop - probe.start;
}

}  // namespace bench
