// The example presentation played end to end by sceneplay, headless, with
// scripted input: the scene switches it reports, frames compared with the
// reference pictures beside this file, and replays of a recording.
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/player/sceneplay_run.h"
#include "tests/support/font_check.h"

namespace {

using playertest::presentation;
using playertest::run_sceneplay;

std::string reference(const std::string& name) { return playertest::source_dir() + "/tests/player/" + name; }

// The frames a folder holds, by name.
std::vector<std::string> frame_files(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// Empty when frame number frame of folder shows the picture expected.
std::string compare(const std::string& folder, int frame, const std::string& expected) {
    char name[32];
    std::snprintf(name, sizeof name, "/frame-%06d.png", frame);
    return testsupport::compare_pictures(folder + name, expected);
}

// The frames depend on the exact DejaVu faces: a missing one is named first.
class Presentation : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(testsupport::missing_font_package(testsupport::presentation_fonts()), ""); }
    testsupport::TempDir folder;
};

// The tour, recorded while it plays, then replayed from the recording.
TEST_F(Presentation, TheTourShowsEveryScenePassingClicksThroughTransparentCornersAndReplaysFrameForFrame) {
    const std::string frames = folder.str() + "/frames", recording = folder.str() + "/recorded.input";
    const auto result =
        run_sceneplay({presentation(), "title", "--headless", "--input", reference("tour.input"), "--record", recording,
                       "--snapshot", frames, "--snapshot-every", "15", "--verbose"});
    ASSERT_EQ(result.status, 0) << result.err;
    // The timer moves on by itself; the click on the circle's corner reaches
    // the frame below (credits); the one on the quit button's corner reaches
    // only the background; the typed character does not end the last slide.
    EXPECT_EQ(result.out,
              "frame 0: scene \"title\"\nframe 151: scene \"menu\"\nframe 170: scene \"credits\"\n"
              "frame 180: scene \"menu\"\nframe 190: scene \"slide\"\nframe 200: scene \"credits\"\nframe 210: quit\n");
    EXPECT_TRUE(result.error_lines().empty()) << result.err;
    EXPECT_EQ(compare(frames, 150, reference("reference/title.png")), "");
    EXPECT_EQ(compare(frames, 165, reference("reference/menu_hover.png")), "");
    EXPECT_EQ(compare(frames, 195, reference("reference/slide.png")), "");
    // The quit at frame 210 ends the play: frame 209 is the last one shown.
    EXPECT_EQ(compare(frames, 209, reference("reference/credits.png")), "");

    EXPECT_NE(playertest::read_file(recording).find("\n170 press 215 215 1\n"), std::string::npos);
    const auto replay = run_sceneplay({presentation(), "title", "--input", recording, "--snapshot",
                                       folder.str() + "/replayed", "--snapshot-every", "15", "--verbose"});
    ASSERT_EQ(replay.status, 0) << replay.err;
    EXPECT_EQ(replay.out, result.out);
    const auto names = frame_files(frames);
    ASSERT_EQ(names.size(), 15u);  // frames 0, 15, ..., 195 and the last, 209
    EXPECT_EQ(names.back(), "frame-000209.png");
    for (const std::string& name : names)
        EXPECT_EQ(playertest::read_file(folder.str() + "/replayed/" + name), playertest::read_file(frames + "/" + name))
            << name << " differs from the recording";
}

// Moving straight from one button onto another and then onto empty space
// leaves none lit; a scene shown again lights only a button under the
// pointer; the quit button ends the presentation.
TEST_F(Presentation, ButtonsAreLitExactlyWhileThePointerIsOverThemAndQuitEndsThePresentation) {
    const std::string unlit = folder.str() + "/unlit", frames = folder.str() + "/frames";
    const std::string to_menu = folder.write("menu.input", "0 key 32\n");
    ASSERT_EQ(run_sceneplay({presentation(), "title", "--input", to_menu, "--frames", "3", "--snapshot", unlit}).status,
              0);
    const std::string script = folder.write("hover.input",
                                            "2 move 300 300\n"  // on the title, where the menu's circle will be
                                            "3 key 32\n"        // the menu comes under the pointer
                                            "6 move 560 300\n"  // the quit button
                                            "7 move 300 300\n"  // straight from quit onto the circle above
                                            "8 move 700 100\n"  // onto empty space
                                            "10 move 300 300\n11 press 300 300 1\n"  // the slide
                                            "13 key 32\n"                            // the last slide
                                            "15 move 70 530\n16 press 70 530 1\n"    // back to the menu
                                            "17 press 560 300 1\n");                 // quit
    const auto result = run_sceneplay({presentation(), "title", "--input", script, "--frames", "30", "--snapshot",
                                       frames, "--snapshot-every", "1", "--verbose"});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out,
              "frame 0: scene \"title\"\nframe 3: scene \"menu\"\nframe 11: scene \"slide\"\n"
              "frame 13: scene \"credits\"\nframe 16: scene \"menu\"\nframe 17: exit\n");
    for (int frame : {5, 7}) EXPECT_EQ(compare(frames, frame, reference("reference/menu_hover.png")), "") << frame;
    for (int frame : {9, 16}) EXPECT_EQ(compare(frames, frame, unlit + "/frame-000002.png"), "") << frame;
}

}  // namespace
