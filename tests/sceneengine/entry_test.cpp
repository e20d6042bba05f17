#include <string>
#include <vector>

#include "tests/sceneengine/entry_fixture.h"

namespace {

using entrytest::scene_entry;
using testsupport::call_log;
using testsupport::call_log_with;
using testsupport::ProbeScene;
using testsupport::StderrCapture;
using Strings = std::vector<std::string>;

class Entry : public entrytest::EntryFixture {};

TEST_F(Entry, InitTurnsTheSwitchesOnInItsOwnOrder) {
    init(video);
    EXPECT_EQ(call_log(), (Strings{"video:set_switch_b true", "video:set_switch_a true", "video:set_switch_c true",
                                   "video:set_switch_d true"}));
    StderrCapture err;
    init("no-such-device");  // silent
    EXPECT_EQ(err.text(), "");
    init(video);
}

TEST_F(Entry, TheListEndsAtTheFirstEntryWithoutAName) {
    dir.write("gap.yaml", "Scenes:\n  Scene0: {name: gap0}\n  Scene2: {name: gap2}\n");
    EXPECT_TRUE(load_scenes("gap.yaml", video, files.get()));
    EXPECT_NE(get_scene("gap0"), nullptr);
    EXPECT_EQ(get_scene("gap2"), nullptr);

    dir.write("none.yaml", "Scenes:\n  Scene0: {file: none.yaml}\n  Scene1: {name: none1}\n");
    EXPECT_TRUE(load_scenes("none.yaml", video, files.get()));
    EXPECT_EQ(get_scene("none1"), nullptr);
}

TEST_F(Entry, ScenesAreMadeByTypeAndSetUpFromTheList) {
    dir.write("plain.yaml", "Scene:\n  Objects:\n    Object0: {name: a, type: Probe}\n");
    ASSERT_TRUE(load_list("kinds.yaml",
                          {"{name: kind-generic, file: plain.yaml}", scene_entry("kind-probe", "plain.yaml")}));
    Scene* generic = get_scene("kind-generic");
    ASSERT_NE(generic, nullptr);
    EXPECT_EQ(dynamic_cast<ProbeScene*>(generic), nullptr);
    EXPECT_NE(dynamic_cast<ProbeScene*>(get_scene("kind-probe")), nullptr);
    EXPECT_EQ(generic->get_name(), "kind-generic");
    EXPECT_FALSE(generic->scene_loaded());
    // Name, video name, file and file manager are set: it loads as it is.
    StderrCapture err;
    ASSERT_TRUE(generic->load_scene());
    EXPECT_EQ(err.text(), "");
    EXPECT_EQ(generic->get_object_list(), Strings{"a"});
    EXPECT_EQ(generic->get_object("a")->_get__video_name_(), video);
}

TEST_F(Entry, OnlyTheExactWordTruePreloads) {
    dir.write("empty.yaml", "Scene: {}\n");
    const Strings values = {"true", "True", "TRUE", "1", "yes", "true "};
    std::vector<std::string> entries;
    for (std::size_t i = 0; i < values.size(); ++i)
        entries.push_back(scene_entry("pre" + std::to_string(i), "empty.yaml", "preload: \"" + values[i] + "\""));
    entries.push_back(scene_entry("pre-absent", "empty.yaml"));
    ASSERT_TRUE(load_list("preload.yaml", entries));
    EXPECT_TRUE(get_scene("pre0")->scene_loaded());
    for (std::size_t i = 1; i < values.size(); ++i)
        EXPECT_FALSE(get_scene("pre" + std::to_string(i))->scene_loaded()) << values[i];
    EXPECT_FALSE(get_scene("pre-absent")->scene_loaded());
}

TEST_F(Entry, ARepeatedNameReplacesTheEarlierScene) {
    ASSERT_TRUE(load_list("first.yaml", {scene_entry("again", "a.yaml")}));
    ASSERT_TRUE(load_list("second.yaml", {scene_entry("again", "b.yaml"), scene_entry("again", "c.yaml")}));
    // Each replaced scene is taken off the bus, then destroyed.
    EXPECT_EQ(call_log_with("scene:again:"), (Strings{"scene:again:deactivate", "scene:again:destroyed",
                                                      "scene:again:deactivate", "scene:again:destroyed"}));
    EXPECT_NE(get_scene("again"), nullptr);
}

TEST_F(Entry, AnUnknownTypeStopsTheList) {
    ASSERT_TRUE(load_list("before.yaml", {scene_entry("type-b", "b.yaml")}));
    StderrCapture err;
    EXPECT_FALSE(load_list("types.yaml", {scene_entry("type-a", "a.yaml"), "{name: type-b, type: Generic}",
                                          scene_entry("type-c", "c.yaml")}));
    EXPECT_EQ(err.lines(), Strings{"Can't create scene of type \"Generic\""});
    EXPECT_NE(get_scene("type-a"), nullptr);
    EXPECT_EQ(get_scene("type-b"), nullptr);  // the earlier scene of the name is gone
    EXPECT_EQ(get_scene("type-c"), nullptr);
}

TEST_F(Entry, AFailedPreloadStopsTheListAndKeepsTheScene) {
    dir.write("broken.yaml", "Scene:\n  Objects:\n    Object0: {name: x, type: Nothing}\n");
    StderrCapture err;
    EXPECT_FALSE(load_list("failing.yaml", {scene_entry("broken", "broken.yaml", "preload: \"true\""),
                                            scene_entry("after-broken", "broken.yaml")}));
    EXPECT_EQ(err.lines(), (Strings{"SCENE:112: Can't load object\"x\" from file \"broken.yaml\"",
                                    "SCENE:113: No object of type \"Nothing\"",
                                    "Can't load scene \"broken\" from file \"broken.yaml\""}));
    ASSERT_NE(get_scene("broken"), nullptr);
    EXPECT_FALSE(get_scene("broken")->scene_loaded());
    EXPECT_EQ(get_scene("after-broken"), nullptr);
}

// Preloading creates a configuration under the scene's name: a scene named
// like the list's own configuration must not cut the list short.
TEST_F(Entry, ASceneNamedLikeTheListConfigurationDoesNotDisturbTheList) {
    dir.write("empty.yaml", "Scene: {}\n");
    ASSERT_TRUE(load_list("clash.yaml", {scene_entry("ScenesLoader", "empty.yaml", "preload: \"true\""),
                                         scene_entry("after-clash", "empty.yaml")}));
    EXPECT_TRUE(get_scene("ScenesLoader")->scene_loaded());
    EXPECT_NE(get_scene("after-clash"), nullptr);
}

}  // namespace
