// The JSON Schema that scenecheck writes for editors: the committed copy is
// current, a host's kind appears in it, and a real validator (Debian's
// python3-jsonschema) passes the example presentation and rejects every
// mistake of the broken fixture that one file and one value can show.
#include <gtest/gtest.h>

#include <algorithm>
#include <regex>

#include "player/kinds/host_kinds.h"
#include "scenecheck/schema.h"
#include "sceneengine/sceneobjects/kind_description.h"
#include "tests/player/sceneplay_run.h"

namespace {

using playertest::source_dir;

// What the validator (Debian's interpreter, with the python3-jsonschema that
// setup installs) prints for files, one "FILE: PATH" a line, sorted.
std::vector<std::string> validate(const std::vector<std::string>& files, int& status) {
    std::vector<std::string> arguments = {source_dir() + "/tests/player/validate_schema.py",
                                          source_dir() + "/docs/scene-files.schema.json"};
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
    EXPECT_EQ(playertest::read_file(source_dir() + "/docs/scene-files.schema.json"), scene_schema())
        << "docs/scene-files.schema.json is stale: write it anew with "
           "scenecheck --schema";

    kind_descriptions::add(
        {"Spinner", "Image", {{"Spinner->speed", ValueKind::Float, "", true, "turns a second"}}, {}, {}});
    const std::string schema = scene_schema();
    EXPECT_NE(schema.find("\"Spinner\": {"), std::string::npos);
    EXPECT_NE(schema.find("\"description\": \"turns a second\""), std::string::npos);
    EXPECT_TRUE(std::regex_search(schema, std::regex(R"("required": \[\s*"speed"\s*\])")));
}

TEST(Schema, AValidatorPassesTheExamplesAndRejectsWhatOneValueShows) {
    const std::string examples = source_dir() + "/examples/presentation/";
    int status = -1;
    const auto clean = validate({examples + "scenes.yaml", examples + "title.yaml", examples + "menu.yaml",
                                 examples + "slide.yaml", examples + "credits.yaml"},
                                status);
    EXPECT_EQ(status, 0) << ::testing::PrintToString(clean);

    const std::string broken = source_dir() + "/tests/player/check_fixtures/broken/";
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
