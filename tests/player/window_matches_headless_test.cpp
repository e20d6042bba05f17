// The presentation in a real window, under a private X server, against the headless device.
#include <gtest/gtest.h>

#include <regex>

#include "tests/player/sceneplay_run.h"
#include "tests/support/x_server.h"

namespace {

using playertest::presentation;
using playertest::shell_quoted;

// Plays the presentation from the title in a window while the shell commands of driver (xdotool) run;
// false when no X server could be started or the play failed. output: the --verbose lines, or why not.
bool play_in_window(const std::vector<std::string>& arguments, std::string& output, const std::string& driver = "") {
    testsupport::XServer server;
    const std::string display = server.start(output);
    if (display.empty()) return false;
    std::string play = std::string("export DISPLAY=").append(display).append(" SDL_VIDEODRIVER=x11\n");
    for (const std::string& word :
         {playertest::program_path("player/sceneplay"), presentation(), std::string("title"), std::string("--window")})
        play.append(shell_quoted(word)).append(" ");
    for (const std::string& argument : arguments) play.append(shell_quoted(argument)).append(" ");
    play.append("&\nplayer=$!\n(:\n").append(driver).append("\n) >/dev/null 2>&1\nwait $player\n");
    testsupport::TempDir folder;
    const auto result = playertest::run("/bin/bash", {folder.write("play.sh", play)});
    output = result.out + result.err;
    if (result.status != 0) return false;
    std::istringstream in(output);
    output.clear();
    for (std::string line; std::getline(in, line);)
        if (line.rfind("frame ", 0) == 0 && line.find(": ") != std::string::npos) output += line + "\n";
    return true;
}

// The title's timer shows the menu at frame 151 by the frame clock; a click on quit one frame
// later ends the show only if the menu is there. The window's rounding is within the tolerance.
TEST(WindowMatchesHeadless, AWindowRecordingReplaysHeadlessFrameForFrame) {
    testsupport::TempDir folder, window_frames, headless_frames;
    const std::string script = folder.write("quit.input", "152 press 560 300 1\n");
    const std::string recording = folder.str() + "/recorded.input";
    std::string report;
    if (!play_in_window({"--input", script, "--record", recording, "--verbose", "--frames", "200", "--snapshot",
                         window_frames.str(), "--snapshot-every", "39"},
                        report))
        GTEST_SKIP() << "no window could be opened here: " << report;
    EXPECT_EQ(report, "frame 0: scene \"title\"\nframe 151: scene \"menu\"\nframe 152: exit\n");
    const auto replay = playertest::run_sceneplay({presentation(), "title", "--headless", "--input", recording,
                                                   "--verbose", "--snapshot", headless_frames.str(),
                                                   "--snapshot-every", "39"});
    ASSERT_EQ(replay.status, 0) << replay.err;
    EXPECT_EQ(replay.out, report);
    EXPECT_EQ(testsupport::compare_pictures(window_frames.str() + "/frame-000039.png",
                                            headless_frames.str() + "/frame-000039.png"),
              "");
}

// Resized to 1024x768, the window scales the presentation up; a real click at the scaled place of the
// circle's transparent corner reaches the frame below. Each step waits for the title to name the scene.
TEST(WindowMatchesHeadless, AResizedWindowMapsTheMouseBackToTheDesignSize) {
    if (std::system("command -v xdotool >/dev/null 2>&1") != 0) GTEST_SKIP() << "xdotool is not installed";
    const std::string driver =
        "find() { timeout 20 xdotool search --sync --name \"scenes.yaml - $1\" | head -n 1; }\n"
        "window=$(find title)\n"
        "xdotool windowsize --sync $window 1024 768 mousemove --window $window 512 384 key space\n"
        "find menu && xdotool mousemove --window $window 275 275 click 1\n"  // (215, 215) scaled by 1.28
        "find credits && xdotool key Return";
    std::string report;
    if (!play_in_window({"--frames", "900", "--verbose"}, report, driver))
        GTEST_SKIP() << "no window could be opened here: " << report;
    const std::regex played(
        "frame 0: scene \"title\"\nframe [0-9]+: scene \"menu\"\nframe [0-9]+: scene \"credits\"\nframe [0-9]+: "
        "exit\n");
    EXPECT_TRUE(std::regex_match(report, played)) << report;
}

}  // namespace
