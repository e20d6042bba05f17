#include "platform/video/screen_settings.h"

bool check_screen_size(const VideoSettings& settings, std::string& error) {
    auto side_ok = [](int side) { return side >= 1 && side <= max_screen_side; };
    if (side_ok(settings.width) && side_ok(settings.height)) return true;
    error = "Can't make a screen of " + std::to_string(settings.width) + "x" + std::to_string(settings.height) +
            " for backend \"" + settings.backend + "\": each side must be 1 to " + std::to_string(max_screen_side);
    return false;
}
