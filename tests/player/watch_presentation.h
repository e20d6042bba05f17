#pragma once

// A small presentation in a temporary folder, played in process by the
// player's own play() with --watch, so that a test can edit its files at a
// chosen frame (between two frames, as an editor saving would) and look at
// the frames and lines that follow. Header only: every *_test.cpp under
// tests/ is a suite of its own.

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "player/frame_device.h"
#include "player/player.h"
#include "sceneengine/scenemanager/sceneengine.h"
#include "tests/support/library_fixture.h"
#include "tests/support/test_support.h"

namespace watchtest {

// Colours of the squares the scenes show, as RgbaImage::at reads them.
constexpr std::uint32_t red = 0xff0000ffu;
constexpr std::uint32_t blue = 0x0000ffffu;

inline std::vector<std::uint8_t> square_png(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    const int side = 20;
    std::vector<std::uint8_t> rgba;
    for (int i = 0; i < side * side; ++i) rgba.insert(rgba.end(), {r, g, b, 255});
    return testsupport::encode_png(side, side, rgba);
}

// A scene file: each object a square picture centred at (x, y), plus any
// more YAML under "Objects:" (extra_objects, already indented).
struct Square {
    std::string name;
    std::string picture;  // red.png, blue.png, or a file that is missing
    int x = 50;
    int y = 50;
};
inline std::string scene_yaml(const std::vector<Square>& squares, const std::string& extra_list = "",
                              const std::string& extra_objects = "") {
    std::string yaml = "Scene:\n  Objects:\n";
    int index = 0;
    for (const Square& square : squares)
        yaml += "    Object" + std::to_string(index++) + ": {name: " + square.name + ", z_level: 1, type: Image}\n";
    yaml += extra_list;
    yaml += "Objects:\n";
    for (const Square& square : squares)
        yaml += "  " + square.name + ":\n    SceneObject: {absolute_x: " + std::to_string(square.x) +
                ", absolute_y: " + std::to_string(square.y) + "}\n    Image: {image_file: " + square.picture + "}\n";
    return yaml + extra_objects;
}

// A scene file of squares and a SceneSwitch "go" to target that any key
// triggers.
inline std::string scene_with_key_switch(const std::vector<Square>& squares, const std::string& target) {
    const std::string entry =
        "    Object" + std::to_string(squares.size()) + ": {name: go, z_level: 0, type: SceneSwitch}\n";
    const std::string object = "  go:\n    SceneSwitch: {target: " + target +
                               "}\n    signals:\n      signal0: {connect: on_load, type: builtin, signal_source: "
                               "Video, signal_name: keyboard_press, slot_name: _on_key_press}\n";
    return scene_yaml(squares, entry, object);
}

// A scene list of (name, file) entries.
inline std::string list_yaml(const std::vector<std::pair<std::string, std::string>>& scenes) {
    std::string yaml = "Scenes:\n";
    int index = 0;
    for (const auto& [name, file] : scenes)
        yaml += "  Scene" + std::to_string(index++) + ": {name: " + name + ", file: " + file + "}\n";
    return yaml;
}

struct RunResult {
    int status = -1;
    std::string report;  // --verbose lines, but the last: how the play ended
    std::string err;     // everything written to std::cerr
    // err's lines that hold text.
    int count(const std::string& text) const {
        int found = 0;
        std::istringstream in(err);
        for (std::string line; std::getline(in, line);)
            if (line.find(text) != std::string::npos) ++found;
        return found;
    }
};

class Presentation {
public:
    Presentation() {
        folder.write_bytes("red.png", square_png(255, 0, 0));
        folder.write_bytes("blue.png", square_png(0, 0, 255));
    }

    void write(const std::string& relative, const std::string& content) const { folder.write(relative, content); }
    // Saves the way many editors do: a new file renamed over the old one.
    void replace(const std::string& relative, const std::string& content) const {
        folder.write(relative + ".new", content);
        std::filesystem::rename(folder.path() / (relative + ".new"), folder.path() / relative);
    }

    // Plays scenes.yaml from first_scene for frames frames with every frame
    // written, running the actions at their frames. script is an input script.
    RunResult play(const std::string& first_scene, std::int64_t frames,
                   const std::map<std::int64_t, std::function<void()>>& actions, const std::string& script = "") {
        static int runs = 0;
        player::Options options;
        options.list = folder.str() + "/scenes.yaml";
        options.first_scene = first_scene;
        // A device of its own per run: scenes of earlier runs stay in the
        // library, connected to their own device's input signals.
        options.device = "watchscreen" + std::to_string(++runs);
        options.mode = player::DisplayMode::headless;
        options.width = options.height = 100;
        options.frames = frames;
        options.snapshot_folder = frames_folder.str();
        options.snapshot_every = 1;
        options.verbose = true;
        options.watch = true;
        if (!script.empty()) options.input = folder.write("input.txt", script);

        RunResult result;
        std::ostringstream report;
        {
            testsupport::StderrCapture capture;
            result.status = player::play(options, report, std::cerr, [&](std::int64_t frame) {
                if (const auto action = actions.find(frame); action != actions.end()) action->second();
            });
            result.err = capture.text();
        }
        result.report = report.str();
        const auto last_line = result.report.rfind('\n', result.report.size() - 2);
        result.report.erase(last_line == std::string::npos ? 0 : last_line + 1);
        // The scenes stay in the library for later runs; freed at the end of the suite.
        for (const std::string& name : get_scene_names()) testsupport::HostScenes::names().insert(name);
        std::ifstream list(options.list);
        testsupport::HostScenes::remember(std::string(std::istreambuf_iterator<char>(list), {}));
        return result;
    }

    // The colour at (x, y) in the frame's snapshot; 0 when it cannot be read.
    std::uint32_t pixel(std::int64_t frame, int x = 50, int y = 50) const {
        testsupport::RgbaImage image;
        std::string error;
        const std::string path = frames_folder.str() + "/" + player::FrameDevice::snapshot_name(frame);
        if (!testsupport::read_png(path, image, error) || x >= image.width || y >= image.height) return 0;
        return image.at(x, y);
    }

    testsupport::TempDir folder;
    testsupport::TempDir frames_folder;
};

}  // namespace watchtest
