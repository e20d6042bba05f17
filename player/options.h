#pragma once

#include <cstdint>
#include <string>
#include <vector>

// sceneplay's command line.
namespace player {

enum class DisplayMode { automatic, headless, window };

struct Options {
    std::string list;         // LIST as given
    std::string first_scene;  // FIRST_SCENE
    std::string root;         // --root; empty: the list's folder
    std::string device = "screen";
    DisplayMode mode = DisplayMode::automatic;
    int width = 800;
    int height = 600;
    int fps = 30;
    std::int64_t frames = 0;  // 0: no limit given
    std::string snapshot_folder;
    std::int64_t snapshot_every = 0;  // 0: only the last frame
    std::string input;
    std::string record;
    std::string export_file;  // --export: a video of the play, headless
    bool verbose = false;
    bool stats = false;       // print frame statistics at the end
    bool fullscreen = false;  // a window starts full screen
    bool watch = false;  // reload scene files and take new list entries while playing
    bool check = true;   // check the list and its scene files before the first frame
    bool help = false;
};

// The largest screen side --size accepts.
constexpr int max_screen_side = 8192;

// Parses the arguments after the program name. False with a one-line reason
// in error (without the program name) for a usage error. --help sets help
// and stops parsing.
bool parse_options(const std::vector<std::string>& arguments, Options& options, std::string& error);

// The text that --help prints.
std::string usage_text();

}  // namespace player
