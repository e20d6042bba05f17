// scenecheck against its fixtures (the broken one holds one of every kind of finding, and the numbers read at the edges
// of their range), and the JSON Schema it writes, checked by a validator.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "player/kinds/host_kinds.h"
#include "scenecheck/kind_table.h"
#include "scenecheck/scenecheck.h"
#include "scenecheck/schema.h"
#include "sceneengine/scenemanager/scene_object_fabric.h"
#include "tests/player/sceneplay_run.h"

namespace {

using testsupport::read_file;

std::string fixture(const std::string& name) {
    return playertest::source_dir() + "/tests/player/check_fixtures/" + name;
}

playertest::RunResult check(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    const int status = run_scenecheck(args, out, err);
    return {status, out.str(), err.str()};
}

playertest::RunResult run_program(const std::vector<std::string>& args) {
    return playertest::run(playertest::program_path("scenecheck/scenecheck"), args);
}

TEST(Scenecheck, TheFixturesGiveTheirReportsEveryKindIsKnownAndUsageErrorsExitWithTwo) {
    // Without --root the list's own folder is the root.
    for (const auto& clean : {check({"scenes.yaml", "--root", fixture("clean")}), check({fixture("clean/scenes.yaml")}),
                              check({playertest::source_dir() + "/examples/presentation/scenes.yaml"})}) {
        EXPECT_EQ(clean.out, "");
        EXPECT_EQ(clean.status, 0);
    }
    ASSERT_FALSE(SceneObjectFabric::_fabrics_.empty());
    for (const auto& [type, fabric] : SceneObjectFabric::_fabrics_)
        EXPECT_NE(kind_table::find(type), nullptr) << "the checker does not know the keys of " << type;
    for (const auto& args :
         {std::vector<std::string>{}, {"--frobnicate", "x.yaml"}, {"x.yaml", "--root", "/no/such"}}) {
        const auto run = run_program(args);
        EXPECT_EQ(run.status, 2) << run.err;
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.err.rfind("scenecheck: ", 0), 0u) << run.err;
    }
    // The services' own error lines are not repeated on stderr.
    const auto broken = run_program({"scenes.yaml", "--root", fixture("broken")});
    EXPECT_EQ(broken.status, 1);
    EXPECT_EQ(broken.out, read_file(fixture("broken/expected.txt")));
    EXPECT_EQ(broken.err, "");
    // The reference of the kinds: the library's and the host's, as their loaders read them.
    const auto keys = check({"--keys"});
    EXPECT_EQ(keys.status, 0);
    for (const char* line : {"  Timer->time: number (atof); default \"1.0\"\n",
                             "  Button->target: scene of the list, or exit; required\n"})
        EXPECT_NE(keys.out.find(line), std::string::npos) << line << keys.out;
}

TEST(Scenecheck, ListsTheLoaderCannotReadOrNeverReadsThrough) {
    testsupport::TempDir dir;
    dir.write("root/a.yaml", "Scene: {}\n");
    const std::pair<std::string, std::string> cases[] = {
        {"", "missing.yaml"},
        {"Scenes: [unclosed\n", "list.yaml:2:1: "},
        {"# nothing here\n", "list.yaml:1:1: the list names no scene (no key \"Scenes->Scene0->name\")\n"},
        {"Scenes:\n  Scene0: {name: a, file: a.yaml}\n  Scene1: {file: a.yaml}\n  Scene2: {name: c, file: a.yaml}\n",
         "list.yaml:3:18: \"Scenes->Scene1\" has no name, so the list ends there and \"Scenes->Scene2\" is never "
         "read\n"},
    };
    for (const auto& [list, finding] : cases) {
        const std::string name = list.empty() ? "missing.yaml" : "list.yaml";
        if (!list.empty()) dir.write("root/list.yaml", list);
        const auto run = check({name, "--root", dir.str() + "/root"});
        EXPECT_EQ(run.out.rfind(finding, 0), 0u) << run.out;  // the report starts with it
    }
}

// "FILE: PATH..." for each file the validator (python3-jsonschema) rejects.
playertest::RunResult validate(const std::string& folder, const std::vector<std::string>& files) {
    std::vector<std::string> arguments = {playertest::source_dir() + "/tests/player/validate_schema.py",
                                          playertest::source_dir() + "/docs/scene-files.schema.json"};
    for (const std::string& file : files) arguments.push_back(folder + file);
    return playertest::run("/usr/bin/python3", arguments);
}

// The committed copy catches any change to the schema; a validator shows what it says.
TEST(Schema, TheCommittedCopyIsCurrentAndAValidatorPassesTheExamplesAndRejectsWhatOneValueShows) {
    player::register_host_kinds();  // as scenecheck --schema does
    EXPECT_EQ(read_file(playertest::source_dir() + "/docs/scene-files.schema.json"), scene_schema())
        << "docs/scene-files.schema.json is stale: write it anew with scenecheck --schema";
    const auto clean = validate(playertest::source_dir() + "/examples/presentation/",
                                {"scenes.yaml", "title.yaml", "menu.yaml", "slide.yaml", "credits.yaml"});
    EXPECT_EQ(clean.status, 0) << clean.out << clean.err;
    // Switches, words, numbers, six-digit colours, unknown and missing keys.
    const auto broken = validate(fixture("broken/"), {"scenes.yaml", "menu.yaml", "objects.yaml", "signals.yaml"});
    EXPECT_EQ(broken.status, 1);
    EXPECT_EQ(broken.out, read_file(fixture("broken/schema-rejects.txt")));
}

}  // namespace
