#include "platform/video/headless_device.h"

#include <algorithm>

#include "platform/video/png_snapshot.h"
#include "platform/video/screen_settings.h"
#include "platform/video/sprite_placement.h"

std::unique_ptr<HeadlessDevice> HeadlessDevice::create(const VideoSettings& settings, std::string& error) {
    if (!check_screen_size(settings, error)) return nullptr;
    return std::unique_ptr<HeadlessDevice>(new HeadlessDevice(settings));
}

HeadlessDevice::HeadlessDevice(const VideoSettings& settings)
    : width_(settings.width),
      height_(settings.height),
      background_(device_to_frame(settings.background)),
      building_(std::size_t(width_) * std::size_t(height_), background_),
      presented_(building_) {}

Event HeadlessDevice::get_event() {
    if (events_.empty()) return Event{};
    Event event = events_.front();
    events_.pop_front();
    return event;
}

bool HeadlessDevice::update_screen() {
    if (keep_presented_ && clear_new_frames_)
        std::swap(building_, presented_);  // the old presented frame is about to be cleared anyway
    else if (keep_presented_)
        presented_ = building_;
    if (clear_new_frames_) std::fill(building_.begin(), building_.end(), background_);
    ++frames_;
    return true;
}

void HeadlessDevice::show_mouse_cursor(bool show) { cursor_shown_ = show; }

std::int16_t HeadlessDevice::get_screen_width() { return std::int16_t(width_); }
std::int16_t HeadlessDevice::get_screen_height() { return std::int16_t(height_); }

void HeadlessDevice::set_switch_a(bool on) { clear_new_frames_ = on; }
void HeadlessDevice::set_switch_b(bool on) { blend_ = on; }
void HeadlessDevice::set_switch_c(bool on) { clip_ = on; }
void HeadlessDevice::set_switch_d(bool on) { keep_presented_ = on; }

void HeadlessDevice::push_event(const Event& event) { events_.push_back(event); }

bool HeadlessDevice::snapshot(const std::string& path) {
    std::string error;
    if (write_frame_png(path, presented_.data(), width_, height_, error)) return true;
    set_error(error);
    return false;
}

std::uint32_t HeadlessDevice::presented_pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
    const std::uint32_t word = presented_[std::size_t(y) * std::size_t(width_) + std::size_t(x)];
    return (word << 8) | (word >> 24);
}

bool HeadlessDevice::draw_placed(const Video_Sprite& sprite, const Video_Image& image) {
    const auto rect = sprite_pixel_rect(sprite);
    if (!rect) {
        set_error("its position is not a finite number");
        return false;
    }
    if (!clip_ && !lies_inside_screen(*rect, width_, height_)) return true;
    if (blend_)
        blend_image(building_view(), rect->left, rect->top, image);
    else
        copy_image(building_view(), rect->left, rect->top, image);
    return true;
}
