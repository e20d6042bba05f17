// scenecheck: the broken fixture (one of every kind of finding) against its
// expected report, the clean fixture and the example found clean, lists the
// loader cannot read or never reads through, the program's exit statuses,
// the reading rules findings rest on where the fixture does not show them,
// and the JSON Schema it writes for editors: the committed copy is current,
// a host's kind appears in it, and a real validator passes the example and
// rejects every mistake of the broken fixture that one value can show.
#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <regex>

#include "player/kinds/host_kinds.h"
#include "scenecheck/kind_table.h"
#include "scenecheck/schema.h"
#include "scenecheck/scenecheck.h"
#include "scenecheck/value_rules.h"
#include "sceneengine/scenemanager/scene_object_fabric.h"
#include "sceneengine/sceneobjects/kind_description.h"
#include "tests/player/sceneplay_run.h"

namespace {

using playertest::read_file;
using value_rules::misread;

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

TEST(Scenecheck, TheCleanFixtureAndTheExampleAreCleanAndEveryKindIsKnown) {
    // Without --root the list's own folder is the root.
    for (const auto& clean : {check({"scenes.yaml", "--root", fixture("clean")}), check({fixture("clean/scenes.yaml")}),
                              check({playertest::source_dir() + "/examples/presentation/scenes.yaml"})}) {
        EXPECT_EQ(clean.out, "");
        EXPECT_EQ(clean.status, 0);
    }
    ASSERT_FALSE(SceneObjectFabric::_fabrics_.empty());
    for (const auto& [type, fabric] : SceneObjectFabric::_fabrics_)
        EXPECT_NE(kind_table::find(type), nullptr) << "the checker does not know the keys of " << type;
}

TEST(Scenecheck, ListsTheLoaderCannotReadOrNeverReadsThrough) {
    testsupport::TempDir dir;
    dir.write("root/a.yaml", "Scene: {}\n");
    dir.write("outside.yaml", "Scene: {}\n");
    const std::pair<std::string, std::string> cases[] = {
        {"", "missing.yaml"},
        {"Scenes: [unclosed\n", "list.yaml:2:1: "},
        {"# nothing here\n", "list.yaml:1:1: the list names no scene (no key \"Scenes->Scene0->name\")\n"},
        {"Scenes:\n  Scene0: {name: a, file: a.yaml}\n  Scene1: {file: a.yaml}\n  Scene2: {name: c, file: a.yaml}\n",
         "list.yaml:3:18: \"Scenes->Scene1\" has no name, so the list ends there and \"Scenes->Scene2\" is never "
         "read\n"},
        {"Scenes:\n  Scene0: {name: a, file: a.yaml}\n  Scene01: {name: b, file: a.yaml}\n",
         "list.yaml:3:19: \"Scenes->Scene01\" is never read: entries are numbered 0, 1, 2, ... without leading "
         "zeros\n"},
        {"Scenes: {Scene0: {name: a, file: ../outside.yaml}}\n",
         "list.yaml:1:34: scene \"a\" cannot be loaded: ../outside.yaml: paths through \"..\" are refused\n"},
    };
    for (const auto& [list, finding] : cases) {
        const std::string name = list.empty() ? "missing.yaml" : "list.yaml";
        if (!list.empty()) dir.write("root/list.yaml", list);
        const auto run = check({name, "--root", dir.str() + "/root"});
        if (finding.back() == '\n') {
            EXPECT_EQ(run.out, finding);
        } else {
            EXPECT_EQ(run.out.rfind(finding, 0), 0u) << run.out;
        }
    }
}

TEST(Scenecheck, TheBrokenFixtureGivesEachFindingOnItsOwnLineAndUsageErrorsExitWithTwo) {
    const std::vector<std::string> usage_errors[] = {
        {}, {"--frobnicate", "x.yaml"}, {"a.yaml", "b.yaml"}, {"x.yaml", "--root"}, {"x.yaml", "--root", "/no/such"}};
    for (const auto& args : usage_errors) {
        const auto run = run_program(args);
        EXPECT_EQ(run.status, 2) << run.err;
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.err.rfind("scenecheck: ", 0), 0u) << run.err;
    }
    const auto help = run_program({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out.rfind("usage: scenecheck LIST [--root DIR]\n", 0), 0u) << help.out;
    // Each finding of the broken fixture on its own line; the services' own
    // error lines are not repeated on stderr.
    const auto broken = run_program({"scenes.yaml", "--root", fixture("broken")});
    EXPECT_EQ(broken.status, 1);
    EXPECT_EQ(broken.out, read_file(fixture("broken/expected.txt")));
    EXPECT_EQ(broken.err, "");
    // The reference of the kinds: the library's and the host's, as their loaders read them.
    const auto keys = check({"--keys"});
    EXPECT_EQ(keys.status, 0);
    for (const char* line : {"  Timer->time: number (atof); default \"1.0\"\n", "  signals: time_out\n",
                             "  Button->target: scene of the list, or exit; required\n"})
        EXPECT_NE(keys.out.find(line), std::string::npos) << line << keys.out;
}

TEST(CheckValueRules, ValuesReadAsTheLoaderReadsThem) {
    const std::tuple<ValueKind, const char*, const char*> cases[] = {
        {ValueKind::Float, "", "which reads as 0"},
        // atol reads decimal only: a hexadecimal z_level is 0.
        {ValueKind::Integer, "0x10", "which reads as 0 (reading stops at \"x10\")"},
        {ValueKind::Integer, "99999999999999999999", "which is out of range"},
        {ValueKind::Integer0, "0x10", ""},
        {ValueKind::Integer0, "08", "which reads as 0 (reading stops at \"8\")"},
        {ValueKind::Integer0, "3000000000", "which is out of range"},
        {ValueKind::Color, "0xffffffff", ""},
        {ValueKind::Color, "0777", "which reads as 511 (a leading 0 means octal)"},
        {ValueKind::Color, "0x100000000", "which reads as 0 (only 32 bits are kept)"},
        {ValueKind::Switch, "true ", "which reads as false: only \"true\" switches it on"},
        {ValueKind::ImageLoader, "jpg", ""},
    };
    for (const auto& [kind, text, reading] : cases) EXPECT_EQ(misread(kind, text), reading) << text;
}

TEST(CheckValueRules, SuggestionsOnlyForLikelySlips) {
    EXPECT_EQ(value_rules::edit_distance("kitten", "sitting"), 3u);
    EXPECT_EQ(value_rules::nearest("Image->picture", {"Image->image_file", "SceneObject->show"}), "");
    EXPECT_EQ(value_rules::nearest("ghost", {"dot"}), "");  // short words allow one edit only
}

// What the validator (Debian's interpreter, with the python3-jsonschema that
// setup installs) prints for files, one "FILE: PATH" a line, sorted.
std::vector<std::string> validate(const std::vector<std::string>& files, int& status) {
    std::vector<std::string> arguments = {playertest::source_dir() + "/tests/player/validate_schema.py",
                                          playertest::source_dir() + "/docs/scene-files.schema.json"};
    arguments.insert(arguments.end(), files.begin(), files.end());
    const auto result = playertest::run("/usr/bin/python3", arguments);
    status = result.status;
    std::vector<std::string> lines;
    std::istringstream in(result.out + result.err);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    std::sort(lines.begin(), lines.end());
    return lines;
}

TEST(Schema, TheCommittedCopyIsCurrentAndHostKindsAppearInIt) {
    player::register_host_kinds();  // as scenecheck --schema does
    EXPECT_EQ(playertest::read_file(playertest::source_dir() + "/docs/scene-files.schema.json"), scene_schema())
        << "docs/scene-files.schema.json is stale: write it anew with scenecheck --schema";

    kind_descriptions::add(
        {"Spinner", "Image", {{"Spinner->speed", ValueKind::Float, "", true, "turns a second"}}, {}, {}});
    const std::string schema = scene_schema();
    EXPECT_NE(schema.find("\"Spinner\": {"), std::string::npos);
    EXPECT_NE(schema.find("\"description\": \"turns a second\""), std::string::npos);
    EXPECT_TRUE(std::regex_search(schema, std::regex(R"("required": \[\s*"speed"\s*\])")));
}

TEST(Schema, AValidatorPassesTheExamplesAndRejectsWhatOneValueShows) {
    const std::string examples = playertest::source_dir() + "/examples/presentation/";
    int status = -1;
    const auto clean = validate({examples + "scenes.yaml", examples + "title.yaml", examples + "menu.yaml",
                                 examples + "slide.yaml", examples + "credits.yaml"},
                                status);
    EXPECT_EQ(status, 0) << ::testing::PrintToString(clean);

    const std::string broken = playertest::source_dir() + "/tests/player/check_fixtures/broken/";
    const auto found = validate(
        {broken + "scenes.yaml", broken + "menu.yaml", broken + "objects.yaml", broken + "signals.yaml"}, status);
    EXPECT_EQ(status, 1);
    // Switches, words, numbers with trailing text or a leading 0, six-digit
    // colours, unknown keys, missing required keys.
    const std::vector<std::string> expected = {
        "menu.yaml: Scene",
        "menu.yaml: Scene/Objects/Object0/z_level",
        "menu.yaml: Scene/Objects/Object2",
        "menu.yaml: Scene/Objects/Object4",
        "menu.yaml: Scene/show_mouse_cursor",
        "objects.yaml: Objects/clock/Timer/repeat",
        "objects.yaml: Objects/clock/Timer/time",
        "objects.yaml: Objects/left/Text/color",
        "objects.yaml: Objects/logo/Image",
        "objects.yaml: Objects/logo/SceneObject",
        "objects.yaml: Objects/logo/SceneObject/absolute_x",
        "objects.yaml: Objects/logo/SceneObject/require_alpha_collision",
        "objects.yaml: Objects/logo/SceneObject/show",
        "objects.yaml: Objects/next/SceneSwitch",
        "objects.yaml: Objects/nofile/SceneObject/coord_type",
        "objects.yaml: Objects/odd/Image/loader",
        "objects.yaml: Objects/right/Text/color",
        "objects.yaml: Objects/title/SceneObject/coord_type",
        "objects.yaml: Objects/title/SceneObject/link_h_align",
        "objects.yaml: Objects/title/SceneObject/link_v_align",
        "objects.yaml: Objects/title/SceneObject/link_v_offset",
        "objects.yaml: Objects/title/Text/color",
        "objects.yaml: Objects/title/Text/font_size",
        "scenes.yaml: Scenes/Scene0/preload",
        "scenes.yaml: Scenes/Scene1",
        "signals.yaml: Objects/clock/signals/signal0/connect",
        "signals.yaml: Objects/pad/signals/signal0/type",
        "signals.yaml: Objects/pad/signals/signal3",
        "signals.yaml: Objects/pad/signals/signal5",
        "signals.yaml: Objects/pad/signals/signal5",
    };
    EXPECT_EQ(found, expected);
}

}  // namespace
