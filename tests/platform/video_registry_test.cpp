#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/video/headless_device.h"
#include "services/video.h"
#include "tests/support/recording_device.h"

namespace {

VideoSettings headless(int width, int height) {
    VideoSettings settings;
    settings.backend = "headless";
    settings.width = width;
    settings.height = height;
    return settings;
}

TEST(VideoRegistry, UnknownNameGivesNullAndAnError) {
    EXPECT_EQ(video_get_interface("registry-nobody"), nullptr);
    EXPECT_EQ(video_error(), "No video device named \"registry-nobody\"");
}

TEST(VideoRegistry, CreatesHeadlessDevicesOfTheSettingsSize) {
    ASSERT_TRUE(video_create("registry-main", headless(320, 200))) << video_error();
    Video_Interface* device = video_get_interface("registry-main");
    ASSERT_NE(device, nullptr);
    EXPECT_NE(dynamic_cast<HeadlessDevice*>(device), nullptr);
    EXPECT_EQ(device->get_screen_width(), 320);
    EXPECT_EQ(device->get_screen_height(), 200);
    video_unregister("registry-main");
    EXPECT_EQ(video_get_interface("registry-main"), nullptr);
}

TEST(VideoRegistry, RefusesUnknownBackendsAndBadSizesKeepingTheOldDevice) {
    ASSERT_TRUE(video_create("registry-keep", headless(10, 10)));
    Video_Interface* before = video_get_interface("registry-keep");

    VideoSettings unknown = headless(10, 10);
    unknown.backend = "vulkan";
    EXPECT_FALSE(video_create("registry-keep", unknown));
    EXPECT_EQ(video_error().rfind("Can't create video device \"registry-keep\": Unknown video backend \"vulkan\"", 0),
              0u)
        << video_error();

    for (auto [width, height] : {std::pair{0, 10}, {10, -1}, {32768, 10}}) {
        EXPECT_FALSE(video_create("registry-keep", headless(width, height)));
        EXPECT_NE(video_error().find("each side must be 1 to 32767"), std::string::npos) << video_error();
    }
    EXPECT_FALSE(video_create("registry-keep", headless(32767, 32767))) << "8 GiB of frames";
    EXPECT_NE(video_error().find("more pixels than the budget of 67108864"), std::string::npos) << video_error();
    EXPECT_EQ(video_get_interface("registry-keep"), before) << "a failed create must not drop the device";
    video_unregister("registry-keep");
}

TEST(VideoRegistry, CreateReplacesADeviceOfTheSameName) {
    ASSERT_TRUE(video_create("registry-swap", headless(10, 10)));
    ASSERT_NE(video_get_interface("registry-swap"), nullptr);  // found once, so remembered
    ASSERT_TRUE(video_create("registry-swap", headless(20, 30)));
    Video_Interface* device = video_get_interface("registry-swap");
    ASSERT_NE(device, nullptr);
    EXPECT_EQ(device->get_screen_width(), 20) << "the replacement, not the device found before";
    video_unregister("registry-swap");
}

TEST(VideoRegistry, HostDevicesAreUsedButNeverDestroyed) {
    int destroyed = 0;
    {
        testsupport::RecordingDevice host;
        host.destroyed = &destroyed;
        video_register("registry-host", &host);
        EXPECT_EQ(video_get_interface("registry-host"), &host);
        video_register("registry-host", &host);  // registering again changes nothing
        video_unregister("registry-host");
        EXPECT_EQ(destroyed, 0);
        EXPECT_EQ(video_get_interface("registry-host"), nullptr);

        // Replacing a host device by a made one, and back, leaves the host's alone.
        video_register("registry-host", &host);
        ASSERT_TRUE(video_create("registry-host", headless(4, 4)));
        EXPECT_EQ(destroyed, 0);
        video_register("registry-host", &host);
        EXPECT_EQ(video_get_interface("registry-host"), &host);
        video_unregister("registry-host");
        EXPECT_EQ(destroyed, 0);
    }
    EXPECT_EQ(destroyed, 1) << "only the host's own scope ends it";
}

TEST(VideoRegistry, NullRegistrationAndUnknownUnregistrationAreRefused) {
    ASSERT_TRUE(video_create("registry-null", headless(4, 4)));
    video_register("registry-null", nullptr);
    EXPECT_EQ(video_error(), "Can't register video device \"registry-null\": the device is null");
    EXPECT_NE(video_get_interface("registry-null"), nullptr) << "the device in place stays";
    video_unregister("registry-null");

    video_unregister("registry-never");
    EXPECT_EQ(video_error(), "No video device named \"registry-never\" to unregister");
}

// Sets an environment variable for one scope and puts the old value back.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name_(name) {
        const char* old = std::getenv(name);
        if (old) old_ = old;
        had_ = old != nullptr;
        value ? setenv(name, value, 1) : unsetenv(name);
    }
    ~ScopedEnv() { had_ ? setenv(name_, old_.c_str(), 1) : unsetenv(name_); }

private:
    const char* name_;
    std::string old_;
    bool had_;
};

TEST(VideoRegistry, WindowWithoutADisplayFailsWithSdlsReason) {
    ScopedEnv display("DISPLAY", nullptr);
    ScopedEnv driver("SDL_VIDEODRIVER", "x11");
    VideoSettings settings = headless(64, 48);
    settings.backend = "sdl";
    EXPECT_FALSE(video_create("registry-window", settings));
    const std::string prefix = "Can't create video device \"registry-window\": Can't open an SDL window: ";
    EXPECT_EQ(video_error().rfind(prefix, 0), 0u) << video_error();
    EXPECT_GT(video_error().size(), prefix.size()) << "SDL's reason follows";
    EXPECT_EQ(video_get_interface("registry-window"), nullptr);
}

}  // namespace
