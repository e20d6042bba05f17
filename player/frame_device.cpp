#include "player/frame_device.h"

#include <cstdio>
#include <ostream>
#include <thread>

#include "services/time.h"

namespace player {

FrameDevice::FrameDevice(Video_Interface* inner) : inner_(inner) {}

void FrameDevice::set_script(std::vector<ScriptedEvent> events) {
    script_ = std::move(events);
    next_ = 0;
}

void FrameDevice::set_frame_limit(std::int64_t frames) { frame_limit_ = frames; }

void FrameDevice::set_clock_step(double seconds) { clock_step_ = seconds; }

void FrameDevice::set_frame_pacing(double seconds) {
    pace_ = std::chrono::duration_cast<std::chrono::steady_clock::duration>(std::chrono::duration<double>(seconds));
    next_present_ = std::chrono::steady_clock::now();
}

void FrameDevice::set_snapshots(std::string folder, std::int64_t every, Snapshooter shoot) {
    snapshot_folder_ = std::move(folder);
    snapshot_every_ = every;
    shoot_ = std::move(shoot);
}

void FrameDevice::set_present_hook(std::function<void()> hook) { present_hook_ = std::move(hook); }

void FrameDevice::set_recorder(std::ostream* out) { recorder_ = out; }

void FrameDevice::set_stats(FrameStats* stats) { stats_ = stats; }

void FrameDevice::set_frame_start_hook(std::function<void(std::int64_t)> hook) {
    frame_start_hook_ = std::move(hook);
}

std::string FrameDevice::snapshot_name(std::int64_t frame) {
    char name[40];
    std::snprintf(name, sizeof name, "frame-%06lld.png", static_cast<long long>(frame));
    return name;
}

Event FrameDevice::get_event() {
    if (failed() || (frame_limit_ > 0 && frame_ >= frame_limit_)) {
        Event quit;
        quit.type = EVENT_QUIT;
        quit_delivered_ = true;
        stopped_by_limit_ = !failed();
        return quit;
    }
    if (next_ < script_.size() && script_[next_].frame <= frame_) return deliver(script_[next_++].event);
    Event event = inner_->get_event();
    if (event.type >= EVENT_KEY_PRESS && event.type <= EVENT_QUIT) return deliver(event);
    return event;
}

bool FrameDevice::pointer(float& x, float& y, std::int32_t& held_button) const {
    if (!pointer_known_) return false;
    x = pointer_.x, y = pointer_.y, held_button = pointer_.button;
    return true;
}

Event FrameDevice::deliver(const Event& event) {
    if (event.type == EVENT_QUIT) quit_delivered_ = true;
    if (is_mouse_event(event.type)) {
        pointer_known_ = true;
        pointer_ = event;
        if (event.type == EVENT_MOUSE_RELEASE) pointer_.button = MOUSE_BUTTON_NONE;
    }
    if (recorder_ && !failed()) {
        const std::string line = format_event_line(frame_, event);
        if (!line.empty()) {
            *recorder_ << line << '\n';
            recorder_->flush();
            if (!*recorder_) failure_ = "cannot write the recording";
        }
    }
    return event;
}

bool FrameDevice::update_screen() {
    if (stats_ && frame_ > 0)
        stats_->add_frame(std::chrono::duration<double>(std::chrono::steady_clock::now() - frame_began_).count());
    if (present_hook_) present_hook_();
    if (pace_.count() > 0) pace();
    if (stats_) frame_began_ = std::chrono::steady_clock::now();
    const bool presented = inner_->update_screen();
    const std::int64_t shown = frame_++;
    if (clock_step_ > 0) time_advance(clock_step_);
    if (shoot_ && snapshot_every_ > 0 && shown % snapshot_every_ == 0 && !failed()) take_snapshot(shown);
    if (frame_start_hook_) frame_start_hook_(frame_);
    return presented;
}

void FrameDevice::pace() {
    const auto now = std::chrono::steady_clock::now();
    if (now < next_present_) {
        std::this_thread::sleep_until(next_present_);
        next_present_ += pace_;
    } else {
        // Behind (a slow frame): start counting again from now instead of rushing to catch up.
        next_present_ = now + pace_;
    }
}

bool FrameDevice::take_snapshot(std::int64_t frame) {
    const std::string path = snapshot_folder_ + "/" + snapshot_name(frame);
    std::string error;
    if (!shoot_(path, error)) {
        failure_ = "cannot write snapshot \"" + path + "\": " + error;
        return false;
    }
    last_snapshot_ = frame;
    snapshots_.push_back(path);
    return true;
}

bool FrameDevice::snapshot_last_frame() {
    if (!shoot_ || frame_ == 0 || last_snapshot_ == frame_ - 1) return !failed();
    if (failed()) return false;
    return take_snapshot(frame_ - 1);
}

void FrameDevice::show_mouse_cursor(bool show) { inner_->show_mouse_cursor(show); }
std::int16_t FrameDevice::get_screen_width() { return inner_->get_screen_width(); }
std::int16_t FrameDevice::get_screen_height() { return inner_->get_screen_height(); }
void FrameDevice::set_switch_a(bool on) { inner_->set_switch_a(on); }
void FrameDevice::set_switch_b(bool on) { inner_->set_switch_b(on); }
void FrameDevice::set_switch_c(bool on) { inner_->set_switch_c(on); }
void FrameDevice::set_switch_d(bool on) { inner_->set_switch_d(on); }

bool FrameDevice::create_image(std::string name, std::string scene, int width, int height,
                               const std::uint32_t* pixels) {
    return inner_->create_image(std::move(name), std::move(scene), width, height, pixels);
}

bool FrameDevice::create_shared_image(std::string name, std::string scene, int width, int height,
                                      Video_Pixels pixels) {
    return inner_->create_shared_image(std::move(name), std::move(scene), width, height, std::move(pixels));
}

Video_Image* FrameDevice::get_image(std::string name, std::string scene) {
    return inner_->get_image(std::move(name), std::move(scene));
}

bool FrameDevice::create_sprite(std::string sprite, std::string scene, std::string image, std::string image_scene,
                                bool flag) {
    return inner_->create_sprite(std::move(sprite), std::move(scene), std::move(image), std::move(image_scene), flag);
}

Video_Sprite* FrameDevice::get_sprite(std::string sprite, std::string scene) {
    return inner_->get_sprite(std::move(sprite), std::move(scene));
}

bool FrameDevice::draw_sprite(std::string sprite, std::string scene) {
    return inner_->draw_sprite(std::move(sprite), std::move(scene));
}

std::string FrameDevice::get_error() { return inner_->get_error(); }

}  // namespace player
