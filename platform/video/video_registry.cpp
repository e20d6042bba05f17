// The registry of named video devices behind video_create, video_register,
// video_unregister and video_get_interface.

#include <map>
#include <memory>
#include <string>

#include "platform/video/headless_device.h"
#include "platform/video/sdl_device.h"
#include "services/video.h"

namespace {

struct Entry {
    Video_Interface* device = nullptr;
    std::unique_ptr<Video_Interface> owned;  // set only for devices video_create made
};

struct Registry {
    std::map<std::string, Entry> devices;
    std::string error;
    // The last device found and its name. The library asks for its device
    // by name once per object drawn, nearly always the same name; every
    // change to devices drops it.
    std::string last_name;
    Video_Interface* last_device = nullptr;
};

Registry& registry() {
    static Registry instance;
    return instance;
}

std::unique_ptr<Video_Interface> make_device(const VideoSettings& settings, std::string& error) {
    if (settings.backend == "headless") return HeadlessDevice::create(settings, error);
    if (settings.backend == "sdl") return SdlDevice::create(settings, error);
    error = "Unknown video backend \"" + settings.backend + "\" (known: \"headless\", \"sdl\")";
    return nullptr;
}

// Puts a device under name. The device it replaces is taken out of the
// registry before it is destroyed, so its destructor never sees itself
// listed.
void install(const std::string& name, Entry entry) {
    Entry old;
    auto found = registry().devices.find(name);
    if (found != registry().devices.end()) old = std::move(found->second);
    registry().last_device = nullptr;
    registry().devices[name] = std::move(entry);
}

}  // namespace

bool video_create(const std::string& name, const VideoSettings& settings) {
    std::string error;
    std::unique_ptr<Video_Interface> device = make_device(settings, error);
    if (!device) {
        registry().error = "Can't create video device \"" + name + "\": " + error;
        return false;
    }
    Video_Interface* raw = device.get();
    install(name, Entry{raw, std::move(device)});
    return true;
}

void video_register(const std::string& name, Video_Interface* device) {
    if (!device) {
        registry().error = "Can't register video device \"" + name + "\": the device is null";
        return;
    }
    auto found = registry().devices.find(name);
    if (found != registry().devices.end() && found->second.device == device) return;  // already there; keep ownership
    install(name, Entry{device, nullptr});
}

void video_unregister(const std::string& name) {
    auto found = registry().devices.find(name);
    if (found == registry().devices.end()) {
        registry().error = "No video device named \"" + name + "\" to unregister";
        return;
    }
    Entry old = std::move(found->second);
    registry().last_device = nullptr;
    registry().devices.erase(found);
}

Video_Interface* video_get_interface(std::string name) {
    Registry& state = registry();
    if (state.last_device != nullptr && name == state.last_name) return state.last_device;
    auto found = state.devices.find(name);
    if (found != state.devices.end()) {
        state.last_name = std::move(name);
        state.last_device = found->second.device;
        return state.last_device;
    }
    registry().error = "No video device named \"" + name + "\"";
    return nullptr;
}

std::string video_error() { return registry().error; }
