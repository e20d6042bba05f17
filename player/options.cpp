#include "player/options.h"

#include <charconv>
#include <limits>

#include "player/export/video_export.h"

namespace player {
namespace {

bool read_number(const std::string& text, std::int64_t low, std::int64_t high, std::int64_t& value) {
    std::int64_t parsed = 0;
    auto [end, status] = std::from_chars(text.data(), text.data() + text.size(), parsed);
    if (text.empty() || status != std::errc() || end != text.data() + text.size()) return false;
    if (parsed < low || parsed > high) return false;
    value = parsed;
    return true;
}

bool read_size(const std::string& text, int& width, int& height) {
    const auto cross = text.find('x');
    if (cross == std::string::npos) return false;
    std::int64_t w = 0, h = 0;
    if (!read_number(text.substr(0, cross), 1, max_screen_side, w)) return false;
    if (!read_number(text.substr(cross + 1), 1, max_screen_side, h)) return false;
    width = int(w), height = int(h);
    return true;
}

// Options that take a value, and whether they do.
bool takes_value(const std::string& name) {
    for (const char* option : {"--root", "--device", "--size", "--fps", "--frames", "--snapshot",
                               "--snapshot-every", "--input", "--record", "--export"})
        if (name == option) return true;
    return false;
}

bool is_flag(const std::string& name) {
    for (const char* option : {"--headless", "--window", "--fullscreen", "--verbose", "--stats", "--watch",
                               "--no-check", "--help", "-h"})
        if (name == option) return true;
    return false;
}

bool apply(const std::string& name, const std::string& value, Options& options, std::string& error) {
    const std::int64_t most = std::numeric_limits<std::int64_t>::max();
    std::int64_t number = 0;
    if (name == "--root" || name == "--device" || name == "--snapshot" || name == "--input" || name == "--record" ||
        name == "--export") {
        if (value.empty()) {
            error = name + " needs a non-empty value";
            return false;
        }
        if (name == "--root") options.root = value;
        if (name == "--device") options.device = value;
        if (name == "--snapshot") options.snapshot_folder = value;
        if (name == "--input") options.input = value;
        if (name == "--record") options.record = value;
        if (name == "--export") options.export_file = value;
    } else if (name == "--size") {
        if (!read_size(value, options.width, options.height)) {
            error = "--size wants WIDTHxHEIGHT, each from 1 to " + std::to_string(max_screen_side) + ", not \"" +
                    value + "\"";
            return false;
        }
    } else if (name == "--fps") {
        if (!read_number(value, 1, 1000, number)) {
            error = "--fps wants a whole number from 1 to 1000, not \"" + value + "\"";
            return false;
        }
        options.fps = int(number);
    } else if (name == "--frames" || name == "--snapshot-every") {
        if (!read_number(value, 1, most, number)) {
            error = name + " wants a whole number from 1 up, not \"" + value + "\"";
            return false;
        }
        (name == "--frames" ? options.frames : options.snapshot_every) = number;
    }
    return true;
}

}  // namespace

bool parse_options(const std::vector<std::string>& arguments, Options& options, std::string& error) {
    std::vector<std::string> positional;
    bool options_ended = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        std::string argument = arguments[i];
        if (options_ended || argument.size() < 2 || argument[0] != '-') {
            positional.push_back(argument);
            continue;
        }
        if (argument == "--") {
            options_ended = true;
            continue;
        }
        std::string name = argument, value;
        bool inline_value = false;
        if (auto equals = argument.find('='); equals != std::string::npos && argument.rfind("--", 0) == 0) {
            name = argument.substr(0, equals);
            value = argument.substr(equals + 1);
            inline_value = true;
        }
        if (is_flag(name)) {
            if (inline_value) {
                error = name + " takes no value";
                return false;
            }
            if (name == "--help" || name == "-h") {
                options.help = true;
                return true;
            }
            if (name == "--headless") options.mode = DisplayMode::headless;
            if (name == "--window") options.mode = DisplayMode::window;
            if (name == "--verbose") options.verbose = true;
            if (name == "--stats") options.stats = true;
            if (name == "--fullscreen") options.fullscreen = true;
            if (name == "--watch") options.watch = true;
            if (name == "--no-check") options.check = false;
            continue;
        }
        if (!takes_value(name)) {
            error = "unknown option \"" + name + "\" (see sceneplay --help)";
            return false;
        }
        if (!inline_value) {
            if (i + 1 >= arguments.size()) {
                error = name + " needs a value";
                return false;
            }
            value = arguments[++i];
        }
        if (!apply(name, value, options, error)) return false;
    }
    if (positional.size() != 2) {
        const std::string usage = " (usage: sceneplay LIST FIRST_SCENE [options])";
        if (positional.empty()) error = "missing LIST and FIRST_SCENE" + usage;
        else if (positional.size() == 1) error = "missing FIRST_SCENE after \"" + positional[0] + "\"" + usage;
        else error = "too many arguments: \"" + positional[2] + "\"" + usage;
        return false;
    }
    options.list = positional[0];
    options.first_scene = positional[1];
    if (options.list.empty() || options.first_scene.empty()) {
        error = "LIST and FIRST_SCENE must not be empty";
        return false;
    }
    if (!options.export_file.empty()) {
        error = VideoExport::path_problem(options.export_file);
        if (!error.empty()) return false;
        if (options.mode == DisplayMode::window) {
            error = "--export plays headless, so it cannot be used with --window";
            return false;
        }
        options.mode = DisplayMode::headless;
    }
    if (options.snapshot_every && options.snapshot_folder.empty()) {
        error = "--snapshot-every needs --snapshot DIR";
        return false;
    }
    return true;
}

std::string usage_text() {
    return R"(usage: sceneplay LIST FIRST_SCENE [options]

Plays the scene list LIST (a YAML file), starting with the scene FIRST_SCENE.

options:
  --root DIR           folder the scenes' files are read from (default: the
                       list's folder; LIST is then taken relative to DIR)
  --device NAME        name of the video device the scenes draw on (default: screen)
  --headless           play without a window, into memory
  --window             play in a window (an error when none can be opened)
                       (default: a window when a display is available, else headless)
  --fullscreen         start a window full screen (no effect headless)
  --size WxH           design size in pixels (default: 800x600): the size
                       the scenes are made for, of headless frames, of
                       snapshots, and of the coordinates in input scripts
                       and recordings; a window scales it to its own size,
                       keeping its shape, with black bars
  --fps N              frames a second (default: 30); the scenes' clock
                       advances 1/N s per frame, so timers fire at the same
                       frame every time; a window shows at most N frames a
                       second, and a window that cannot keep up plays slower
  --frames N           stop after N frames (headless default: 20 seconds' worth,
                       or more when the input script is longer)
  --snapshot DIR       write frames as PNG files DIR/frame-NNNNNN.png; the last
                       frame is always written
  --snapshot-every K   also write every K-th frame (needs --snapshot)
  --input FILE         scripted input: one event a line, stamped with its frame
                         12 press 400 300 1    12 release 400 300 1
                         15 move 410 310       20 key 32    21 keyup 32
                         22 char 65            40 quit
                       "#" starts a comment; blank lines are skipped
  --record FILE        write the input the player received in the same format,
                       to replay it later with --input
  --export FILE        play headless, like --snapshot, and write the frames as
                       a video at --fps and the screen size: FILE.webm (VP9),
                       FILE.mp4 (H.264) or FILE.webp (an animated image); all
                       play in web browsers
  --watch              follow the files while playing: a saved change to the
                       scene on screen shows from the next frame on (its
                       objects made anew, its timers started again); a
                       scene off screen takes its changes when next shown;
                       new entries of the scene list become scenes to switch
                       to (listed scenes stay as they are). A file that does
                       not parse, or whose objects do not all load, is
                       reported once and changes nothing
  --no-check           play without checking the files first. By default the
                       list and every scene file are checked as scenecheck
                       does before the first frame: what would make a scene
                       fail to load or show otherwise than written (a file
                       missing or not parsing, an unknown object type, a
                       picture or font that does not load, a link to
                       nothing) stops sceneplay with FILE:LINE:COLUMN lines
                       and exit status 1; other findings are printed as
                       warnings and play goes on
  --verbose            print each scene switch: frame 12: scene "menu"; with
                       --watch also each change taken, on one line; and how
                       the play ended: frame 210: exit (or quit, or why it
                       stopped)
  --stats              print at the end the frames shown, the wall time, the
                       mean frames a second, and the median, 99th percentile
                       and worst frame times (presenting, input and drawing;
                       not the wait for a window's next frame)
  --help               print this help

keys in a window: F11 or Alt+Enter toggles full screen; these keys are the
player's own and do not reach the scenes.

exit status: 0 when the presentation ended (by "exit" or a quit), 1 when
something failed while playing or the check found what stops play, 2 for a
bad command line.
)";
}

}  // namespace player
