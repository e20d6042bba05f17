#include "tests/support/recording_device.h"

#include "tests/support/call_log.h"

namespace testsupport {

void RecordingDevice::record(const std::string& call) { call_log().push_back("video:" + call); }

RecordingDevice::~RecordingDevice() {
    if (destroyed) ++*destroyed;
}

Event RecordingDevice::get_event() {
    record("get_event");
    if (events.empty()) return Event();
    Event event = events.front();
    events.pop_front();
    return event;
}

bool RecordingDevice::create_image(std::string name, std::string scene, int width, int height,
                                   const std::uint32_t* pixels) {
    record("create_image " + name + " " + scene + " " + std::to_string(width) + "x" + std::to_string(height));
    std::vector<std::uint32_t> copy(pixels, pixels + std::size_t(width) * std::size_t(height));
    images[{name, scene}] = std::make_unique<Video_Image>(name, scene, width, height, std::move(copy));
    return true;
}

Video_Image* RecordingDevice::get_image(std::string name, std::string scene) {
    record("get_image " + name + " " + scene);
    auto it = images.find({name, scene});
    return it == images.end() ? nullptr : it->second.get();
}

bool RecordingDevice::create_sprite(std::string sprite, std::string scene, std::string image, std::string image_scene,
                                    bool) {
    record("create_sprite " + sprite + " " + scene + " " + image + " " + image_scene);
    if (refuse_sprites) return error = "sprites refused", false;
    auto it = images.find({image, image_scene});
    const Video_Image* source = it == images.end() ? nullptr : it->second.get();
    const int w = sprite_width >= 0 ? sprite_width : (source ? source->get_width() : 0);
    sprites[{sprite, scene}] = std::make_unique<Video_Sprite>(image, image_scene, w, source ? source->get_height() : 0);
    return true;
}

Video_Sprite* RecordingDevice::get_sprite(std::string sprite, std::string scene) {
    record("get_sprite " + sprite + " " + scene);
    if (lose_sprites) return error = "sprite lost", nullptr;
    auto it = sprites.find({sprite, scene});
    return it == sprites.end() ? nullptr : it->second.get();
}

bool RecordingDevice::draw_sprite(std::string sprite, std::string scene) {
    record("draw_sprite " + sprite + " " + scene);
    drawn.push_back(sprite + "@" + scene);
    return true;
}

std::vector<std::string> fold_polls(const std::vector<std::string>& log) {
    std::vector<std::string> folded;
    std::size_t run = 0;
    for (std::size_t i = 0; i < log.size(); ++i) {
        if (log[i] == "video:get_event") ++run;
        if (run && (i + 1 == log.size() || log[i + 1] != "video:get_event")) {
            folded.push_back("video:get_event x" + std::to_string(run));
            run = 0;
        } else if (log[i] != "video:get_event") {
            folded.push_back(log[i]);
        }
    }
    return folded;
}

Event key_event(std::int32_t type, std::int32_t code) {
    Event event;
    event.type = type;
    (type == EVENT_CHARACTER ? event.character : event.key) = code;
    return event;
}

Event mouse_event(std::int32_t type, float x, float y, float dx, float dy, std::int32_t button) {
    Event event;
    event.type = type;
    event.x = x, event.y = y, event.dx = dx, event.dy = dy;
    event.button = button;
    return event;
}

Event quit_event() {
    Event event;
    event.type = EVENT_QUIT;
    return event;
}

}  // namespace testsupport
