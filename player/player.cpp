#include "player/player.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <ostream>

#include <unistd.h>

#include "scenecheck/scenecheck.h"
#include "player/display.h"
#include "player/export/video_export.h"
#include "player/frame_device.h"
#include "player/input_script.h"
#include "player/kinds/host_kinds.h"
#include "player/pointer_refresh.h"
#include "player/scene_switch_log.h"
#include "player/watch/live_reload.h"
#include "player/watch/overlay_files.h"
#include "sceneengine/scenemanager/scene/scene.h"
#include "sceneengine/sceneobjects/scene_object.h"
#include "sceneengine/scenemanager/sceneengine.h"
#include "services/time.h"

namespace player {
namespace {

namespace fs = std::filesystem;

// A headless run with no --frames stops after this much play, or after the
// input script's last event when that comes later, so it always ends.
constexpr int default_headless_seconds = 20;

struct Failure {
    std::ostream& errors;
    int operator()(const std::string& message) const {
        errors << "sceneplay: " << message << std::endl;
        return exit_failure;
    }
};

bool read_script(const std::string& path, std::vector<ScriptedEvent>& events, std::string& error) {
    std::ifstream in(path);
    if (!in) {
        error = "cannot read input script \"" + path + "\": " + std::strerror(errno);
        return false;
    }
    return parse_script(in, path, events, error);
}

// Makes the folder if needed and proves it takes files, before anything plays.
bool prepare_snapshot_folder(const std::string& folder, std::string& error) {
    std::error_code failure;
    if (fs::exists(folder, failure) && !fs::is_directory(folder, failure)) {
        error = "cannot make snapshot folder \"" + folder + "\": a file of that name is in the way";
        return false;
    }
    fs::create_directories(folder, failure);
    if (failure) {
        error = "cannot make snapshot folder \"" + folder + "\": " + failure.message();
        return false;
    }
    const fs::path probe = fs::path(folder) / ".sceneplay-write-test";
    {
        std::ofstream out(probe);
        if (!(out << "x") || !out.flush()) {
            error = "cannot write into snapshot folder \"" + folder + "\": " + std::strerror(errno);
            return false;
        }
    }
    fs::remove(probe, failure);
    return true;
}

// Runs the checks of scenecheck on the list and its scene files. Findings
// are printed, those that do not stop play as warnings; false when any
// would make a scene fail or show otherwise than its file says.
bool check_before_play(OverlayFiles& files, const std::string& list, std::ostream& errors, std::string& error) {
    CheckReport report;
    if (!check_list(&files, list, report, error)) return false;
    report.print(errors, true);
    const std::size_t blocking = report.blocking();
    if (blocking == 0) return true;
    error = std::to_string(blocking) + (blocking == 1 ? " finding" : " findings") +
            " above would make scenes fail or show otherwise than written; nothing was played (--no-check plays anyway)";
    return false;
}

// The file root and the list's path below it.
void split_list_path(const Options& options, std::string& root, std::string& list) {
    if (!options.root.empty()) {
        root = options.root;
        list = options.list;
        return;
    }
    const fs::path path(options.list);
    root = path.has_parent_path() ? path.parent_path().string() : ".";
    list = path.filename().string();
}

// How the play ended, for --verbose's last line.
std::string end_reason(const FrameDevice& device) {
    if (device.failed()) return "stopped: " + device.failure();
    if (device.stopped_by_limit()) return "stopped after " + std::to_string(device.frame()) + " frames";
    if (device.quit_delivered()) return "quit";
    if (last_requested_scene() == "exit") return "exit";
    return "stopped: scene \"" + last_requested_scene() + "\" could not be shown";
}

}  // namespace

int play(const Options& options, std::ostream& report, std::ostream& errors, const FrameHook& between_frames) {
    const Failure fail{errors};

    std::string root, list;
    split_list_path(options, root, list);
    // Reads like any FileManager; --watch serves the library checked content through it.
    OverlayFiles files(root);
    if (files.get_root().empty()) return fail("the root folder \"" + root + "\" does not exist");
    std::vector<std::uint8_t> list_bytes;
    std::string error;
    if (!files.read(list, list_bytes, error)) return fail("cannot read the scene list: " + error);

    std::vector<ScriptedEvent> script;
    if (!options.input.empty() && !read_script(options.input, script, error)) return fail(error);
    if (!options.snapshot_folder.empty() && !prepare_snapshot_folder(options.snapshot_folder, error))
        return fail(error);
    std::ofstream recording;
    if (!options.record.empty()) {
        recording.open(options.record, std::ios::out | std::ios::trunc);
        if (!recording) return fail("cannot write recording \"" + options.record + "\": " + std::strerror(errno));
        recording << "# input recorded by sceneplay at " << options.fps
                  << " frames a second: FRAME EVENT VALUES, replay with --input and the same --fps\n";
    }

    if (options.check && !check_before_play(files, list, errors, error)) return fail(error);

    Display display;
    if (!open_display(options, display, errors, error)) return fail(error);

    FrameDevice device(display.device);
    device.set_script(script);
    std::int64_t frame_limit = options.frames;
    // The scenes' clock moves only with the frames, in a window too, so that
    // a timer fires at the same frame every time and a window's recording
    // replays headless frame for frame; a window holds each frame to its
    // turn, so its clock keeps real time while it keeps up.
    time_use_manual_clock(true);
    device.set_clock_step(1.0 / options.fps);
    if (display.headless) {
        if (frame_limit == 0) {
            frame_limit = std::int64_t(default_headless_seconds) * options.fps;
            if (!script.empty()) frame_limit = std::max(frame_limit, script.back().frame + 1);
        }
    } else {
        device.set_frame_pacing(1.0 / options.fps);
    }
    device.set_frame_limit(frame_limit);
    if (!options.snapshot_folder.empty()) {
        if (!display.snapshot) return fail("the video device cannot read back its frames for --snapshot");
        device.set_snapshots(options.snapshot_folder, options.snapshot_every, display.snapshot);
        if (display.before_present) device.set_present_hook(display.before_present);
    }
    if (recording.is_open()) device.set_recorder(&recording);
    std::unique_ptr<VideoExport> video;
    if (!options.export_file.empty()) {
        if (!display.presented_frame) return fail("the video device cannot read back its frames for --export");
        video = VideoExport::start(options.export_file, options.width, options.height, options.fps, error);
        if (!video) return fail(error);
    }
    // A progress line only where a person watches it.
    const bool show_progress = video && &errors == &std::cerr && isatty(STDERR_FILENO);
    FrameStats stats;
    if (options.stats) device.set_stats(&stats);
    video_register(options.device, &device);
    struct Unregister {
        std::string name;
        ~Unregister() { video_unregister(name); }
    } unregister{options.device};

    init(options.device);
    register_host_kinds();
    if (!load_scenes(list, options.device, &files))
        return fail("cannot load the scene list \"" + list + "\" (see the lines above)");
    Scene* first = get_scene(options.first_scene);
    if (!first) return fail("scene \"" + options.first_scene + "\" is not in the list \"" + list + "\"");
    // Loaded before it is activated, so that the slots its objects add after
    // loading (a Timer's) are registered by the activation.
    if (!first->scene_loaded() && !first->load_scene())
        return fail("cannot load the first scene \"" + options.first_scene + "\" (see the lines above)");

    PointerRefresh pointer(options.device, device);
    SceneSwitchLog switches([&device] { return device.frame(); },
                     [&](std::int64_t frame, const std::string& scene) {
                         if (options.verbose) report << "frame " << frame << ": scene \"" << scene << "\"" << std::endl;
                         pointer.scene_switched(scene);
                         if (display.set_title) display.set_title(window_title(list, scene));
                     });
    for (const std::string& name : get_scene_names()) switches.follow(name);

    std::unique_ptr<LiveReload> live;
    if (options.watch) {
        LiveReload::Setup setup;
        setup.files = &files;
        setup.list = list;
        setup.video_name = options.device;
        setup.report = options.verbose ? &report : nullptr;
        setup.errors = &errors;
        setup.frame = [&device] { return device.frame(); };
        setup.scene_added = [&switches](const std::string& scene) { switches.follow(scene); };
        setup.shown_reloaded = [&pointer] { pointer.scene_reloaded(); };
        live = std::make_unique<LiveReload>(std::move(setup));
        if (!live->start(error)) return fail(error);
    }
    device.set_frame_start_hook([&](std::int64_t frame) {
        if (between_frames) between_frames(frame);
        pointer.frame_started();  // before a reload, whose move must wait for the scene to draw
        if (live) live->poll(switches.current());
        if (video && !device.failed()) {
            if (!video->add_frame(display.presented_frame())) device.stop_with_failure(video->error());
            if (show_progress && frame % options.fps == 0)
                errors << "\rexport: frame " << frame << " of " << frame_limit << std::flush;
        }
    });

    const auto started = std::chrono::steady_clock::now();
    process_scene(options.first_scene);
    device.set_frame_start_hook({});
    if (options.verbose) report << "frame " << device.frame() << ": " << end_reason(device) << std::endl;
    if (options.stats)
        stats.write(report, device.frame(),
                    std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count());

    if (!device.snapshot_last_frame() || device.failed()) return fail(device.failure());
    if (!device.quit_delivered() && last_requested_scene() != "exit") {
        const std::string& scene = last_requested_scene().empty() ? options.first_scene : last_requested_scene();
        return fail("playing stopped at frame " + std::to_string(device.frame()) + ": scene \"" + scene +
                    "\" could not be shown (see the lines above)");
    }
    if (video) {
        if (show_progress) errors << "\rexport: " << video->frames() << " frames written" << std::endl;
        if (!video->finish()) return fail(video->error());
    }
    return exit_ok;
}

}  // namespace player
