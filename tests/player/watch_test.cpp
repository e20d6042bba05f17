// sceneplay --watch, played in process by play(), its files edited between two frames as an editor saving would.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>

#include "player/frame_device.h"
#include "player/options.h"
#include "player/player.h"
#include "player/watch/folder_watch.h"
#include "sceneengine/scenemanager/scene/scene.h"
#include "sceneengine/scenemanager/sceneengine.h"
#include "tests/support/library_fixture.h"

namespace {

namespace fs = std::filesystem;
using Strings = std::vector<std::string>;

// Links are followed to their target; nothing outside the root is watched.
TEST(WatchParts, FilesAreWatchedWhereLinksLeadButNeverOutsideTheRoot) {
    testsupport::TempDir folder;
    const std::string root = fs::canonical(folder.path()).string();
    folder.write("scenes/real.yaml", "a: 1\n");
    fs::create_symlink("scenes/real.yaml", folder.path() / "link.yaml");
    EXPECT_EQ(player::watch_locations(root, "link.yaml"), (Strings{root + "/link.yaml", root + "/scenes/real.yaml"}));
    for (const char* refused : {"../outside.yaml", "/etc/passwd", ""})
        EXPECT_TRUE(player::watch_locations(root, refused).empty()) << refused;
}

constexpr std::uint32_t red = 0xff0000ffu, blue = 0x0000ffffu;

// A square picture (red.png, blue.png or a file that is missing) centred at (x, y).
struct Square {
    std::string name, picture;
    int x = 50, y = 50;
};

// A scene file of squares; with a target, also a SceneSwitch to it that any key triggers.
std::string scene_yaml(const std::vector<Square>& squares, const std::string& target = "") {
    std::string list = "Scene:\n  Objects:\n", objects = "Objects:\n";
    int index = 0;
    for (const Square& square : squares) {
        list += "    Object" + std::to_string(index++) + ": {name: " + square.name + ", z_level: 1, type: Image}\n";
        objects += "  " + square.name + ":\n    SceneObject: {absolute_x: " + std::to_string(square.x) +
                   ", absolute_y: " + std::to_string(square.y) + "}\n    Image: {image_file: " + square.picture + "}\n";
    }
    if (target.empty()) return list + objects;
    return list + "    Object" + std::to_string(index) + ": {name: go, z_level: 0, type: SceneSwitch}\n" + objects +
           "  go:\n    SceneSwitch: {target: " + target +
           "}\n    signals:\n      signal0: {connect: on_load, "
           "type: builtin, signal_source: Video, signal_name: keyboard_press, slot_name: _on_key_press}\n";
}

// A scene list of (name, file) entries.
std::string list_yaml(const std::vector<std::pair<std::string, std::string>>& scenes) {
    std::string yaml = "Scenes:\n";
    int index = 0;
    for (const auto& [name, file] : scenes)
        yaml += "  Scene" + std::to_string(index++) + ": {name: " + name + ", file: " + file + "}\n";
    return yaml;
}

// A file written between two frames: in place, renamed over the old one, or replaced by a folder.
struct Edit {
    std::string file, content;
    enum { write, rename, folder } how = write;
};

struct Played {
    int status = -1;
    std::string report, err;                    // report: the --verbose lines, but the last (how the play ended)
    int count(const std::string& text) const {  // err's lines that hold text
        int found = 0;
        std::istringstream in(err);
        for (std::string line; std::getline(in, line);) found += line.find(text) != std::string::npos;
        return found;
    }
};

// scenes.yaml shows "main" (a red square). The library keeps its scenes from
// one test to the next: each names its new scenes differently.
class Watch : public ::testing::Test {
protected:
    void SetUp() override {
        for (const auto& [name, colour] : {std::pair{"red.png", red}, {"blue.png", blue}}) {
            std::vector<std::uint8_t> rgba;
            for (int i = 0; i < 20 * 20; ++i)
                for (int shift : {24, 16, 8, 0}) rgba.push_back(std::uint8_t(colour >> shift));
            folder.write_bytes(name, testsupport::encode_png(20, 20, rgba));
        }
        folder.write("scenes.yaml", list_yaml({{"main", "main.yaml"}}));
        folder.write("main.yaml", scene_yaml({{"square", "red.png"}}));
        folder.write("empty.yaml", scene_yaml({}));
    }

    // Plays scenes.yaml from "main", every frame written, making the edits between frames.
    Played play(std::int64_t frames, const std::multimap<std::int64_t, Edit>& edits, const std::string& script = "") {
        // A device of its own per run: earlier runs' scenes stay connected to theirs.
        static int runs = 0;
        std::vector<std::string> arguments = {folder.str() + "/scenes.yaml", "main"};
        for (const char* word : {"--headless", "--size", "100x100", "--snapshot-every", "1", "--verbose", "--watch"})
            arguments.push_back(word);
        arguments.insert(arguments.end(), {"--snapshot", frames_folder.str(), "--frames", std::to_string(frames)});
        arguments.insert(arguments.end(), {"--device", "watchscreen" + std::to_string(++runs)});
        if (!script.empty()) arguments.insert(arguments.end(), {"--input", folder.write("input.txt", script)});
        player::Options options;
        std::string error;
        EXPECT_TRUE(player::parse_options(arguments, options, error)) << error;
        const auto between_frames = [&](std::int64_t frame) {
            for (auto [edit, last] = edits.equal_range(frame); edit != last; ++edit) {
                const fs::path path = folder.path() / edit->second.file, fresh = path.string() + ".new";
                if (edit->second.how == Edit::write) folder.write(edit->second.file, edit->second.content);
                if (edit->second.how == Edit::rename) std::ofstream(fresh) << edit->second.content;
                if (edit->second.how == Edit::folder && fs::remove(path)) fs::create_directory(fresh);
                if (edit->second.how != Edit::write) fs::rename(fresh, path);
            }
        };
        testsupport::StderrCapture capture;
        std::ostringstream report;
        Played result{player::play(options, report, std::cerr, between_frames), report.str(), capture.text()};
        result.report.erase(result.report.rfind('\n', result.report.size() - 2) + 1);
        return result;
    }

    // The colour at (x, y) in the frame's snapshot; 0 when it cannot be read.
    std::uint32_t pixel(std::int64_t frame, int x = 50, int y = 50) const {
        const auto image = testsupport::read_png(frames_folder.str() + "/" + player::FrameDevice::snapshot_name(frame));
        return x < image.width && y < image.height ? image.at(x, y) : 0;
    }

    testsupport::TempDir folder, frames_folder;
};

// Only new content counts, renames are seen; a bad edit keeps the scene and is told once per change.
TEST_F(Watch, AnEditOfTheSceneOnScreenShowsFromTheNextFrameAndABadOneKeepsTheScene) {
    const std::string same = scene_yaml({{"square", "red.png"}}), unclosed = "Scene: {Objects: [unclosed\n";
    const auto result = play(
        20,
        {{2, {"main.yaml", same}},
         {3, {"main.yaml", same, Edit::rename}},
         {4, {"main.yaml", scene_yaml({{"square", "blue.png", 20, 20}, {"badge", "red.png", 80, 80}}), Edit::rename}},
         {7, {"main.yaml", scene_yaml({{"badge", "blue.png"}})}},
         {9, {"main.yaml", unclosed}},
         {11, {"main.yaml", unclosed}},
         {12, {"main.yaml", "Scene:\n  - a\n b: c\n"}},
         {13, {"main.yaml", scene_yaml({{"badge", "red.png"}, {"ghost", "missing.png"}})}},
         {15, {"main.yaml", scene_yaml({{"badge", "red.png"}})}},
         {17, {"main.yaml", "", Edit::folder}}});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.report,
              "frame 0: scene \"main\"\n"
              "frame 4: reloaded scene \"main\": 2 objects, new \"badge\"\n"
              "frame 7: reloaded scene \"main\": 1 object, gone \"square\"\n"
              "frame 15: reloaded scene \"main\": 1 object\n");
    // Moved, recoloured, added and removed objects show; bad edits show what was.
    const std::tuple<int, int, int, std::uint32_t> shown[] = {
        {3, 50, 50, red},  {4, 20, 20, blue}, {4, 80, 80, red},   {4, 50, 50, 0xffu}, {7, 20, 20, 0xffu},
        {7, 50, 50, blue}, {9, 50, 50, blue}, {14, 50, 50, blue}, {15, 50, 50, red},  {19, 50, 50, red}};
    for (const auto& [frame, x, y, colour] : shown) EXPECT_EQ(pixel(frame, x, y), colour) << frame << " " << x;
    // Made anew, not added to what was there: each name is listed (and drawn) once.
    EXPECT_EQ(get_scene("main")->get_object_list(), Strings{"badge"});
    // For each broken version a line of the configuration service's and one of the player's.
    EXPECT_EQ(result.count("main.yaml:"), 3) << result.err;
    const std::pair<const char*, int> told[] = {
        {"\"main.yaml\" does not parse (see the line above)", 2},
        {"an object of \"main.yaml\" did not load (see the lines above); it shows what it showed before", 1},
        {"main.yaml: is a folder, not a file", 1}};
    for (const auto& [why, times] : told)
        EXPECT_EQ(result.count(std::string("sceneplay: scene \"main\" not reloaded: ") + why), times) << result.err;
    EXPECT_EQ(result.count("Can't load object \"ghost\""), 1) << result.err;
}

// A key switches main to extra once extra is listed (not at frame 2), and extra's file is watched too; main's entry
// naming another file leaves main as it is. A new entry's name and file reach the library as written. Extra, reloaded
// off screen, keeps its switch off the bus until it is shown: the key at frame 12 switches once, not back and forth.
TEST_F(Watch, AListChangeAddsOnlyTheNewScenesThatCanBeMadeAndABrokenListNothing) {
    const std::string odd_name = "with \"quotes\": a #hash\\ and é";
    folder.write("main.yaml", scene_yaml({{"square", "red.png"}}, "extra"));
    folder.write("extra.yaml", scene_yaml({{"square", "blue.png"}}, "main"));
    folder.write("folder with space/x: y.yaml", scene_yaml({}));
    const std::string listed = list_yaml({{"main", "empty.yaml"}, {"extra", "extra.yaml"}});
    const std::string more =
        "  Scene2: {name: \"with \\\"quotes\\\": a #hash\\\\ and é\", file: \"folder with space/x: y.yaml\", "
        "preload: true}\n  Scene3: {name: odd, file: empty.yaml, type: nosuchkind}\n";
    const auto result = play(16,
                             {{3, {"scenes.yaml", "Scenes: [\n  {name: unparsed, file: empty.yaml\n"}},
                              {4, {"scenes.yaml", listed}},
                              {5, {"scenes.yaml", "# the same scenes\n" + listed}},
                              {7, {"scenes.yaml", listed + more}},
                              {10, {"extra.yaml", scene_yaml({{"square", "red.png", 20, 20}}, "main")}}},
                             "2 key 32\n8 key 32\n9 key 32\n12 key 32\n14 key 32\n");
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.report,
              "frame 0: scene \"main\"\nframe 4: scene list \"scenes.yaml\": added scene \"extra\"\n"
              "frame 5: scene list \"scenes.yaml\" changed: no new scene\n"
              "frame 7: scene list \"scenes.yaml\": added scene \"" +
                  odd_name +
                  "\"\n"
                  "frame 8: scene \"extra\"\nframe 9: scene \"main\"\n"
                  "frame 10: reloaded scene \"extra\" (off screen): 2 objects\n"
                  "frame 12: scene \"extra\"\nframe 14: scene \"main\"\n");
    for (const char* told :
         {"scenes.yaml:", "sceneplay: scene list \"scenes.yaml\" not reread: \"scenes.yaml\" does not parse",
          "Can't create scene of type \"nosuchkind\"",
          "sceneplay: scene list \"scenes.yaml\": not every new scene could be added"})
        EXPECT_EQ(result.count(told), 1) << told << result.err;
    EXPECT_EQ(get_scene("unparsed"), nullptr);
    EXPECT_EQ(get_scene("odd"), nullptr);
    ASSERT_NE(get_scene(odd_name), nullptr);
    EXPECT_TRUE(get_scene(odd_name)->scene_loaded());  // preloaded as listed
    const std::tuple<int, int, int, std::uint32_t> shown[] = {{6, 50, 50, red}, {8, 50, 50, blue}, {12, 20, 20, red}};
    for (const auto& [frame, x, y, colour] : shown) EXPECT_EQ(pixel(frame, x, y), colour) << frame;
}

// The pointer rests on a button whose scene is reloaded: the new one lights once drawn.
TEST_F(Watch, AButtonUnderThePointerLightsAgainOnceItsSceneReloaded) {
    const auto button_at = [](int x) {
        return "Scene:\n  Objects:\n    Object0: {name: button, z_level: 1, type: Button}\nObjects:\n  button:\n"
               "    SceneObject: {absolute_x: " +
               std::to_string(x) +
               ", absolute_y: 50}\n    Image: {image_file: red.png}\n"
               "    Button: {target: main, hover_image: blue.png}\n";
    };
    folder.write("main.yaml", button_at(50));
    const auto result = play(8, {{4, {"main.yaml", button_at(45)}}}, "1 move 50 50\n");
    ASSERT_EQ(result.status, 0) << result.err;
    for (const auto& [frame, colour] : {std::pair{3, blue}, {4, red}, {5, blue}, {7, blue}})
        EXPECT_EQ(pixel(frame), colour) << frame;
}

}  // namespace
