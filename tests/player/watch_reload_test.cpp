// sceneplay --watch reloading scene files while the presentation plays:
// edits made between two frames, seen in the frames that follow.
#include <gtest/gtest.h>

#include <filesystem>

#include "sceneengine/scenemanager/scene/scene.h"
#include "sceneengine/scenemanager/sceneengine.h"
#include "tests/player/watch_presentation.h"

namespace {

using watchtest::blue;
using watchtest::red;
using watchtest::scene_with_key_switch;
using watchtest::scene_yaml;
using watchtest::Square;

class WatchReload : public ::testing::Test {
protected:
    void SetUp() override {
        show.write("scenes.yaml", watchtest::list_yaml({{"main", "main.yaml"}}));
        show.write("main.yaml", scene_yaml({{"square", "red.png"}}));
    }

    std::vector<std::string> main_objects() const {
        Scene* scene = get_scene("main");
        return scene ? scene->get_object_list() : std::vector<std::string>{};
    }

    watchtest::Presentation show;
};

TEST_F(WatchReload, AnEditOfTheSceneOnScreenShowsFromTheNextFrameWithEachObjectOnce) {
    std::vector<std::string> after_first_edit;
    const std::string moved_and_added = scene_yaml({{"square", "blue.png", 20, 20}, {"badge", "red.png", 80, 80}});
    const auto result = show.play("main", 10, {
        {4, [&] { show.write("main.yaml", moved_and_added); }},
        {5, [&] { after_first_edit = main_objects(); }},
        {7, [&] { show.write("main.yaml", scene_yaml({{"badge", "blue.png"}})); }},
    });
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.report,
              "frame 0: scene \"main\"\n"
              "frame 4: reloaded scene \"main\": 2 objects, new \"badge\"\n"
              "frame 7: reloaded scene \"main\": 1 object, gone \"square\"\n");
    EXPECT_EQ(result.count("sceneplay:"), 0) << result.err;

    EXPECT_EQ(show.pixel(3, 50, 50), red);
    EXPECT_EQ(show.pixel(4, 20, 20), blue);  // the square moved and changed colour
    EXPECT_EQ(show.pixel(4, 80, 80), red);   // the new object
    EXPECT_NE(show.pixel(4, 50, 50), red);
    EXPECT_EQ(show.pixel(7, 50, 50), blue);
    EXPECT_NE(show.pixel(7, 20, 20), blue);  // the object gone from the file is gone from the screen
    // Made anew, not added to what was there: each name is listed (and drawn) once.
    EXPECT_EQ(after_first_edit, (std::vector<std::string>{"square", "badge"}));
    EXPECT_EQ(main_objects(), std::vector<std::string>{"badge"});
}

TEST_F(WatchReload, AFileThatDoesNotParseKeepsTheSceneAndIsToldOncePerChange) {
    const auto result = show.play("main", 12, {
        {3, [&] { show.write("main.yaml", "Scene: {Objects: [unclosed\n"); }},
        {6, [&] { show.write("main.yaml", "Scene: {Objects: [unclosed\n"); }},  // the same content again
        {7, [&] { show.write("main.yaml", "Scene:\n  - a\n b: c\n"); }},
        {9, [&] { show.write("main.yaml", scene_yaml({{"square", "blue.png"}})); }},
    });
    ASSERT_EQ(result.status, 0) << result.err;
    // One line from the configuration service (file, line, column) and one
    // from the player for each broken version, however many frames pass.
    EXPECT_EQ(result.count("main.yaml:"), 2) << result.err;
    EXPECT_EQ(result.count("sceneplay: scene \"main\" not reloaded: \"main.yaml\" does not parse (see the line above)"),
              2)
        << result.err;
    EXPECT_EQ(show.pixel(3), red);
    EXPECT_EQ(show.pixel(8), red);
    EXPECT_EQ(show.pixel(9), blue);
    EXPECT_EQ(result.report, "frame 0: scene \"main\"\nframe 9: reloaded scene \"main\": 1 object\n");
}

TEST_F(WatchReload, AFileThatCannotBeReadKeepsTheSceneAndSaysWhy) {
    const auto result = show.play("main", 8, {
        {3, [&] {
             // A folder moved in where the file was.
             std::filesystem::remove(show.folder.path() / "main.yaml");
             std::filesystem::create_directory(show.folder.path() / "main.new");
             std::filesystem::rename(show.folder.path() / "main.new", show.folder.path() / "main.yaml");
         }},
    });
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.count("sceneplay: scene \"main\" not reloaded: main.yaml: is a folder, not a file"), 1)
        << result.err;
    EXPECT_EQ(show.pixel(7), red);
}

TEST_F(WatchReload, OnlyNewContentCountsAndEditorsThatRenameAreSeen) {
    const std::string same = scene_yaml({{"square", "red.png"}});
    const auto result = show.play("main", 8, {
        {2, [&] { show.write("main.yaml", same); }},
        {3, [&] { show.replace("main.yaml", same); }},
        {5, [&] { show.replace("main.yaml", scene_yaml({{"square", "blue.png"}})); }},
    });
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.report, "frame 0: scene \"main\"\nframe 5: reloaded scene \"main\": 1 object\n");
    EXPECT_EQ(show.pixel(5), blue);
}

TEST_F(WatchReload, AnObjectThatDoesNotLoadLeavesTheSceneAsItWas) {
    const auto result = show.play("main", 6, {
        {3, [&] { show.write("main.yaml", scene_yaml({{"square", "blue.png"}, {"ghost", "missing.png"}})); }},
    });
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.count("Can't load object \"ghost\""), 1) << result.err;
    EXPECT_EQ(result.count("sceneplay: scene \"main\" not reloaded: an object of \"main.yaml\" did not load (see the "
                           "lines above); it shows what it showed before"),
              1)
        << result.err;
    EXPECT_EQ(show.pixel(3), red);
    EXPECT_EQ(show.pixel(5), red);
    EXPECT_EQ(main_objects(), std::vector<std::string>{"square"});
    EXPECT_EQ(result.report, "frame 0: scene \"main\"\n");
}

TEST_F(WatchReload, ASceneOffScreenTakesItsChangeAtOnceAndShowsItWhenSwitchedTo) {
    // Any key switches between the two scenes.
    show.write("scenes.yaml", watchtest::list_yaml({{"main", "main.yaml"}, {"other", "other.yaml"}}));
    show.write("main.yaml", scene_with_key_switch({{"square", "red.png"}}, "other"));
    show.write("other.yaml", scene_with_key_switch({{"square", "red.png", 20, 20}}, "main"));
    const std::string edited = scene_with_key_switch({{"square", "blue.png", 20, 20}}, "main");
    const std::string keys = "2 key 32\n3 key 32\n6 key 32\n8 key 32\n";
    const auto result = show.play("main", 10, {{4, [&] { show.write("other.yaml", edited); }}}, keys);
    ASSERT_EQ(result.status, 0) << result.err;
    // The reloaded scene's switch is off the bus until it is shown: the key at
    // frame 6 switches once, not back and forth.
    EXPECT_EQ(result.report,
              "frame 0: scene \"main\"\n"
              "frame 2: scene \"other\"\n"
              "frame 3: scene \"main\"\n"
              "frame 4: reloaded scene \"other\" (off screen): 2 objects\n"
              "frame 6: scene \"other\"\n"
              "frame 8: scene \"main\"\n");
    EXPECT_EQ(show.pixel(2, 20, 20), red);
    EXPECT_EQ(show.pixel(6, 20, 20), blue);
}

}  // namespace
