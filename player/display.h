#pragma once

#include <functional>
#include <iosfwd>
#include <memory>
#include <string>

#include "player/frame_device.h"
#include "player/options.h"
#include "services/video.h"

namespace player {

// The real video device sceneplay plays on, chosen from the command line and
// the environment. It lives in the device registry under its own name
// (registry_name); the destructor takes it out again.
struct Display {
    Display() = default;
    Display(const Display&) = delete;
    Display& operator=(const Display&) = delete;
    ~Display();

    Video_Interface* device = nullptr;  // owned by the registry
    std::string registry_name;
    bool headless = true;
    // Writes the last presented frame as PNG; empty when the device cannot.
    FrameDevice::Snapshooter snapshot;
    // To be called just before each present when snapshots are wanted (a
    // window keeps a copy of the frame it is about to present); may be empty.
    std::function<void()> before_present;
    // The presented frame as words 0xAARRGGBB, rows top to bottom, at the
    // screen size; empty for a window.
    std::function<const std::uint32_t*()> presented_frame;
    // Retitles the window; empty without one.
    std::function<void(const std::string& title)> set_title;
};

// A window's title: the scene list's file name and the scene on screen.
std::string window_title(const std::string& list, const std::string& scene);

// A window is tried when the mode asks for one, or when it is automatic and
// DISPLAY or WAYLAND_DISPLAY is set; an automatic mode falls back to headless
// and says so with one line on notes. False with error set when no device
// opens (a window that was asked for, or a screen size the device refuses).
bool open_display(const Options& options, Display& display, std::ostream& notes, std::string& error);

}  // namespace player
