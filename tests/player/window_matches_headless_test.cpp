// The presentation in a real window (under a private X server) shows the same
// frame as the headless device at the same moment.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "tests/player/sceneplay_run.h"
#include "tests/support/test_support.h"
#include "tests/support/x_server.h"

namespace {

using playertest::shell_quoted;

// Plays frames 0..39 of the title in a window on a private X server; false
// when no X server could be started here.
bool play_in_window(const std::string& snapshots, std::string& output) {
    testsupport::XServer server;
    const std::string display = server.start(output);
    if (display.empty()) return false;
    testsupport::TempDir logs;
    const std::string command =
        "env DISPLAY=" + display + " SDL_VIDEODRIVER=x11 " + shell_quoted(playertest::sceneplay_path()) + " " +
        shell_quoted(playertest::source_dir() + "/examples/presentation/scenes.yaml") +
        " title --window --frames 40 --snapshot " + shell_quoted(snapshots) + " >" + shell_quoted(logs.str() + "/log") +
        " 2>&1 </dev/null";
    const int status = std::system(command.c_str());
    output = playertest::read_file(logs.str() + "/log");
    return status == 0;
}

TEST(WindowMatchesHeadless, TitleFrameAgreesWithinOneStepPerChannel) {
    testsupport::TempDir window_frames, headless_frames;
    std::string window_output;
    if (!play_in_window(window_frames.str(), window_output))
        GTEST_SKIP() << "no window could be opened here: " << window_output;

    const auto headless = playertest::run_sceneplay({playertest::source_dir() + "/examples/presentation/scenes.yaml",
                                                     "title", "--headless", "--frames", "40", "--snapshot",
                                                     headless_frames.str()});
    ASSERT_EQ(headless.status, 0) << headless.err;

    testsupport::RgbaImage in_window, in_memory;
    std::string error;
    ASSERT_TRUE(testsupport::read_png(window_frames.str() + "/frame-000039.png", in_window, error)) << error;
    ASSERT_TRUE(testsupport::read_png(headless_frames.str() + "/frame-000039.png", in_memory, error)) << error;
    ASSERT_EQ(in_window.width, in_memory.width);
    ASSERT_EQ(in_window.height, in_memory.height);

    // The window's renderer blends with its own rounding; one step per channel
    // is all it may differ by.
    int worst = 0;
    for (std::size_t i = 0; i < in_window.rgba.size(); ++i)
        worst = std::max(worst, std::abs(int(in_window.rgba[i]) - int(in_memory.rgba[i])));
    EXPECT_LE(worst, 1);
    EXPECT_NE(in_window.at(400, 190), in_window.at(5, 5)) << "the logo must be on screen, not a blank frame";
}

}  // namespace
