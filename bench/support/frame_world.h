#pragma once

#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "bench/support/counting_device.h"
#include "bench/support/scene_files.h"
#include "services/fileio.h"
#include "services/signals.h"

// The library driven through its own frame loop: init, load_scenes and
// process_scene on a counting device, with scenes of generated pictures.
namespace bench {

inline const std::string bench_video = "bench_video";

// Swaps std::cerr's buffer for one that drops everything while it lives: a
// load writes one line per picture, and the terminal's speed is not what is
// being measured.
class QuietStderr {
public:
    QuietStderr();
    ~QuietStderr();
    QuietStderr(const QuietStderr&) = delete;
    QuietStderr& operator=(const QuietStderr&) = delete;

private:
    std::streambuf* previous_;
};

// One process-wide world: the library initialised on a counting device
// registered as bench_video, and a folder holding one tiny shared picture.
class FrameWorld {
public:
    static FrameWorld& get();

    CountingDevice& device() { return device_; }
    FileIO::FileManager* file_manager() { return file_manager_.get(); }
    const TempFolder& folder() const { return folder_; }

    // Makes (once) a preloaded scene named scene_name with count pictures;
    // false with error when the library refused it.
    bool load_picture_scene(const std::string& scene_name, int count, std::string& error);

private:
    FrameWorld();

    TempFolder folder_;
    CountingDevice device_;
    std::unique_ptr<FileIO::FileManager> file_manager_;
    std::vector<std::string> loaded_;
};

// Runs process_scene(scene_name) for exactly `cycles` full cycles of the
// frame loop and returns their thread CPU time in seconds, or a negative
// value when the loop ended early. A slot connected to the scene's
// "->new_cycle" signal takes the time at the start of the first draw and
// again `cycles` draws later, then asks for "exit"; so the time covers
// whole cycles (update_screen, the event pump, the switch check, the draw)
// and leaves out the activation of the scene.
double time_frame_cycles(const std::string& scene_name, int cycles);

}  // namespace bench
