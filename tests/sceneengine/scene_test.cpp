// A scene: loading its file, drawing its objects in order, and routing the
// mouse to them.

#include <climits>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "tests/support/library_fixture.h"

namespace {

using testsupport::call_log;
using testsupport::call_log_with;
using testsupport::ProbeObject;
using testsupport::StderrCapture;
using testsupport::Strings;

class SceneLoad : public testsupport::LibraryFixture {};

TEST_F(SceneLoad, AFileWithoutObjectsLoadsAnEmptySceneOfTheScreensSize) {
    auto empty = make_scene("empty", "Scene: {}\n");
    empty->set_width(300);  // a size set before loading is kept
    StderrCapture err;
    ASSERT_TRUE(empty->load_scene());
    EXPECT_EQ(err.text(), "");
    EXPECT_TRUE(empty->scene_loaded());
    EXPECT_TRUE(empty->get_mouse_cursor_state());
    EXPECT_EQ(empty->get_width(), 300);
    EXPECT_EQ(empty->get_height(), 600);
    EXPECT_EQ(config_get_interface("empty"), nullptr);  // released once loaded
}

TEST_F(SceneLoad, TheObjectListEndsAtTheFirstGap) {
    auto gap = loaded_scene("gap", "Scene:\n  Objects:\n" + object_entry(0, "a", "Probe") +
                                       object_entry(1, "b", "Probe") + object_entry(3, "d", "Probe"));
    EXPECT_EQ(gap->get_object_list(), (Strings{"a", "b"}));
    EXPECT_EQ(gap->get_object("d"), nullptr);
}

TEST_F(SceneLoad, NumbersReadTheLeadingInteger) {
    auto levels = loaded_scene("levels", "Scene:\n  Objects:\n" + object_entry(0, "a", "Probe", "5abc") +
                                             object_entry(1, "b", "Probe", "abc") +
                                             object_entry(2, "c", "Probe", "-3") +
                                             object_entry(3, "d", "Probe", "99999999999999999999") +
                                             object_entry(4, "e", "Probe", "-99999999999999999999"));
    const auto& z = levels->get_z_levels();
    EXPECT_EQ(z.get("a"), 5);
    EXPECT_EQ(z.get("b"), 0);
    EXPECT_EQ(z.get("c"), -3);
    EXPECT_EQ(z.get("d"), INT_MAX);  // clamped, never wrapped
    EXPECT_EQ(z.get("e"), INT_MIN);

    // The cursor is shown for a positive number.
    const std::vector<std::pair<std::string, bool>> cases = {{"0", false}, {"true", false}, {"2", true}, {"-1", false}};
    for (const auto& [value, shown] : cases) {
        auto cursor = loaded_scene("cursor", "Scene: {show_mouse_cursor: \"" + value + "\"}\n");
        EXPECT_EQ(cursor->get_mouse_cursor_state(), shown) << value;
    }
}

TEST_F(SceneLoad, AnUnregisteredTypeOrAFailingObjectStopsTheLoad) {
    auto untyped = make_scene("untyped", "Scene:\n  Objects:\n" + object_entry(0, "a", "Probe") +
                                             object_entry(1, "b", "Sprite") + object_entry(2, "c", "Probe"));
    StderrCapture err;
    EXPECT_FALSE(untyped->load_scene());
    EXPECT_EQ(err.lines(), (Strings{"SCENE:112: Can't load object\"b\" from file \"untyped.yaml\"",
                                    "SCENE:113: No object of type \"Sprite\""}));
    EXPECT_FALSE(untyped->scene_loaded());
    EXPECT_EQ(untyped->get_object_list(), Strings{"a"});

    auto failing = make_scene("failing", "Scene:\n  Objects:\n" + object_entry(0, "a", "Probe") +
                                             object_entry(1, "bad", "Probe") +
                                             "Objects:\n  bad:\n    Probe: {fail: \"true\"}\n");
    err.clear();
    EXPECT_FALSE(failing->load_scene());
    EXPECT_EQ(err.lines(), (Strings{"SCENE:126: Can't load object \"bad\" from file \"failing.yaml\"",
                                    "SCENE:127: Error: told to fail"}));
    EXPECT_EQ(failing->get_object_list(), Strings{"a"});
    // Nothing on the bus may point at the discarded object.
    EXPECT_FALSE(signals_is_registered("failing->bad->_on_activate"));
    EXPECT_EQ(call_log_with("probe:bad:").back(), "probe:bad:destroyed");
}

TEST_F(SceneLoad, AnObjectLoadedAgainReplacesTheFirstAndItsFocus) {
    auto twice = loaded_scene("twice", "Scene:\n  Objects:\n" + object_entry(0, "dup", "Probe", "1") +
                                           object_entry(1, "other", "Probe") + object_entry(2, "dup", "Probe", "4") +
                                           "Objects:\n" + probe_keys("dup", "0 0 10 10"));
    EXPECT_EQ(twice->get_object_list(), (Strings{"dup", "other", "dup"}));
    EXPECT_EQ(twice->get_z_levels().get("dup"), 4);
    // The first is cut off the bus before it goes; the second registers after.
    EXPECT_EQ(call_log_with("probe:dup:"),
              (Strings{"probe:dup:register_slots", "probe:dup:load", "probe:dup:disconnect_signals true",
                       "probe:dup:unregister_slots", "probe:dup:destroyed", "probe:dup:register_slots",
                       "probe:dup:load"}));

    // Loading the scene again forgets the focus and hover of the objects it replaces.
    ASSERT_TRUE(twice->draw());
    SlotArgs args;
    for (float value : {5.0f, 5.0f}) args.add_float(value);
    args.add_int(1);
    ASSERT_TRUE(twice->slot__on_mouse_press(&args));
    ASSERT_TRUE(twice->slot__on_mouse_move(&args));
    ASSERT_NE(twice->get_focused_object(), nullptr);
    ASSERT_TRUE(twice->load_scene());
    EXPECT_EQ(twice->get_focused_object(), nullptr);
    EXPECT_EQ(twice->get_hovered_object(), nullptr);
}

// Counts the reads of each file.
class CountingFiles : public FileIO::FileManager {
public:
    using FileIO::FileManager::FileManager;
    bool read(const std::string& path, std::vector<std::uint8_t>& bytes, std::string& error) const override {
        ++reads[path];
        return FileIO::FileManager::read(path, bytes, error);
    }
    mutable std::map<std::string, int> reads;
};

TEST_F(SceneLoad, ObjectsShowingOneFileShareItsPixelsReadOncePerLoad) {
    // A scene of Image objects named names, each showing p.png; the last one
    // with last_keys added to its Image keys.
    const auto picture_scene = [](const Strings& names, const std::string& last_keys = "") {
        std::string list = "Scene:\n  Objects:\n", keys = "Objects:\n";
        for (std::size_t i = 0; i < names.size(); ++i) {
            list += object_entry(int(i), names[i], "Image", "0");
            keys += "  " + names[i] + ": {Image: {image_file: p.png" + (i + 1 == names.size() ? last_keys : "") + "}}\n";
        }
        return list + keys;
    };
    auto* counting = new CountingFiles(dir.str());
    files.reset(counting);
    const auto pixels = [](const char* object) -> const std::uint32_t* {
        const Video_Image* image = device()->get_image(object, "pictures");
        return image ? image->get_pixels() : nullptr;
    };
    testsupport::StderrCapture err;
    dir.write_bytes("p.png", testsupport::solid_png(2, 2, 0xff0000ffu));
    auto first = loaded_scene("pictures", picture_scene({"a", "b"}));
    ASSERT_NE(pixels("a"), nullptr);
    EXPECT_EQ(pixels("a"), pixels("b"));
    EXPECT_EQ(counting->reads["p.png"], 1);
    const std::uint32_t red = pixels("a")[0];
    device()->get_image("b", "pictures")->get_pixels()[0] = 0;  // a write reaches no other image
    EXPECT_EQ(pixels("a")[0], red);

    // The next load reads the file again, whatever its objects are called.
    dir.write_bytes("p.png", testsupport::solid_png(2, 2, 0x00ff00ffu));
    auto second = loaded_scene("pictures", picture_scene({"c"}));
    ASSERT_NE(pixels("c"), nullptr);
    EXPECT_NE(pixels("c")[0], red);
    EXPECT_EQ(pixels("a")[0], red);

    // A file that no longer decodes leaves the picture shown; the same file
    // under a loader that does not fit it fails however it was read before.
    dir.write("p.png", "not a picture");
    EXPECT_FALSE(make_scene("pictures", picture_scene({"a"}))->load_scene());
    EXPECT_EQ(pixels("a")[0], red);
    dir.write_bytes("p.png", testsupport::solid_png(2, 2, 0xff0000ffu));
    EXPECT_FALSE(make_scene("pictures", picture_scene({"a", "b"}, ", loader: jpg"))->load_scene());
}

TEST_F(SceneLoad, RemovingTakesEveryOccurrenceAndKeepsTheObject) {
    auto removing = make_scene("removing", "Scene: {}\n");
    ProbeObject x, y;
    EXPECT_TRUE(removing->add_object("x", &x, 3));
    EXPECT_TRUE(removing->add_object("x", &y, 9));  // a present name keeps the first object
    EXPECT_EQ(removing->get_object("x"), &x);
    removing->add_object("y", &y, 0);
    // The name may refer into the object list itself.
    EXPECT_TRUE(removing->remove_object(removing->get_object_list().front()));
    EXPECT_EQ(removing->get_object_list(), Strings{"y"});
    EXPECT_FALSE(removing->get_z_levels().contains("x"));
    EXPECT_EQ(call_log_with("probe::"), (Strings{"probe::disconnect_signals true", "probe::unregister_slots"}));
    EXPECT_THROW(removing->remove_object("none"), bool);
    removing->remove_object("y");  // the test's own objects
}

class SceneDraw : public testsupport::LibraryFixture {
protected:
    // The objects drawn since the log was cleared, in order.
    static Strings drawn() {
        Strings names;
        for (const std::string& entry : call_log_with("probe:"))
            if (entry.size() > 5 && entry.compare(entry.size() - 5, 5, ":draw") == 0)
                names.push_back(entry.substr(6, entry.size() - 11));
        return names;
    }
};

TEST_F(SceneDraw, LowerZLevelsFirstThenListOrderHiddenOnesNot) {
    auto order = loaded_scene("order", "Scene:\n  Objects:\n" + object_entry(0, "K", "Probe", "1") +
                                           object_entry(1, "L", "Probe", "0") + object_entry(2, "M", "Probe", "1") +
                                           object_entry(3, "H", "Probe", "0") + object_entry(4, "L", "Probe", "-1") +
                                           "Objects:\n" + probe_keys("H", "0 0 1 1", false));
    call_log().clear();
    ASSERT_TRUE(order->draw());
    // A name listed twice is drawn twice, at the z_level of the object loaded last.
    EXPECT_EQ(drawn(), (Strings{"L", "L", "K", "M"}));
}

TEST_F(SceneDraw, EveryFrameRaisesNewCycleAndSetsTheCursorEvenWithoutADevice) {
    auto cycle = loaded_scene("cycle", "Scene: {show_mouse_cursor: 0}\n");
    int cycles = 0;
    on_signal("cycle->new_cycle", "count", [&](SlotArgs*) { ++cycles; });
    ASSERT_TRUE(cycle->draw());
    EXPECT_FALSE(device()->mouse_cursor_shown());
    cycle->set_mouse_cursor_state(true);
    ASSERT_TRUE(cycle->draw());
    EXPECT_TRUE(device()->mouse_cursor_shown());
    cycle->set_video_name("no-such-device");
    EXPECT_FALSE(cycle->draw());
    EXPECT_EQ(cycles, 3);
}

// The order is kept between frames only while nothing it depends on changes.
TEST_F(SceneDraw, ChangesBetweenFramesShowInTheNextFrame) {
    auto changing = loaded_scene("changing", "Scene:\n  Objects:\n" + object_entry(0, "a", "Probe", "0") +
                                                 object_entry(1, "b", "Probe", "1"));
    ASSERT_TRUE(changing->draw());
    ProbeObject c;
    c._set__object_name_("c");
    c._set_show(true);
    changing->add_object("c", &c, -1);
    changing->add_object("ghost", nullptr, 0);  // a null object is taken out of the scene
    call_log().clear();
    ASSERT_TRUE(changing->draw());
    EXPECT_EQ(drawn(), (Strings{"c", "a", "b"}));
    EXPECT_FALSE(changing->get_objects().contains("ghost"));

    SceneObject* a = changing->get_object("a");
    changing->remove_object("a");
    call_log().clear();
    ASSERT_TRUE(changing->draw());
    EXPECT_EQ(drawn(), (Strings{"c", "b"}));
    delete a;  // a removed object is its host's
    changing->remove_object("c");

    // A copy draws on its own: it must not read what the original built.
    Scene copy(*changing);
    delete changing.release();  // its objects stay, the copy's
    call_log().clear();
    ASSERT_TRUE(copy.draw());
    EXPECT_EQ(drawn(), Strings{"b"});
    testsupport::free_objects(copy);
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
    testsupport::ScenePtr rewriter(new OrderRewriter());
    auto& scene = static_cast<OrderRewriter&>(*rewriter);
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
    auto midframe = loaded_scene("midframe", "Scene:\n  Objects:\n" + object_entry(0, "b", "Probe", "2"));
    Remover remover;
    remover._set__object_name_("r");
    remover._set_show(true);
    midframe->add_object("r", &remover, 1);
    ASSERT_TRUE(midframe->draw());  // the order is kept from here on
    remover.victim_scene = midframe.get();
    remover.victim = "b";
    std::unique_ptr<SceneObject> b(midframe->get_object("b"));  // a removed object is its host's
    call_log().clear();
    ASSERT_TRUE(midframe->draw());
    EXPECT_EQ(drawn(), Strings{"r"});
    midframe->remove_object("r");
}

SlotArgs mouse_args(float x, float y, std::int64_t button = 1) {
    SlotArgs args;
    for (float value : {x, y, 0.5f, -0.5f}) args.add_float(value);
    args.add_int(button);
    return args;
}

// K (z 1) and M (z 1) overlap L (z 0); M alone covers 20..30, L alone 40..50.
class SceneInput : public testsupport::LibraryFixture {
protected:
    void SetUp() override {
        LibraryFixture::SetUp();
        stack = loaded_scene("stack", "Scene:\n  Objects:\n" + object_entry(0, "K", "Probe", "1") +
                                          object_entry(1, "L", "Probe", "0") + object_entry(2, "M", "Probe", "1") +
                                          "Objects:\n" + probe_keys("K", "0 0 10 10") +
                                          probe_keys("L", "0 0 50 50") + probe_keys("M", "0 0 30 30"));
        ASSERT_TRUE(stack->draw());  // the hit order is the drawing order of the last frame
        on_signal("stack->activate", "activate-watch", [this](SlotArgs* args) {
            activations.push_back({args->get_float(0), args->get_float(1), double(args->get_int(0))});
        });
        call_log().clear();
    }

    bool press(float x, float y, std::int64_t button = 1) {
        SlotArgs args = mouse_args(x, y, button);
        return stack->slot__on_mouse_press(&args);
    }
    bool move(float x, float y) {
        SlotArgs args = mouse_args(x, y);
        return stack->slot__on_mouse_move(&args);
    }

    testsupport::ScenePtr stack;
    std::vector<std::vector<double>> activations;  // x, y, button of each "->activate"
};

TEST_F(SceneInput, APressHitsTheTopmostObjectOnlyAndEmptySpaceChangesNothing) {
    EXPECT_TRUE(press(5, 25, 3));
    EXPECT_EQ(stack->get_focused_object(), stack->get_object("M"));
    EXPECT_EQ(activations, (std::vector<std::vector<double>>{{5, 25, 3}}));
    // Only the focused object hears the scene's activate signal.
    EXPECT_EQ(call_log_with("probe:M:activate"), Strings{"probe:M:activate 5 25 3"});
    EXPECT_TRUE(call_log_with("probe:K:").empty());
    EXPECT_TRUE(call_log_with("probe:L:").empty());
    call_log().clear();
    EXPECT_TRUE(press(60, 60));
    EXPECT_EQ(stack->get_focused_object(), stack->get_object("M"));
    EXPECT_EQ(activations.size(), 1u);
    EXPECT_TRUE(call_log().empty());
}

TEST_F(SceneInput, FocusMovesWithItsConnections) {
    ASSERT_TRUE(press(25, 25));  // M
    call_log().clear();
    ASSERT_TRUE(press(45, 45));  // L
    EXPECT_EQ(call_log_with("probe:"), (Strings{"probe:M:disconnect_signals false", "probe:L:connect_signals false",
                                                "probe:L:activate 45 45 1"}));
}

TEST_F(SceneInput, HiddenObjectsAreNeverHit) {
    stack->get_object("M")->_set_show(false);
    ASSERT_TRUE(press(5, 5));
    EXPECT_EQ(stack->get_focused_object(), stack->get_object("K"));
    ASSERT_TRUE(move(25, 25));
    EXPECT_EQ(stack->get_hovered_object(), stack->get_object("L"));
    EXPECT_TRUE(call_log_with("probe:M:").empty());
}

TEST_F(SceneInput, MissingArgumentsOrDeviceAreRefused) {
    SlotArgs one_float;
    one_float.add_float(5);
    one_float.add_int(1);
    SlotArgs no_int;
    no_int.add_float(5);
    no_int.add_float(5);
    for (SlotArgs* args : {&one_float, &no_int, static_cast<SlotArgs*>(nullptr)}) {
        EXPECT_FALSE(stack->slot__on_mouse_press(args));
        EXPECT_FALSE(stack->slot__on_mouse_move(args));
    }
    stack->set_video_name("no-such-device");
    EXPECT_FALSE(press(5, 5));
    EXPECT_FALSE(move(5, 5));
    EXPECT_EQ(stack->get_focused_object(), nullptr);
    EXPECT_EQ(stack->get_hovered_object(), nullptr);
    EXPECT_TRUE(activations.empty());
}

TEST_F(SceneInput, EnterOnceLeaveOnlyObjectsAboveTheNewHit) {
    ASSERT_TRUE(move(45, 45));  // L
    ASSERT_TRUE(move(46, 44));
    ASSERT_TRUE(move(25, 25));  // M lies above L: L gets no leave
    ASSERT_TRUE(move(45, 45));  // M is left, L entered again
    ASSERT_TRUE(move(80, 80));
    EXPECT_EQ(call_log_with("probe:"), (Strings{"probe:L:enter 45 45 1", "probe:M:enter 25 25 1",
                                                "probe:M:leave 45 45 1", "probe:L:enter 45 45 1",
                                                "probe:L:leave 80 80 1"}));
    EXPECT_EQ(stack->get_hovered_object(), nullptr);
}

TEST_F(SceneInput, RemovingAnObjectForgetsFocusAndHover) {
    ASSERT_TRUE(press(45, 45));
    ASSERT_TRUE(move(45, 45));
    SceneObject* l = stack->get_object("L");
    stack->remove_object("L");
    EXPECT_EQ(stack->get_focused_object(), nullptr);
    EXPECT_EQ(stack->get_hovered_object(), nullptr);
    stack->add_object("L", l, 0);  // still alive: it can come back
}

// Through the bus: what the event pump raises under the device's name.
TEST_F(SceneInput, OnlyAnActivatedSceneHearsTheMouse) {
    auto raise_press = [](float x, float y) {
        Signal signal(std::string(video) + "->mouse_press");
        for (float value : {x, y, 0.0f, 0.0f}) signal.add_params(value);
        signal.add_params(std::int64_t(1));
        signal.rise();
    };
    raise_press(5, 5);
    EXPECT_EQ(stack->get_focused_object(), nullptr);
    ASSERT_TRUE(stack->slot__on_activate(nullptr));
    raise_press(5, 5);
    EXPECT_EQ(stack->get_focused_object(), stack->get_object("M"));
    ASSERT_TRUE(stack->slot__on_deactivate(nullptr));
    raise_press(45, 45);
    EXPECT_EQ(stack->get_focused_object(), stack->get_object("M"));
    EXPECT_FALSE(signals_is_registered("stack->M->_on_activate"));
}

}  // namespace
