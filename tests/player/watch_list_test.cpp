// sceneplay --watch following the scene list while the presentation plays:
// new entries become scenes to switch to, listed scenes stay as they are.
#include <gtest/gtest.h>

#include "sceneengine/scenemanager/scene/scene.h"
#include "sceneengine/scenemanager/sceneengine.h"
#include "tests/player/watch_presentation.h"

namespace {

using watchtest::blue;
using watchtest::list_yaml;
using watchtest::red;
using watchtest::scene_with_key_switch;
using watchtest::scene_yaml;

// main shows a red square and switches to "extra" on any key; extra, once
// listed, shows a blue one. Scenes stay in the library from one test to the
// next: each test names its new scenes differently.
class WatchList : public ::testing::Test {
protected:
    void SetUp() override {
        show.write("scenes.yaml", list_yaml({{"main", "main.yaml"}}));
        show.write("main.yaml", scene_with_key_switch({{"square", "red.png"}}, "extra"));
        show.write("extra.yaml", scene_yaml({{"square", "blue.png"}}));
        show.write("other.yaml", scene_yaml({}));
    }

    watchtest::Presentation show;
};

TEST_F(WatchList, ANewEntryBecomesASceneAKeyCanSwitchToAndListedScenesStay) {
    Scene* main_before = nullptr;
    Scene* main_after = nullptr;
    // main's entry now names another file: main stays as it is.
    const std::string longer_list = list_yaml({{"main", "other.yaml"}, {"extra", "extra.yaml"}});
    const auto result = show.play("main", 12,
                                  {
                                      {1, [&] { main_before = get_scene("main"); }},
                                      {4, [&] { show.write("scenes.yaml", longer_list); }},
                                      {6, [&] { main_after = get_scene("main"); }},
                                      // The new scene's file is watched too.
                                      {10, [&] { show.write("extra.yaml", scene_yaml({{"square", "red.png"}})); }},
                                  },
                                  "2 key 32\n8 key 32\n");
    ASSERT_EQ(result.status, 0) << result.err;
    // The key at frame 2 names a scene not listed yet: no switch.
    EXPECT_EQ(result.report,
              "frame 0: scene \"main\"\n"
              "frame 4: scene list \"scenes.yaml\": added scene \"extra\"\n"
              "frame 8: scene \"extra\"\n"
              "frame 10: reloaded scene \"extra\": 1 object\n");
    EXPECT_EQ(result.count("sceneplay:"), 0) << result.err;
    ASSERT_NE(main_before, nullptr);
    EXPECT_EQ(main_after, main_before);
    EXPECT_EQ(show.pixel(6), red);
    EXPECT_EQ(show.pixel(8), blue);
    EXPECT_EQ(show.pixel(10), red);
}

TEST_F(WatchList, AListThatDoesNotParseAddsNothingAndIsToldOnce) {
    show.write("main.yaml", scene_with_key_switch({{"square", "red.png"}}, "unparsed"));
    const std::string broken = "Scenes: [\n  {name: unparsed, file: extra.yaml\n";
    const auto result = show.play("main", 10, {{3, [&] { show.write("scenes.yaml", broken); }}}, "6 key 32\n");
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.report, "frame 0: scene \"main\"\n");
    EXPECT_EQ(result.count("scenes.yaml:"), 1) << result.err;
    EXPECT_EQ(result.count("sceneplay: scene list \"scenes.yaml\" not reread: \"scenes.yaml\" does not parse"), 1)
        << result.err;
    EXPECT_EQ(get_scene("unparsed"), nullptr);
}

TEST_F(WatchList, AChangedListWithoutNewNamesAddsNothing) {
    const auto result = show.play("main", 6, {
        {3, [&] { show.write("scenes.yaml", "# the same scenes\n" + list_yaml({{"main", "main.yaml"}})); }},
    });
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.report, "frame 0: scene \"main\"\nframe 3: scene list \"scenes.yaml\" changed: no new scene\n");
}

TEST_F(WatchList, ANewSceneOfAnUnknownTypeIsReportedAndTheOthersAreAdded) {
    const auto result = show.play("main", 6, {
        {3, [&] {
             show.write("scenes.yaml", "Scenes:\n"
                                       "  Scene0: {name: main, file: main.yaml}\n"
                                       "  Scene1: {name: preloaded, file: extra.yaml, preload: true}\n"
                                       "  Scene2: {name: odd, file: other.yaml, type: nosuchkind}\n");
         }},
    });
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.count("Can't create scene of type \"nosuchkind\""), 1) << result.err;
    EXPECT_EQ(result.count("sceneplay: scene list \"scenes.yaml\": not every new scene could be added"), 1)
        << result.err;
    EXPECT_EQ(result.report,
              "frame 0: scene \"main\"\nframe 3: scene list \"scenes.yaml\": added scene \"preloaded\"\n");
    ASSERT_NE(get_scene("preloaded"), nullptr);
    EXPECT_TRUE(get_scene("preloaded")->scene_loaded());  // preloaded as listed
    EXPECT_EQ(get_scene("odd"), nullptr);
}

}  // namespace
