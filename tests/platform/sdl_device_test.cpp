// The window backend on a real X server: a private Xvfb started here when no
// display is set.

#include <gtest/gtest.h>

#include <functional>

#include <SDL2/SDL.h>
#include <dlfcn.h>
#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/video/sdl_device.h"
#include "services/video.h"
#include "tests/support/x_server.h"

namespace {

#if defined(__SANITIZE_ADDRESS__)
struct LeakCheckPause {
    LeakCheckPause() { __lsan_disable(); }
    ~LeakCheckPause() { __lsan_enable(); }
};
#else
struct LeakCheckPause {
    LeakCheckPause() {}
    ~LeakCheckPause() {}
};
#endif

// The platform suites link only the platform library; SDL's own functions
// are found in the process, where that library has loaded SDL.
SDL_Event blank(Uint32 type) {
    SDL_Event event;
    std::memset(&event, 0, sizeof event);
    event.type = type;
    return event;
}

int push_sdl_event(SDL_Event& event) {
    using Push = int (*)(SDL_Event*);
    static const auto push = reinterpret_cast<Push>(dlsym(RTLD_DEFAULT, "SDL_PushEvent"));
    return push ? push(&event) : -1;
}

constexpr int screen_width = 64, screen_height = 48;

class SdlWindow : public ::testing::Test {
protected:
    // Mesa's GL driver, which SDL loads for the window, keeps memory for the
    // process and is unloaded by SDL before the leak check runs, so no
    // suppression can name it: what a window test allocates is left out of
    // the leak check.
    LeakCheckPause pause_;

    static void SetUpTestSuite() {
        setenv("SDL_VIDEODRIVER", "x11", 1);
        const char* display = std::getenv("DISPLAY");
        if (display && *display) return;
        const std::string started = server_.start(skip_reason_);
        if (!started.empty()) setenv("DISPLAY", started.c_str(), 1);
    }
    static void TearDownTestSuite() {
        video_unregister("sdl-test");  // the window goes before its server
        server_.stop();
    }

    void SetUp() override {
        if (!skip_reason_.empty()) GTEST_SKIP() << "no X server for the window tests: " << skip_reason_;
        VideoSettings settings;
        settings.backend = "sdl";
        settings.width = screen_width;
        settings.height = screen_height;
        settings.title = "sdl device test";
        settings.background = video_pixel::make(10, 20, 30, 255);
        settings.vsync = false;
        ASSERT_TRUE(video_create("sdl-test", settings)) << video_error();
        device_ = dynamic_cast<SdlDevice*>(video_get_interface("sdl-test"));
        ASSERT_NE(device_, nullptr);
        drain();
    }

    // Events the X server sends on its own (the pointer entering the new
    // window) are taken out before a test pushes its own.
    void drain() {
        const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(2);
        for (int quiet = 0; quiet < 5 && std::chrono::steady_clock::now() < give_up;) {
            if (device_->get_event().type == 7) {
                ++quiet;
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            }
        }
    }

    std::uint32_t pixel(const std::vector<std::uint8_t>& rgba, int x, int y) {
        const std::size_t i = (std::size_t(y) * screen_width + std::size_t(x)) * 4;
        return (std::uint32_t(rgba[i]) << 24) | (std::uint32_t(rgba[i + 1]) << 16) |
               (std::uint32_t(rgba[i + 2]) << 8) | rgba[i + 3];
    }

    static testsupport::XServer server_;
    static std::string skip_reason_;
    SdlDevice* device_ = nullptr;
};

testsupport::XServer SdlWindow::server_;
std::string SdlWindow::skip_reason_;

// Each channel within one step of the expected value (the renderer's own
// rounding of blends), alpha ignored: the window has no alpha of its own.
::testing::AssertionResult near_rgb(std::uint32_t actual, std::uint32_t expected) {
    for (int shift : {24, 16, 8}) {
        const int a = int((actual >> shift) & 0xFF), e = int((expected >> shift) & 0xFF);
        if (std::abs(a - e) > 1)
            return ::testing::AssertionFailure() << std::hex << "got 0x" << actual << ", expected 0x" << expected;
    }
    return ::testing::AssertionSuccess();
}

TEST_F(SdlWindow, DrawsBlendedClippedSpritesThatReadBack) {
    const std::uint32_t red = video_pixel::make(255, 0, 0, 255);
    const std::uint32_t clear = video_pixel::make(0, 0, 0, 0);
    const std::uint32_t half_green = video_pixel::make(0, 255, 0, 128);
    std::vector<std::uint32_t> back(20 * 10, red);
    std::vector<std::uint32_t> front(10 * 10);
    for (int i = 0; i < 100; ++i) front[std::size_t(i)] = i % 10 < 5 ? clear : half_green;
    ASSERT_TRUE(device_->create_image("back", "s", 20, 10, back.data()));
    ASSERT_TRUE(device_->create_image("front", "s", 10, 10, front.data()));
    ASSERT_TRUE(device_->create_sprite("back", "s", "back", "s", true));
    ASSERT_TRUE(device_->create_sprite("front", "s", "front", "s", true));
    ASSERT_TRUE(device_->create_sprite("edge", "s", "back", "s", true));
    device_->get_sprite("back", "s")->set_position(5, 5);     // x 5-24, y 5-14
    device_->get_sprite("front", "s")->set_position(18, 10);  // clear x 18-22, half green x 23-27
    Video_Sprite* edge = device_->get_sprite("edge", "s");
    edge->set_base(0.5, 0.5);
    edge->set_position(64, 48);  // centred on the lower-right corner: x 54-63, y 43-47 show
    for (const char* sprite : {"back", "front", "edge"}) ASSERT_TRUE(device_->draw_sprite(sprite, "s")) << sprite;

    std::vector<std::uint8_t> rgba;
    ASSERT_TRUE(device_->read_pixels(rgba)) << device_->get_error();
    EXPECT_TRUE(near_rgb(pixel(rgba, 0, 0), 0x0A141E00u)) << "background";
    EXPECT_TRUE(near_rgb(pixel(rgba, 5, 5), 0xFF000000u));
    EXPECT_TRUE(near_rgb(pixel(rgba, 20, 12), 0xFF000000u)) << "the clear part shows back";
    EXPECT_TRUE(near_rgb(pixel(rgba, 23, 12), 0x7F800000u)) << "half green over red";
    EXPECT_TRUE(near_rgb(pixel(rgba, 26, 12), 0x058A0F00u)) << "half green over the background";
    EXPECT_TRUE(near_rgb(pixel(rgba, 28, 12), 0x0A141E00u));
    EXPECT_TRUE(near_rgb(pixel(rgba, 54, 43), 0xFF000000u));
    EXPECT_TRUE(near_rgb(pixel(rgba, 63, 47), 0xFF000000u));
    EXPECT_TRUE(near_rgb(pixel(rgba, 53, 43), 0x0A141E00u));
    EXPECT_TRUE(near_rgb(pixel(rgba, 54, 42), 0x0A141E00u));

    ASSERT_TRUE(device_->update_screen()) << device_->get_error();
    ASSERT_TRUE(device_->read_pixels(rgba));
    EXPECT_TRUE(near_rgb(pixel(rgba, 5, 5), 0x0A141E00u)) << "the next frame starts cleared";

    // A frame like the one on screen is not presented again; a moved
    // sprite or a replaced image is a new frame.
    const auto presents_after = [&](const std::function<void()>& change) {
        if (change) change();
        EXPECT_TRUE(device_->draw_sprite("back", "s"));
        const std::size_t before = device_->presented_frames();
        EXPECT_TRUE(device_->update_screen());
        return device_->presented_frames() - before;
    };
    presents_after({});
    EXPECT_EQ(presents_after({}), 0u);
    EXPECT_EQ(presents_after([&] { device_->get_sprite("back", "s")->set_position(6, 5); }), 1u);

    // A replaced image gets a new texture.
    std::vector<std::uint32_t> blue(20 * 10, video_pixel::make(0, 0, 255, 255));
    EXPECT_EQ(presents_after([&] { ASSERT_TRUE(device_->create_image("back", "s", 20, 10, blue.data())); }), 1u);
    ASSERT_TRUE(device_->draw_sprite("back", "s"));
    ASSERT_TRUE(device_->read_pixels(rgba));
    EXPECT_TRUE(near_rgb(pixel(rgba, 6, 5), 0x0000FF00u)) << device_->renderer_name();
}

TEST_F(SdlWindow, PushedSdlEventsComeBackMapped) {
    SDL_Event key = blank(SDL_KEYDOWN);
    key.key.keysym.sym = SDLK_a;
    SDL_Event text = blank(SDL_TEXTINPUT);
    std::strcpy(text.text.text, "\xC3\xA9\xE2\x82\xAC");
    SDL_Event press = blank(SDL_MOUSEBUTTONDOWN);
    press.button.button = SDL_BUTTON_LEFT;
    press.button.x = 3;
    press.button.y = 4;
    SDL_Event motion = blank(SDL_MOUSEMOTION);
    motion.motion.x = 7;
    motion.motion.y = 8;
    motion.motion.xrel = 4;
    motion.motion.yrel = 4;
    motion.motion.state = SDL_BUTTON_LMASK;
    SDL_Event close = blank(SDL_WINDOWEVENT);
    close.window.event = SDL_WINDOWEVENT_CLOSE;
    SDL_Event quit = blank(SDL_QUIT);
    // The full screen key is the device's own (held down here, so it toggles nothing).
    SDL_Event f11 = blank(SDL_KEYDOWN), f11_up = blank(SDL_KEYUP);
    f11.key.keysym.sym = f11_up.key.keysym.sym = SDLK_F11;
    f11.key.repeat = 1;
    device_->set_fullscreen_keys(true);
    for (SDL_Event* event : {&f11, &f11_up, &key, &text, &press, &motion, &close, &quit, &quit})
        ASSERT_EQ(push_sdl_event(*event), 1) << "SDL_PushEvent";

    const Event first = device_->get_event();
    EXPECT_EQ(first.type, 0);
    EXPECT_EQ(first.key, SDLK_a);
    EXPECT_EQ(device_->get_event().character, 0xE9);
    EXPECT_EQ(device_->get_event().character, 0x20AC);
    const Event pressed = device_->get_event();
    EXPECT_EQ(pressed.type, 2);
    EXPECT_EQ(pressed.x, 3.0f);
    EXPECT_EQ(pressed.button, MOUSE_BUTTON_LEFT);
    const Event moved = device_->get_event();
    EXPECT_EQ(moved.type, 4);
    EXPECT_EQ(moved.dx, 4.0f);
    EXPECT_EQ(moved.button, MOUSE_BUTTON_LEFT);
    EXPECT_EQ(device_->get_event().type, 6) << "window close";
    EXPECT_EQ(device_->get_event().type, 6) << "the quit right behind the close is the same quit; the next one counts";
    EXPECT_EQ(device_->get_event().type, 7);
}

}  // namespace
