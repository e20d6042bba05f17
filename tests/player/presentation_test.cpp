// The example presentation played end to end by sceneplay, headless, with
// scripted input: the scene switches it reports, frames compared with the
// reference pictures beside this file, and replays of a recording.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "player/frame_device.h"
#include "tests/player/sceneplay_run.h"
#include "tests/support/font_check.h"
#include "tests/support/test_support.h"

namespace {

using playertest::run_sceneplay;
using testsupport::compare_pictures;

std::string presentation() { return playertest::source_dir() + "/examples/presentation/scenes.yaml"; }
std::string player_file(const std::string& name) { return playertest::source_dir() + "/tests/player/" + name; }
std::string frame_file(const testsupport::TempDir& folder, std::int64_t frame) {
    return folder.str() + "/" + player::FrameDevice::snapshot_name(frame);
}

std::vector<std::string> frame_files(const testsupport::TempDir& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder.path()))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// The frames depend on the exact DejaVu faces: a missing one is named first.
class Presentation : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string missing = testsupport::missing_font_package(testsupport::presentation_fonts());
        ASSERT_EQ(missing, "");
    }
};

// The tour, recorded while it plays, then replayed from the recording.
TEST_F(Presentation, TheTourShowsEveryScenePassingClicksThroughTransparentCornersAndReplaysFrameForFrame) {
    testsupport::TempDir frames, replayed;
    const std::string recording = replayed.str() + "/recorded.input";
    const auto result = run_sceneplay({presentation(), "title", "--headless", "--input", player_file("tour.input"),
                                       "--record", recording, "--snapshot", frames.str(), "--snapshot-every", "15",
                                       "--verbose"});
    ASSERT_EQ(result.status, 0) << result.err;
    // The timer moves on by itself; the click on the circle's corner reaches
    // the frame below (credits); the one on the quit button's corner reaches
    // only the background; the typed character does not end the last slide.
    EXPECT_EQ(result.out,
              "frame 0: scene \"title\"\n"
              "frame 151: scene \"menu\"\n"
              "frame 170: scene \"credits\"\n"
              "frame 180: scene \"menu\"\n"
              "frame 190: scene \"slide\"\n"
              "frame 200: scene \"credits\"\n"
              "frame 210: quit\n");
    EXPECT_TRUE(result.error_lines().empty()) << result.err;

    // The quit at frame 210 ends the play: frame 209 is the last one shown.
    EXPECT_EQ(frame_files(frames).back(), "frame-000209.png");
    EXPECT_EQ(compare_pictures(frame_file(frames, 150), player_file("reference/title.png")), "");
    EXPECT_EQ(compare_pictures(frame_file(frames, 165), player_file("reference/menu_hover.png")), "");
    EXPECT_EQ(compare_pictures(frame_file(frames, 195), player_file("reference/slide.png")), "");
    EXPECT_EQ(compare_pictures(frame_file(frames, 209), player_file("reference/credits.png")), "");

    const std::string text = playertest::read_file(recording);
    EXPECT_NE(text.find("\n170 press 215 215 1\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\n210 quit\n"), std::string::npos) << text;
    const auto replay = run_sceneplay({presentation(), "title", "--input", recording, "--snapshot",
                                       (replayed.path() / "frames").string(), "--snapshot-every", "15", "--verbose"});
    ASSERT_EQ(replay.status, 0) << replay.err;
    EXPECT_EQ(replay.out, result.out);
    const auto names = frame_files(frames);
    ASSERT_EQ(names.size(), 15u);  // frames 0, 15, ..., 195 and the last, 209
    for (const std::string& name : names)
        EXPECT_EQ(playertest::read_file(replayed.str() + "/frames/" + name), playertest::read_file(frames.str() + "/" + name))
            << name << " differs from the recording";
}

TEST_F(Presentation, TheQuitButtonAndKeysEndThePresentation) {
    testsupport::TempDir folder;
    const std::string script = folder.write("quit.input", "10 key 13\n20 press 560 300 1\n");
    testsupport::TempDir frames;
    const auto quit = run_sceneplay(
        {presentation(), "title", "--input", script, "--snapshot", frames.str(), "--verbose", "--frames", "100"});
    ASSERT_EQ(quit.status, 0) << quit.err;
    EXPECT_EQ(quit.out, "frame 0: scene \"title\"\nframe 10: scene \"menu\"\nframe 20: exit\n");
    // Only the last frame was asked for: the one before the click ended the play.
    EXPECT_EQ(frame_files(frames), (std::vector<std::string>{"frame-000019.png"}));

    const std::string keys = folder.write("keys.input", "3 key 32\n6 press 300 300 1\n9 key 32\n12 key 32\n");
    const auto through = run_sceneplay({presentation(), "title", "--input", keys, "--verbose", "--frames", "100"});
    ASSERT_EQ(through.status, 0) << through.err;
    EXPECT_EQ(through.out,
              "frame 0: scene \"title\"\n"
              "frame 3: scene \"menu\"\n"
              "frame 6: scene \"slide\"\n"
              "frame 9: scene \"credits\"\n"
              "frame 12: exit\n");
}

// Moving straight from one button onto another and then onto empty space
// leaves none lit; a scene shown again lights only a button under the pointer.
TEST_F(Presentation, ButtonsAreLitExactlyWhileThePointerIsOverThem) {
    testsupport::TempDir folder, plain, frames;
    const std::string to_menu = folder.write("menu.input", "0 key 32\n");
    ASSERT_EQ(run_sceneplay({presentation(), "title", "--input", to_menu, "--frames", "3", "--snapshot", plain.str()})
                  .status,
              0);
    const std::string unlit = frame_file(plain, 2);
    const std::string script = folder.write("hover.input",
                                            "2 move 300 300\n"  // on the title, where the menu's circle will be
                                            "3 key 32\n"        // the menu comes under the pointer
                                            "6 move 560 300\n"  // the quit button
                                            "7 move 300 300\n"  // straight from quit onto the circle above
                                            "8 move 700 100\n"  // onto empty space
                                            "10 move 300 300\n11 press 300 300 1\n"  // the slide
                                            "13 key 32\n"                           // the last slide
                                            "15 move 70 530\n16 press 70 530 1\n"); // back to the menu
    const auto result = run_sceneplay({presentation(), "title", "--input", script, "--frames", "18", "--snapshot",
                                       frames.str(), "--snapshot-every", "1", "--verbose"});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "frame 0: scene \"title\"\nframe 3: scene \"menu\"\nframe 11: scene \"slide\"\n"
                          "frame 13: scene \"credits\"\nframe 16: scene \"menu\"\nframe 18: stopped after 18 frames\n");
    for (std::int64_t frame : {5, 7}) EXPECT_EQ(compare_pictures(frame_file(frames, frame), player_file("reference/menu_hover.png")), "") << frame;
    EXPECT_EQ(compare_pictures(frame_file(frames, 9), unlit), "");
    EXPECT_EQ(compare_pictures(frame_file(frames, 16), unlit), "");
}

}  // namespace
