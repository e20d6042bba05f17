// sceneplay run as a separate process: a bad option or file is one clear line
// on stderr, exit status 2 (command line) or 1 (files, play), nothing written.
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/player/sceneplay_run.h"

namespace {

namespace fs = std::filesystem;
using playertest::run_sceneplay;

// "only" switches to "broken" on any key; "broken" cannot load (its picture is
// missing), so cases that show what the library does play with --no-check.
class SceneplayCli : public ::testing::Test {
protected:
    void SetUp() override {
        folder.write("list.yaml",
                     "Scenes: {Scene0: {name: only, file: only.yaml}, Scene1: {name: broken, file: b.yaml}}");
        folder.write("only.yaml",
                     "Scene: {Objects: {Object0: {name: go, type: SceneSwitch}}}\nObjects: {go: {SceneSwitch: {target: "
                     "broken}, signals: {signal0: {connect: on_load, type: builtin, signal_source: Video, "
                     "signal_name: keyboard_press, slot_name: _on_key_press}}}}\n");
        folder.write("b.yaml",
                     "Scene: {Objects: {Object0: {name: picture, type: Image}}}\n"
                     "Objects: {picture: {Image: {image_file: missing.png}}}\n");
    }

    // Runs sceneplay with "DIR" in arguments standing for the folder.
    playertest::RunResult run(std::vector<std::string> arguments, const std::string& cwd = ".") {
        for (std::string& argument : arguments)
            if (argument.rfind("DIR", 0) == 0) argument.replace(0, 3, folder.str());
        return run_sceneplay(arguments, cwd);
    }

    testsupport::TempDir folder;
    const std::string list = "DIR/list.yaml";
};

TEST_F(SceneplayCli, EachBadCommandLineOrFileIsOneClearLineAndPlaysNothing) {
    folder.write("typed.yaml", "Scenes:\n  Scene0: {name: only, file: only.yaml, type: fancy}\n");
    folder.write("bad.input", "# tour\n5 key 32\n\n9 jump 1 2\n");
    folder.write("plain-file", "x");
    const std::string usage = " (usage: sceneplay LIST FIRST_SCENE [options])";
    const std::string root = folder.str();
    struct Case {
        std::vector<std::string> arguments;  // after LIST and "only" unless they start with "-"
        int status;
        std::string line;  // the last line on stderr starts with it
    };
    const Case cases[] = {
        {{"-", "--headless", "DIR/list.yaml"}, 2, "missing FIRST_SCENE after \"" + root + "/list.yaml\"" + usage},
        {{"extra"}, 2, "too many arguments: \"extra\"" + usage},
        {{"-", "DIR/list.yaml", ""}, 2, "LIST and FIRST_SCENE must not be empty"},
        {{"-x"}, 2, "unknown option \"-x\" (see sceneplay --help)"},
        {{"--fps"}, 2, "--fps needs a value"},
        {{"--snapshot-every", "5"}, 2, "--snapshot-every needs --snapshot DIR"},
        {{"--size", "8193x10"}, 2, "--size wants WIDTHxHEIGHT, each from 1 to 8192, not \"8193x10\""},
        {{"--fps", "1001"}, 2, "--fps wants a whole number from 1 to 1000, not \"1001\""},
        {{"--frames=0"}, 2, "--frames wants a whole number from 1 up, not \"0\""},
        {{"--export", "DIR/tour.avi"}, 2, "--export wants a file ending in .webm (VP9), .mp4 (H.264) or .webp"},
        {{"--export", "DIR/none/tour.webm"}, 2, "--export: the folder \"" + root + "/none\" does not exist"},
        {{"--window", "--export", "DIR/t.webm"}, 2, "--export plays headless, so it cannot be used with --window"},
        {{"-", "list.yaml", "only", "--root", "DIR/nope"}, 1, "the root folder \"" + root + "/nope\" does not exist"},
        {{"-", "DIR/nope.yaml", "only"}, 1, "cannot read the scene list: nope.yaml: No such file or directory"},
        {{"-", "DIR/typed.yaml", "only"}, 1, "cannot load the scene list \"typed.yaml\" (see the lines above)"},
        {{"-", "DIR/list.yaml", "absent"}, 1, "scene \"absent\" is not in the list \"list.yaml\""},
        {{"-", "DIR/list.yaml", "broken"}, 1, "cannot load the first scene \"broken\" (see the lines above)"},
        {{"--input", "DIR/none.input"}, 1, "cannot read input script \"" + root + "/none.input\": No such file"},
        {{"--input", "DIR/bad.input", "--snapshot", "DIR/frames"}, 1, root + "/bad.input:4: unknown event \"jump\""},
        {{"--snapshot", "DIR/plain-file"}, 1, "cannot make snapshot folder \"" + root + "/plain-file\": a file of"},
        {{"--record", "DIR/no/such/folder.input"}, 1, "cannot write recording \"" + root + "/no/such/folder.input\""},
        {{"--window", "--frames", "3"}, 1, "cannot open a window: "},
    };
    for (const Case& c : cases) {
        std::vector<std::string> arguments = {"DIR/list.yaml", "only", "--no-check"};
        if (c.arguments.front() == "-") arguments = {"--no-check"};
        for (const std::string& argument : c.arguments)
            if (argument != "-") arguments.push_back(argument);
        const auto result = run(arguments);
        EXPECT_EQ(result.status, c.status) << c.line << "\n" << result.err;
        EXPECT_EQ(result.last_error_line().rfind("sceneplay: " + c.line, 0), 0u) << result.err;
        EXPECT_EQ(result.out, "") << c.line;
        EXPECT_TRUE(c.status != 2 || result.error_lines().size() == 1) << result.err;
        EXPECT_FALSE(fs::exists(root + "/frames")) << c.line;
    }
    EXPECT_EQ(run({}).err, "sceneplay: missing LIST and FIRST_SCENE" + usage + "\n");
    const auto help = run({"DIR/list.yaml", "only", "-h"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("--snapshot-every"), std::string::npos) << help.out;
}

TEST_F(SceneplayCli, TheFilesAreCheckedBeforeTheFirstFrameAndABrokenSceneStopsAPlayWithoutTheCheck) {
    // Without the check the library plays until the broken scene (its picture
    // missing) is asked for, and stops there without a video, not even a part.
    const std::string script = folder.write("key.input", "4 key 32\n");
    const auto files = std::distance(fs::directory_iterator(folder.path()), {});
    const auto stopped = run({list, "only", "--no-check", "--input", script, "--verbose", "--export", "DIR/out.webm"});
    EXPECT_EQ(stopped.status, 1);
    EXPECT_EQ(stopped.out, "frame 0: scene \"only\"\nframe 4: stopped: scene \"broken\" could not be shown\n");
    EXPECT_EQ(stopped.last_error_line(),
              "sceneplay: playing stopped at frame 4: scene \"broken\" could not be shown (see the lines above)");
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.path()), {}), files);

    // With the check, a finding that makes a scene fail stops all before the first frame.
    folder.write("b.yaml", "Scene:\n  Objects:\n    Object0: {name: a, type: Image\n");
    const auto refused = run({list, "only", "--headless", "--frames", "3", "--snapshot", "DIR/frames"});
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.error_lines().front().rfind("b.yaml:4:1: ", 0), 0u) << refused.err;
    EXPECT_EQ(refused.last_error_line(),
              "sceneplay: 1 finding above would make scenes fail or show otherwise than written; nothing was played "
              "(--no-check plays anyway)");
    EXPECT_FALSE(fs::exists(folder.path() / "frames/frame-000000.png"));

    // Findings that change nothing on screen are warnings, and play goes on.
    folder.write("b.yaml", "Scene:\n  show_mouse_cursor: 1x\n");
    const auto warned = run({list, "only", "--headless", "--frames", "3"});
    EXPECT_EQ(warned.status, 0) << warned.err;
    EXPECT_EQ(
        warned.err,
        "b.yaml:2:22: warning: \"Scene->show_mouse_cursor\" is \"1x\", which reads as 1 (reading stops at \"x\")\n");
}

// The folder is fine when the play starts, but a frame's file cannot be
// written: the play stops with a failure naming it, and earlier frames stay.
using SnapshotGuards = SceneplayCli;

TEST_F(SnapshotGuards, SceneplayStopsWithAFailureWhenAFrameCannotBeWritten) {
    fs::create_directories(folder.path() / "frames/frame-000002.png");  // a folder where a frame goes
    const auto result =
        run({list, "only", "--no-check", "--frames", "5", "--snapshot", "DIR/frames", "--snapshot-every", "1"});
    EXPECT_EQ(result.status, 1);
    const std::string failure = "sceneplay: cannot write snapshot \"" + folder.str() + "/frames/frame-000002.png\"";
    EXPECT_EQ(result.last_error_line().rfind(failure, 0), 0u) << result.err;
    EXPECT_TRUE(fs::exists(folder.path() / "frames/frame-000001.png"));
}

TEST_F(SceneplayCli, PlaysHeadlessWithoutADisplayAndEndsByItself) {
    // No display: a notice and a headless play of 20 seconds' worth of frames.
    const auto result = run({list, "only", "--no-check", "--fps", "2", "--snapshot", "DIR/frames", "--stats"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err, "sceneplay: no display (DISPLAY and WAYLAND_DISPLAY are unset), playing headless\n");
    EXPECT_EQ(result.out.rfind("stats: 40 frames in ", 0), 0u) << result.out;
    EXPECT_TRUE(fs::exists(folder.path() / "frames/frame-000039.png"));
    EXPECT_FALSE(fs::exists(folder.path() / "frames/frame-000040.png"));

    // A script that runs longer extends the play to its last event; LIST is
    // relative to --root, or else to the working folder.
    const std::string script = folder.write("late.input", "50 char 65\n");
    const auto longer = run({"list.yaml", "only", "--no-check", "--headless", "--fps", "2", "--input", script,
                             "--snapshot", "DIR/longer", "--root", folder.str()});
    EXPECT_EQ(longer.status, 0) << longer.err;
    EXPECT_EQ(longer.err, "");
    EXPECT_TRUE(fs::exists(folder.path() / "longer/frame-000050.png"));
    EXPECT_EQ(run({"list.yaml", "only", "--no-check", "--frames", "2"}, folder.str()).status, 0);
}

}  // namespace
