#include <map>
#include <string>
#include <vector>

#include "tests/sceneengine/scene_fixture.h"
#include "tests/support/function_slot.h"

namespace {

using scenetest::object_entry;
using scenetest::probe_keys;
using testsupport::call_log;
using testsupport::call_log_with;
using testsupport::ProbeObject;
using Strings = std::vector<std::string>;

class SceneDraw : public scenetest::SceneFixture {
protected:
    // The objects drawn by the last frames, in order.
    static Strings drawn() {
        Strings names;
        for (const std::string& entry : call_log_with("probe:"))
            if (entry.size() > 5 && entry.compare(entry.size() - 5, 5, ":draw") == 0)
                names.push_back(entry.substr(6, entry.size() - 11));
        return names;
    }
};

TEST_F(SceneDraw, LowerZLevelsFirstThenListOrder) {
    auto scene = loaded_scene("order", "Scene:\n  Objects:\n" + object_entry(0, "K", "Probe", "1") +
                                           object_entry(1, "L", "Probe", "0") + object_entry(2, "M", "Probe", "1"));
    call_log().clear();
    ASSERT_TRUE(scene->draw());
    EXPECT_EQ(drawn(), (Strings{"L", "K", "M"}));
}

TEST_F(SceneDraw, ANameListedTwiceIsDrawnTwice) {
    auto scene = loaded_scene("twice", "Scene:\n  Objects:\n" + object_entry(0, "a", "Probe", "0") +
                                           object_entry(1, "b", "Probe", "1") + object_entry(2, "a", "Probe", "2"));
    call_log().clear();
    ASSERT_TRUE(scene->draw());
    // Both entries take the z_level of the object loaded last under the name.
    EXPECT_EQ(drawn(), (Strings{"b", "a", "a"}));
}

TEST_F(SceneDraw, HiddenObjectsAreNotDrawn) {
    auto scene = loaded_scene("hidden", "Scene:\n  Objects:\n" + object_entry(0, "a", "Probe", "0") +
                                            object_entry(1, "b", "Probe", "0") + "Objects:\n" +
                                            probe_keys("a", "0 0 1 1", false));
    call_log().clear();
    ASSERT_TRUE(scene->draw());
    EXPECT_EQ(drawn(), Strings{"b"});
}

TEST_F(SceneDraw, EveryFrameRaisesNewCycleAndSetsTheCursor) {
    auto scene = loaded_scene("cycle", "Scene: {show_mouse_cursor: 0}\n");
    int cycles = 0;
    testsupport::FunctionSlot counter([&](SlotArgs*) { return ++cycles > 0; });
    register_slot("count", &counter);
    connect("cycle->new_cycle", "count");
    ASSERT_TRUE(scene->draw());
    EXPECT_FALSE(device()->mouse_cursor_shown());
    scene->set_mouse_cursor_state(true);
    ASSERT_TRUE(scene->draw());
    EXPECT_TRUE(device()->mouse_cursor_shown());
    EXPECT_EQ(cycles, 2);
}

TEST_F(SceneDraw, WithoutADeviceTheCycleIsStillRaisedAndTheOrderBuilt) {
    auto scene = loaded_scene("blind", "Scene:\n  Objects:\n" + object_entry(0, "a", "Probe", "0"));
    scene->set_video_name("no-such-device");
    int cycles = 0;
    testsupport::FunctionSlot counter([&](SlotArgs*) { return ++cycles > 0; });
    register_slot("count", &counter);
    connect("blind->new_cycle", "count");
    call_log().clear();
    EXPECT_FALSE(scene->draw());
    EXPECT_EQ(cycles, 1);
    EXPECT_EQ(scene->get_draw_order().size(), 1u);
    EXPECT_TRUE(drawn().empty());
}

// The order is kept between frames only while nothing it depends on changes.
TEST_F(SceneDraw, ChangesBetweenFramesShowInTheNextFrame) {
    auto scene = loaded_scene("changing", "Scene:\n  Objects:\n" + object_entry(0, "a", "Probe", "0") +
                                              object_entry(1, "b", "Probe", "1"));
    ASSERT_TRUE(scene->draw());
    ProbeObject c;
    c._set__object_name_("c");
    c._set_show(true);
    scene->add_object("c", &c, -1);
    call_log().clear();
    ASSERT_TRUE(scene->draw());
    EXPECT_EQ(drawn(), (Strings{"c", "a", "b"}));

    scene->remove_object("a");
    call_log().clear();
    ASSERT_TRUE(scene->draw());
    EXPECT_EQ(drawn(), (Strings{"c", "b"}));

    scene->add_object("c", &c, 5);  // listed again, first z_level kept
    call_log().clear();
    ASSERT_TRUE(scene->draw());
    EXPECT_EQ(drawn(), (Strings{"c", "c", "b"}));
    EXPECT_EQ(scene->get_draw_order().size(), 3u);
    scene->remove_object("c");
}

// A derived scene may rewrite its drawing order between frames; the next
// draw builds it from the list again, as if it were never kept.
class OrderRewriter : public Scene {
public:
    void swap_order() { draw_order = {{0, "b"}, {1, "a"}}; }
};

TEST_F(SceneDraw, ARewrittenOrderIsBuiltAgainByTheNextDraw) {
    dir.write("rewritten.yaml", "Scene:\n  Objects:\n" + object_entry(0, "a", "Probe", "0") +
                                    object_entry(1, "b", "Probe", "1"));
    OrderRewriter scene;
    scene.set_name("rewritten");
    scene.set_video_name(video);
    scene.set_storage_file("rewritten.yaml");
    scene.set_file_manager(files.get());
    ASSERT_TRUE(scene.load_scene());
    ASSERT_TRUE(scene.draw());
    const std::multimap<int, std::string> built = scene.get_draw_order();
    scene.swap_order();
    call_log().clear();
    ASSERT_TRUE(scene.draw());
    EXPECT_EQ(drawn(), (Strings{"a", "b"}));
    EXPECT_EQ(scene.get_draw_order(), built);
}

TEST_F(SceneDraw, ANullObjectIsTakenOutOfTheScene) {
    auto scene = loaded_scene("nulls", "Scene:\n  Objects:\n" + object_entry(0, "a", "Probe", "1"));
    scene->add_object("ghost", nullptr, 0);
    call_log().clear();
    ASSERT_TRUE(scene->draw());
    EXPECT_EQ(drawn(), Strings{"a"});
    EXPECT_EQ(scene->get_object_list(), Strings{"a"});
    EXPECT_FALSE(scene->get_objects().contains("ghost"));
}

// An object whose drawing takes another object out of its scene.
class Remover : public ProbeObject {
public:
    void draw() override {
        ProbeObject::draw();
        if (victim_scene) victim_scene->remove_object(victim);
        victim_scene = nullptr;
    }
    Scene* victim_scene = nullptr;
    std::string victim;
};

TEST_F(SceneDraw, AnObjectRemovedDuringTheFrameIsNotDrawnAfterwards) {
    auto scene = loaded_scene("midframe", "Scene:\n  Objects:\n" + object_entry(0, "b", "Probe", "2"));
    ASSERT_TRUE(scene->draw());
    Remover remover;
    remover._set__object_name_("r");
    remover._set_show(true);
    scene->add_object("r", &remover, 1);
    ASSERT_TRUE(scene->draw());  // the order is kept from here on
    remover.victim_scene = scene.get();
    remover.victim = "b";
    call_log().clear();
    ASSERT_TRUE(scene->draw());
    EXPECT_EQ(drawn(), Strings{"r"});
    scene->remove_object("r");
}

TEST_F(SceneDraw, ACopyDrawsOnItsOwn) {
    auto scene = loaded_scene("original", "Scene:\n  Objects:\n" + object_entry(0, "a", "Probe", "0"));
    ASSERT_TRUE(scene->draw());
    Scene copy(*scene);
    scene.reset();  // the copy must not read what the original built
    call_log().clear();
    ASSERT_TRUE(copy.draw());
    EXPECT_EQ(drawn(), Strings{"a"});
}

}  // namespace
