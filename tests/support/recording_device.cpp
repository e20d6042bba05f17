#include "tests/support/recording_device.h"

#include "tests/support/call_log.h"

namespace testsupport {

namespace {

void record(const std::string& call) { call_log().push_back("video:" + call); }

const char* word(bool on) { return on ? "true" : "false"; }

}  // namespace

Event RecordingDevice::get_event() {
    record("get_event");
    if (events.empty()) return Event();
    Event event = events.front();
    events.pop_front();
    return event;
}

bool RecordingDevice::update_screen() {
    record("update_screen");
    return true;
}

void RecordingDevice::show_mouse_cursor(bool show) { record(std::string("show_mouse_cursor ") + word(show)); }

std::int16_t RecordingDevice::get_screen_width() {
    record("get_screen_width");
    return width;
}

std::int16_t RecordingDevice::get_screen_height() {
    record("get_screen_height");
    return height;
}

void RecordingDevice::set_switch_a(bool on) { record(std::string("set_switch_a ") + word(on)); }
void RecordingDevice::set_switch_b(bool on) { record(std::string("set_switch_b ") + word(on)); }
void RecordingDevice::set_switch_c(bool on) { record(std::string("set_switch_c ") + word(on)); }
void RecordingDevice::set_switch_d(bool on) { record(std::string("set_switch_d ") + word(on)); }

RecordingDevice::~RecordingDevice() {
    if (destroyed) ++*destroyed;
}

bool RecordingDevice::create_image(std::string name, std::string scene, int width_, int height_,
                                   const std::uint32_t* pixels) {
    record("create_image " + name + " " + scene + " " + std::to_string(width_) + "x" + std::to_string(height_));
    std::vector<std::uint32_t> copy(pixels, pixels + std::size_t(width_) * std::size_t(height_));
    images[{name, scene}] = std::make_unique<Video_Image>(name, scene, width_, height_, std::move(copy));
    return true;
}

Video_Image* RecordingDevice::get_image(std::string name, std::string scene) {
    record("get_image " + name + " " + scene);
    auto it = images.find({name, scene});
    return it == images.end() ? nullptr : it->second.get();
}

bool RecordingDevice::create_sprite(std::string sprite, std::string scene, std::string image,
                                    std::string image_scene, bool) {
    record("create_sprite " + sprite + " " + scene + " " + image + " " + image_scene);
    if (refuse_sprites) {
        error = "sprites refused";
        return false;
    }
    auto it = images.find({image, image_scene});
    const Video_Image* source = it == images.end() ? nullptr : it->second.get();
    const int w = sprite_width >= 0 ? sprite_width : (source ? source->get_width() : 0);
    const int h = source ? source->get_height() : 0;
    sprites[{sprite, scene}] = std::make_unique<Video_Sprite>(image, image_scene, w, h);
    return true;
}

Video_Sprite* RecordingDevice::get_sprite(std::string sprite, std::string scene) {
    record("get_sprite " + sprite + " " + scene);
    if (lose_sprites) {
        error = "sprite lost";
        return nullptr;
    }
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
    auto flush_run = [&] {
        if (run) folded.push_back("video:get_event x" + std::to_string(run));
        run = 0;
    };
    for (const std::string& entry : log) {
        if (entry == "video:get_event") {
            ++run;
            continue;
        }
        flush_run();
        folded.push_back(entry);
    }
    flush_run();
    return folded;
}

Event key_event(std::int32_t type, std::int32_t code) {
    Event event;
    event.type = type;
    if (type == 5)
        event.character = code;
    else
        event.key = code;
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
    event.type = 6;
    return event;
}

}  // namespace testsupport
