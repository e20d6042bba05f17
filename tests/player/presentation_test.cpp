// The example presentation played end to end by sceneplay, headless, with
// scripted input: the scene switches it reports, frames compared with the
// reference pictures beside this file, and replays of a recording.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "player/frame_device.h"
#include "tests/player/sceneplay_run.h"
#include "tests/support/test_support.h"

namespace {

using playertest::run_sceneplay;

// Frames are compared channel by channel. The tolerance absorbs rounding
// differences between builds of the font rasteriser and compositing; a
// misplaced object or a wrong scene differs by far more.
constexpr int channel_tolerance = 2;

std::string presentation() { return playertest::source_dir() + "/examples/presentation/scenes.yaml"; }
std::string player_file(const std::string& name) { return playertest::source_dir() + "/tests/player/" + name; }
std::string frame_file(const testsupport::TempDir& folder, std::int64_t frame) {
    return folder.str() + "/" + player::FrameDevice::snapshot_name(frame);
}

// Empty when the two PNG files show the same picture within the tolerance;
// otherwise what differs.
std::string compare_pictures(const std::string& actual_path, const std::string& expected_path) {
    testsupport::RgbaImage actual, expected;
    std::string error;
    if (!testsupport::read_png(actual_path, actual, error)) return error;
    if (!testsupport::read_png(expected_path, expected, error)) return error;
    if (actual.width != expected.width || actual.height != expected.height)
        return "size " + std::to_string(actual.width) + "x" + std::to_string(actual.height) + " instead of " +
               std::to_string(expected.width) + "x" + std::to_string(expected.height);
    int differing = 0;
    std::string first;
    for (std::size_t i = 0; i < actual.rgba.size(); ++i) {
        if (std::abs(int(actual.rgba[i]) - int(expected.rgba[i])) <= channel_tolerance) continue;
        if (differing++ == 0) {
            const std::size_t pixel = i / 4;
            first = " first at (" + std::to_string(pixel % actual.width) + ", " + std::to_string(pixel / actual.width) +
                    ")";
        }
    }
    return differing ? std::to_string(differing) + " channels differ from " + expected_path + first : "";
}

std::vector<std::string> frame_files(const testsupport::TempDir& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder.path()))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// The tour, recorded while it plays, then replayed from the recording.
TEST(Presentation, TheTourShowsEveryScenePassingClicksThroughTransparentCornersAndReplaysFrameForFrame) {
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
              "frame 200: scene \"credits\"\n");
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

TEST(Presentation, TheQuitButtonAndKeysEndThePresentation) {
    testsupport::TempDir folder;
    const std::string script = folder.write("quit.input", "10 key 13\n20 press 560 300 1\n");
    testsupport::TempDir frames;
    const auto quit = run_sceneplay(
        {presentation(), "title", "--input", script, "--snapshot", frames.str(), "--verbose", "--frames", "100"});
    ASSERT_EQ(quit.status, 0) << quit.err;
    EXPECT_EQ(quit.out, "frame 0: scene \"title\"\nframe 10: scene \"menu\"\n");
    // Only the last frame was asked for: the one before the click ended the play.
    EXPECT_EQ(frame_files(frames), (std::vector<std::string>{"frame-000019.png"}));

    const std::string keys = folder.write("keys.input", "3 key 32\n6 press 300 300 1\n9 key 32\n12 key 32\n");
    const auto through = run_sceneplay({presentation(), "title", "--input", keys, "--verbose", "--frames", "100"});
    ASSERT_EQ(through.status, 0) << through.err;
    EXPECT_EQ(through.out,
              "frame 0: scene \"title\"\n"
              "frame 3: scene \"menu\"\n"
              "frame 6: scene \"slide\"\n"
              "frame 9: scene \"credits\"\n");
}

}  // namespace
