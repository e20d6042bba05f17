#include "player/display.h"

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <ostream>
#include <vector>

#include "platform/video/headless_device.h"
#include "platform/video/sdl_device.h"
#include "player/png_file.h"

namespace player {
namespace {

bool display_available() {
    const char* x11 = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    return (x11 && *x11) || (wayland && *wayland);
}

// A window clears its frame when presenting, so its snapshots come from a
// copy read back just before each present.
void add_window_snapshots(SdlDevice* window, int width, int height, Display& display) {
    struct Copy {
        std::vector<std::uint8_t> rgba;
        std::string error = "no frame was presented";
    };
    auto copy = std::make_shared<Copy>();
    display.before_present = [window, copy] {
        copy->error.clear();
        if (!window->read_pixels(copy->rgba)) copy->error = window->get_error();
    };
    display.snapshot = [copy, width, height](const std::string& path, std::string& reason) {
        if (!copy->error.empty()) {
            reason = copy->error;
            return false;
        }
        return write_rgba_png(path, width, height, copy->rgba, reason);
    };
}

VideoSettings settings_for(const Options& options, const std::string& backend) {
    VideoSettings settings;
    settings.backend = backend;
    settings.width = options.width;
    settings.height = options.height;
    settings.title = window_title(options.list, options.first_scene);
    return settings;
}

bool open_backend(const Options& options, const std::string& backend, Display& display, std::string& error) {
    // The library sees the player's own device under the chosen name; the
    // real one is registered beside it under a name of its own.
    const std::string name = options.device + "." + backend;
    if (!video_create(name, settings_for(options, backend))) {
        error = video_error();
        return false;
    }
    display.device = video_get_interface(name);
    display.registry_name = name;
    display.headless = backend == "headless";
    if (auto* headless = dynamic_cast<HeadlessDevice*>(display.device)) {
        display.snapshot = [headless](const std::string& path, std::string& reason) {
            if (headless->snapshot(path)) return true;
            reason = headless->get_error();
            return false;
        };
        display.presented_frame = [headless] { return headless->presented_frame(); };
    }
    if (auto* window = dynamic_cast<SdlDevice*>(display.device)) {
        add_window_snapshots(window, options.width, options.height, display);
        display.set_title = [window](const std::string& title) { window->set_title(title); };
        window->set_fullscreen_keys(true);
        if (options.fullscreen && !window->set_fullscreen(true)) {
            error = window->get_error();
            return false;
        }
    }
    return display.device != nullptr;
}

}  // namespace

std::string window_title(const std::string& list, const std::string& scene) {
    return std::filesystem::path(list).filename().string() + " - " + scene;
}

Display::~Display() {
    if (!registry_name.empty()) video_unregister(registry_name);
}

bool open_display(const Options& options, Display& display, std::ostream& notes, std::string& error) {
    if (options.mode == DisplayMode::window) {
        // Without a display SDL may still "open" a window nobody sees
        // (offscreen drivers); a user who wants that names the driver.
        const char* driver = std::getenv("SDL_VIDEODRIVER");
        if (!display_available() && !(driver && *driver)) {
            error = "cannot open a window: no display (DISPLAY and WAYLAND_DISPLAY are unset)";
            return false;
        }
        if (open_backend(options, "sdl", display, error)) return true;
        error = "cannot open a window: " + error;
        return false;
    }
    if (options.mode == DisplayMode::automatic) {
        if (!display_available()) {
            notes << "sceneplay: no display (DISPLAY and WAYLAND_DISPLAY are unset), playing headless" << std::endl;
        } else {
            std::string reason;
            if (open_backend(options, "sdl", display, reason)) return true;
            notes << "sceneplay: cannot open a window (" << reason << "), playing headless" << std::endl;
        }
    }
    if (open_backend(options, "headless", display, error)) return true;
    error = "cannot open the headless device: " + error;
    return false;
}

}  // namespace player
