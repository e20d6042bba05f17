#include "platform/video/screen_settings.h"

#include <cstdint>

#include "platform/video/stored_video_device.h"

bool check_screen_size(const VideoSettings& settings, std::string& error) {
    const std::string what = "Can't make a screen of " + std::to_string(settings.width) + "x" +
                             std::to_string(settings.height) + " for backend \"" + settings.backend + "\": ";
    auto side_ok = [](int side) { return side >= 1 && side <= max_screen_side; };
    if (!side_ok(settings.width) || !side_ok(settings.height)) {
        error = what + "each side must be 1 to " + std::to_string(max_screen_side);
        return false;
    }
    if (std::uint64_t(settings.width) * std::uint64_t(settings.height) > video_image_pixel_budget) {
        error = what + "more pixels than the budget of " + std::to_string(video_image_pixel_budget);
        return false;
    }
    return true;
}
