// scenecheck on committed fixtures, on the example presentation, on small
// lists written into a temporary folder, and as a program on its command line.
#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "scenecheck/scenecheck.h"
#include "sceneengine/scenemanager/scene_object_fabric.h"
#include "scenecheck/kind_table.h"
#include "tests/support/test_support.h"

namespace {

std::string source_dir() {
    const char* dir = std::getenv("SCENE_SOURCE_DIR");
    return dir ? dir : ".";
}

std::string fixture(const std::string& name) { return source_dir() + "/tests/player/check_fixtures/" + name; }

std::string read_text(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

struct CheckRun {
    int status;
    std::string out;
    std::string err;
};

CheckRun check(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    int status = run_scenecheck(args, out, err);
    return {status, out.str(), err.str()};
}

// Runs the built scenecheck program; stdout and stderr go to files in dir.
CheckRun run_program(const std::string& args, const testsupport::TempDir& dir) {
    const char* binary_dir = std::getenv("SCENE_BINARY_DIR");
    std::string program = std::string(binary_dir ? binary_dir : ".") + "/scenecheck/scenecheck";
    std::string out = dir.str() + "/out.txt", err = dir.str() + "/err.txt";
    int raw = std::system((program + " " + args + " >" + out + " 2>" + err + " </dev/null").c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, read_text(out), read_text(err)};
}

}  // namespace

TEST(ScenecheckFixtures, BrokenListReportsEachFaultOnItsOwnLine) {
    CheckRun run = check({"scenes.yaml", "--root", fixture("broken")});
    EXPECT_EQ(run.out, read_text(fixture("broken/expected.txt")));
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "");
}

TEST(ScenecheckFixtures, CleanListIsCleanWhicheverWayItIsNamed) {
    CheckRun rooted = check({"scenes.yaml", "--root", fixture("clean")});
    EXPECT_EQ(rooted.out, "");
    EXPECT_EQ(rooted.status, 0);
    // Without --root the list's own folder is the root.
    CheckRun plain = check({fixture("clean/scenes.yaml")});
    EXPECT_EQ(plain.out, "");
    EXPECT_EQ(plain.status, 0);
}

TEST(ScenecheckFixtures, ExamplePresentationIsClean) {
    CheckRun run = check({source_dir() + "/examples/presentation/scenes.yaml"});
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.status, 0);
}

TEST(ScenecheckFixtures, EveryRegisteredObjectTypeHasAnEntryInTheKindTable) {
    check({fixture("clean/scenes.yaml")});  // registers the kinds as the player does
    ASSERT_FALSE(SceneObjectFabric::_fabrics_.empty());
    for (const auto& [type, fabric] : SceneObjectFabric::_fabrics_)
        EXPECT_NE(kind_table::find(type), nullptr) << "the checker does not know the keys of " << type;
}

TEST(ScenecheckLists, ListThatCannotBeReadIsReportedAsTheServiceSaysIt) {
    testsupport::TempDir dir;
    dir.write("bad.yaml", "Scenes: [unclosed\n");
    CheckRun missing = check({"nothing.yaml", "--root", dir.str()});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.out.rfind("nothing.yaml", 0), 0u) << missing.out;
    CheckRun broken = check({"bad.yaml", "--root", dir.str()});
    EXPECT_EQ(broken.status, 1);
    EXPECT_EQ(broken.out.rfind("bad.yaml:2:1: ", 0), 0u) << broken.out;
}

TEST(ScenecheckLists, EntriesTheLoaderNeverReaches) {
    testsupport::TempDir dir;
    dir.write("a.yaml", "Scene: {}\n");
    dir.write("empty.yaml", "# nothing here\n");
    dir.write("nameless.yaml",
              "Scenes:\n"
              "  Scene0: {name: a, file: a.yaml}\n"
              "  Scene1: {file: a.yaml}\n"
              "  Scene2: {name: c, file: a.yaml}\n");
    dir.write("padded.yaml",
              "Scenes:\n"
              "  Scene0: {name: a, file: a.yaml}\n"
              "  Scene01: {name: b, file: a.yaml}\n");
    EXPECT_EQ(check({"empty.yaml", "--root", dir.str()}).out,
              "empty.yaml:1:1: the list names no scene (no key \"Scenes->Scene0->name\")\n");
    EXPECT_EQ(check({"nameless.yaml", "--root", dir.str()}).out,
              "nameless.yaml:3:18: \"Scenes->Scene1\" has no name, so the list ends there and "
              "\"Scenes->Scene2\" is never read\n");
    EXPECT_EQ(check({"padded.yaml", "--root", dir.str()}).out,
              "padded.yaml:3:19: \"Scenes->Scene01\" is never read: entries are numbered 0, 1, 2, ... "
              "without leading zeros\n");
}

TEST(ScenecheckLists, SceneFilesOutsideTheRootAreRefused) {
    testsupport::TempDir dir;
    dir.write("outside.yaml", "Scene: {}\n");
    dir.write("root/scenes.yaml", "Scenes: {Scene0: {name: a, file: ../outside.yaml}}\n");
    CheckRun run = check({"scenes.yaml", "--root", dir.str() + "/root"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "scenes.yaml:1:34: scene \"a\" cannot be loaded: ../outside.yaml: paths through \"..\" are refused\n");
}

TEST(ScenecheckLists, ObjectsOfAnotherSceneCanBeSignalSourcesOnlyWhenThatSceneHasThem) {
    testsupport::TempDir dir;
    dir.write("scenes.yaml", "Scenes: {Scene0: {name: a, file: a.yaml}, Scene1: {name: b, file: b.yaml}}\n");
    dir.write("a.yaml", "Scene: {Objects: {Object0: {name: t, type: Timer}}}\n");
    dir.write("b.yaml",
              "Scene: {Objects: {Object0: {name: s, type: SceneSwitch}}}\n"
              "Objects:\n"
              "  s:\n"
              "    SceneSwitch: {target: a}\n"
              "    signals:\n"
              "      signal0: {signal_source: a->t, signal_name: time_out, slot_name: _on_trigger}\n"
              "      signal1: {signal_source: b->t, signal_name: time_out, slot_name: _on_trigger}\n");
    CheckRun run = check({"scenes.yaml", "--root", dir.str()});
    EXPECT_EQ(run.out,
              "b.yaml:7:32: \"Objects->s->signals->signal1->signal_source\" is \"b->t\": no scene of the list, "
              "no object of a scene and not \"Video\"; did you mean \"a->t\"?\n");
}

TEST(ScenecheckProgram, UsageErrorsExitWithTwo) {
    testsupport::TempDir dir;
    for (const char* args : {"", "--frobnicate x.yaml", "a.yaml b.yaml", "x.yaml --root", "x.yaml --root /no/such/dir"}) {
        CheckRun run = run_program(args, dir);
        EXPECT_EQ(run.status, 2) << args;
        EXPECT_EQ(run.out, "") << args;
        EXPECT_EQ(run.err.rfind("scenecheck: ", 0), 0u) << args << ": " << run.err;
    }
    CheckRun help = run_program("--help", dir);
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out.rfind("usage: scenecheck LIST [--root DIR]\n", 0), 0u) << help.out;
    // The reference of the kinds: the library's and the host's, as their loaders read them.
    CheckRun keys = check({"--keys"});
    EXPECT_EQ(keys.status, 0);
    for (const char* line : {"  SceneObject->link_v_align: top, bottom, center or base_point; default \"center\"\n",
                             "  Timer->time: number (atof); default \"1.0\"\n", "  signals: time_out\n",
                             "  Button->target: scene of the list, or exit; required\n"})
        EXPECT_NE(keys.out.find(line), std::string::npos) << line << keys.out;
}

TEST(ScenecheckProgram, PrintsFindingsOnStdoutOnlyAndExitsWithOne) {
    testsupport::TempDir dir;
    CheckRun broken = run_program("scenes.yaml --root " + fixture("broken"), dir);
    EXPECT_EQ(broken.status, 1);
    EXPECT_EQ(broken.out, read_text(fixture("broken/expected.txt")));
    // The services' own error lines are not repeated on stderr.
    EXPECT_EQ(broken.err, "");
    CheckRun clean = run_program(fixture("clean/scenes.yaml"), dir);
    EXPECT_EQ(clean.status, 0);
    EXPECT_EQ(clean.out, "");
}
