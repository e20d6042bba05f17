// sceneplay's command line, run as a separate process: each bad option or
// file gets one clear line on stderr and its exit status (2 for a bad
// command line, 1 for a failure while preparing or playing).
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/player/sceneplay_run.h"
#include "tests/support/test_support.h"

namespace {

using playertest::run_sceneplay;

// A two-scene list: "only" switches to "broken" on any key, and "broken"
// cannot load (its picture is missing). The check before play would refuse
// such a list, so the cases that show what the library does with it play
// with --no-check.
class SceneplayCli : public ::testing::Test {
protected:
    void SetUp() override {
        folder.write("list.yaml",
                     "Scenes:\n"
                     "  Scene0: {name: only, file: only.yaml}\n"
                     "  Scene1: {name: broken, file: broken.yaml}\n");
        folder.write("only.yaml",
                     "Scene:\n"
                     "  Objects:\n"
                     "    Object0: {name: go, type: SceneSwitch}\n"
                     "Objects:\n"
                     "  go:\n"
                     "    SceneSwitch: {target: broken}\n"
                     "    signals:\n"
                     "      signal0: {connect: on_load, type: builtin, signal_source: Video, "
                     "signal_name: keyboard_press, slot_name: _on_key_press}\n");
        folder.write("broken.yaml",
                     "Scene:\n"
                     "  Objects:\n"
                     "    Object0: {name: picture, type: Image}\n"
                     "Objects:\n"
                     "  picture:\n"
                     "    Image: {image_file: missing.png}\n");
        list = folder.str() + "/list.yaml";
    }

    void expect_usage_error(const std::vector<std::string>& arguments, const std::string& line) {
        const auto result = run_sceneplay(arguments);
        EXPECT_EQ(result.status, 2) << line;
        EXPECT_EQ(result.err, "sceneplay: " + line + "\n");
        EXPECT_EQ(result.out, "");
    }

    void expect_failure(std::vector<std::string> arguments, const std::string& line) {
        arguments.push_back("--no-check");
        const auto result = run_sceneplay(arguments);
        EXPECT_EQ(result.status, 1) << result.err;
        EXPECT_EQ(result.last_error_line(), "sceneplay: " + line) << result.err;
    }

    testsupport::TempDir folder;
    std::string list;
};

TEST_F(SceneplayCli, HelpListsEveryOptionAndSucceeds) {
    const auto result = run_sceneplay({"--help"});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.err, "");
    for (const char* option : {"--root", "--device", "--headless", "--window", "--size", "--fps", "--frames",
                               "--snapshot", "--snapshot-every", "--input", "--record", "--no-check", "--verbose",
                               "--stats", "--fullscreen", "--export", "--help"})
        EXPECT_NE(result.out.find(option), std::string::npos) << option;
    EXPECT_EQ(run_sceneplay({list, "only", "-h"}).status, 0);
}

TEST_F(SceneplayCli, WrongArgumentCountsAreUsageErrors) {
    const std::string usage = " (usage: sceneplay LIST FIRST_SCENE [options])";
    expect_usage_error({}, "missing LIST and FIRST_SCENE" + usage);
    expect_usage_error({"--headless", list}, "missing FIRST_SCENE after \"" + list + "\"" + usage);
    expect_usage_error({list, "only", "extra"}, "too many arguments: \"extra\"" + usage);
    expect_usage_error({list, ""}, "LIST and FIRST_SCENE must not be empty");
}

TEST_F(SceneplayCli, BadOptionsAreUsageErrors) {
    expect_usage_error({list, "only", "--bogus"}, "unknown option \"--bogus\" (see sceneplay --help)");
    expect_usage_error({list, "only", "-x"}, "unknown option \"-x\" (see sceneplay --help)");
    expect_usage_error({list, "only", "--fps"}, "--fps needs a value");
    expect_usage_error({list, "only", "--headless=yes"}, "--headless takes no value");
    expect_usage_error({list, "only", "--device="}, "--device needs a non-empty value");
    expect_usage_error({list, "only", "--snapshot-every", "5"}, "--snapshot-every needs --snapshot DIR");
    for (const char* size : {"800", "0x600", "800x0", "8193x10", "800x600x2", "x600", "-800x600", "800X600"})
        expect_usage_error({list, "only", "--size", size},
                           std::string("--size wants WIDTHxHEIGHT, each from 1 to 8192, not \"") + size + "\"");
    for (const char* fps : {"0", "1001", "30.5", "thirty", ""})
        expect_usage_error({list, "only", "--fps", fps},
                           std::string("--fps wants a whole number from 1 to 1000, not \"") + fps + "\"");
    for (const char* frames : {"0", "-1", "1e3", "99999999999999999999"})
        expect_usage_error({list, "only", "--frames=" + std::string(frames)},
                           std::string("--frames wants a whole number from 1 up, not \"") + frames + "\"");
    expect_usage_error({list, "only", "--snapshot", folder.str(), "--snapshot-every", "0"},
                       "--snapshot-every wants a whole number from 1 up, not \"0\"");
}

TEST_F(SceneplayCli, MissingFilesAndScenesAreFailures) {
    expect_failure({folder.str() + "/nope/list.yaml", "only"},
                   "the root folder \"" + folder.str() + "/nope\" does not exist");
    expect_failure({folder.str() + "/nope.yaml", "only"},
                   "cannot read the scene list: nope.yaml: No such file or directory");
    expect_failure({list, "absent"}, "scene \"absent\" is not in the list \"list.yaml\"");
    expect_failure({list, "broken"}, "cannot load the first scene \"broken\" (see the lines above)");
    // --root makes LIST relative to it.
    expect_failure({"list.yaml", "only", "--root", folder.str() + "/nope"},
                   "the root folder \"" + folder.str() + "/nope\" does not exist");
    EXPECT_EQ(run_sceneplay({"list.yaml", "only", "--no-check", "--root", folder.str(), "--frames", "2"}).status, 0);
    EXPECT_EQ(run_sceneplay({"list.yaml", "only", "--no-check", "--frames", "2"}, folder.str()).status, 0);
}

TEST_F(SceneplayCli, TheFilesAreCheckedBeforeTheFirstFrame) {
    folder.write("list.yaml",
                 "Scenes:\n"
                 "  Scene0: {name: only, file: only.yaml}\n"
                 "  Scene1: {name: broken, file: second.yaml}\n");
    folder.write("second.yaml", "Scene:\n  Objects:\n    Object0: {name: a, type: Image\n");
    const std::string frames = folder.str() + "/frames";
    const auto refused = run_sceneplay({list, "only", "--headless", "--frames", "3", "--snapshot", frames});
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.error_lines().front().rfind("second.yaml:4:1: ", 0), 0u) << refused.err;
    EXPECT_EQ(refused.last_error_line(), "sceneplay: 1 finding above would make scenes fail or show otherwise than "
                                         "written; nothing was played (--no-check plays anyway)");
    EXPECT_FALSE(std::filesystem::exists(frames + "/frame-000000.png"));
    // Without the check the library plays what it can: the broken scene is never shown.
    EXPECT_EQ(run_sceneplay({list, "only", "--no-check", "--headless", "--frames", "3"}).status, 0);

    // Findings that change nothing on screen are warnings, and play goes on.
    folder.write("second.yaml", "Scene:\n  show_mouse_cursor: 1x\n");
    const auto warned = run_sceneplay({list, "only", "--headless", "--frames", "3"});
    EXPECT_EQ(warned.status, 0) << warned.err;
    EXPECT_EQ(warned.err, "second.yaml:2:22: warning: \"Scene->show_mouse_cursor\" is \"1x\", which reads as 1 "
                          "(reading stops at \"x\")\n");
}

TEST_F(SceneplayCli, AListTheLibraryCannotReadIsAFailure) {
    folder.write("typed.yaml", "Scenes:\n  Scene0: {name: only, file: only.yaml, type: fancy}\n");
    expect_failure({folder.str() + "/typed.yaml", "only"}, "cannot load the scene list \"typed.yaml\" (see the lines above)");
}

TEST_F(SceneplayCli, BadInputScriptsStopBeforeAnythingPlays) {
    expect_failure({list, "only", "--input", folder.str() + "/none.input"},
                   "cannot read input script \"" + folder.str() + "/none.input\": No such file or directory");
    const std::string script = folder.write("bad.input", "# tour\n5 key 32\n\n9 jump 1 2\n");
    const std::string snapshots = folder.str() + "/frames";
    const auto result = run_sceneplay({list, "only", "--no-check", "--input", script, "--snapshot", snapshots});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "sceneplay: " + script +
                              ":4: unknown event \"jump\" (expected press, release, move, key, keyup, char or quit)\n");
    EXPECT_FALSE(std::filesystem::exists(snapshots));
}

TEST_F(SceneplayCli, OutputsThatCannotBeWrittenAreFailures) {
    const std::string in_the_way = folder.write("plain-file", "x");
    expect_failure({list, "only", "--snapshot", in_the_way + "/frames"},
                   "cannot make snapshot folder \"" + in_the_way + "/frames\": Not a directory");
    expect_failure({list, "only", "--snapshot", in_the_way},
                   "cannot make snapshot folder \"" + in_the_way + "\": a file of that name is in the way");
    expect_failure({list, "only", "--record", folder.str() + "/no/such/folder.input"},
                   "cannot write recording \"" + folder.str() + "/no/such/folder.input\": No such file or directory");
}

// The folder is fine when the play starts, but a frame's file cannot be
// written: the play stops with a failure naming it, and earlier frames stay.
using SnapshotGuards = SceneplayCli;

TEST_F(SnapshotGuards, SceneplayStopsWithAFailureWhenAFrameCannotBeWritten) {
    testsupport::TempDir frames;
    std::filesystem::create_directories(frames.path() / "frame-000002.png");  // a folder where a frame goes
    const auto result =
        run_sceneplay({list, "only", "--no-check", "--headless", "--frames", "5", "--snapshot", frames.str(), "--snapshot-every", "1"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.last_error_line().rfind("sceneplay: cannot write snapshot \"" + frames.str() + "/frame-000002.png\"", 0),
              0u) << result.err;
    EXPECT_TRUE(std::filesystem::exists(frames.path() / "frame-000001.png"));
}

TEST_F(SceneplayCli, WithoutADisplayItPlaysHeadlessUnlessAWindowIsDemanded) {
    const auto automatic = run_sceneplay({list, "only", "--no-check", "--frames", "3"});
    EXPECT_EQ(automatic.status, 0);
    EXPECT_EQ(automatic.err, "sceneplay: no display (DISPLAY and WAYLAND_DISPLAY are unset), playing headless\n");

    const auto headless = run_sceneplay({list, "only", "--no-check", "--headless", "--frames", "3"});
    EXPECT_EQ(headless.status, 0);
    EXPECT_EQ(headless.err, "");

    const auto window = run_sceneplay({list, "only", "--no-check", "--window", "--frames", "3"});
    EXPECT_EQ(window.status, 1);
    EXPECT_EQ(window.last_error_line().rfind("sceneplay: cannot open a window: ", 0), 0u) << window.err;
}

TEST_F(SceneplayCli, ASceneThatFailsToLoadMidwayStopsThePlayWithAFailure) {
    const std::string script = folder.write("key.input", "4 key 32\n");
    const auto result = run_sceneplay({list, "only", "--no-check", "--headless", "--input", script, "--verbose"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, "frame 0: scene \"only\"\nframe 4: stopped: scene \"broken\" could not be shown\n");
    EXPECT_EQ(result.last_error_line(),
              "sceneplay: playing stopped at frame 4: scene \"broken\" could not be shown (see the lines above)");
}

TEST_F(SceneplayCli, HeadlessRunsEndByThemselves) {
    // No --frames and no input: 20 seconds' worth of frames, then a quit.
    testsupport::TempDir frames;
    const auto result =
        run_sceneplay({list, "only", "--no-check", "--headless", "--fps", "2", "--snapshot", frames.str(), "--stats"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out.rfind("stats: 40 frames in ", 0), 0u) << result.out;
    EXPECT_NE(result.out.find("\nstats: frame time 50% "), std::string::npos) << result.out;
    EXPECT_TRUE(std::filesystem::exists(frames.str() + "/frame-000039.png"));
    EXPECT_FALSE(std::filesystem::exists(frames.str() + "/frame-000040.png"));

    // A script that runs longer extends the play to its last event.
    const std::string script = folder.write("late.input", "50 char 65\n");
    testsupport::TempDir longer;
    EXPECT_EQ(run_sceneplay({list, "only", "--no-check", "--headless", "--fps", "2", "--input", script, "--snapshot", longer.str()})
                  .status,
              0);
    EXPECT_TRUE(std::filesystem::exists(longer.str() + "/frame-000050.png"));
}

}  // namespace
