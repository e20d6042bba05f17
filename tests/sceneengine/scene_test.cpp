// A scene: loading its file, drawing its objects in order, and routing the mouse to them.

#include <climits>
#include <map>
#include <memory>

#include "tests/support/library_fixture.h"

namespace {

using namespace testsupport;

using SceneLoad = testsupport::LibraryFixture;

// Numbers read the leading integer, clamped.
TEST_F(SceneLoad, TheObjectListEndsAtTheFirstGapAndNumbersAreClamped) {
    auto levels = loaded_scene(
        "levels", "Scene:\n  Objects:\n" + object_entry(0, "a", "Probe", "5abc") +
                      object_entry(1, "b", "Probe", "abc") + object_entry(2, "d", "Probe", "99999999999999999999") +
                      object_entry(3, "e", "Probe", "-99999999999999999999") + object_entry(5, "f", "Probe"));
    EXPECT_EQ(levels->get_object_list(), (Strings{"a", "b", "d", "e"}));
    const auto& z = levels->get_z_levels();
    EXPECT_EQ(std::vector<int>({z.get("a"), z.get("b"), z.get("d"), z.get("e")}),
              std::vector<int>({5, 0, INT_MAX, INT_MIN}));
    // The cursor is shown for a positive number, and without one.
    for (const auto& [text, shown] : std::map<std::string, bool>{
             {"{show_mouse_cursor: \"true\"}", false}, {"{show_mouse_cursor: \"2\"}", true}, {"{}", true}})
        EXPECT_EQ(loaded_scene("cursor", "Scene: " + text + "\n")->get_mouse_cursor_state(), shown) << text;
}

// A failing object: the objects before it stay; nothing on the bus may point at the discarded one. Objects showing one
// file share its pixels; a file that no longer decodes, or a loader that does not fit it, fails the load and leaves the
// picture shown.
TEST_F(SceneLoad, AFailingObjectOrPictureStopsTheLoadAndLeavesTheBusAndThePictureShown) {
    auto failing =
        make_scene("failing", "Scene:\n  Objects:\n" + object_entry(0, "a", "Probe") + object_entry(1, "bad", "Probe") +
                                  "Objects:\n  bad:\n    Probe: {fail: \"true\"}\n");
    StderrCapture err;
    EXPECT_FALSE(failing->load_scene());
    EXPECT_EQ(err.lines().back(), "SCENE:127: Error: told to fail");
    EXPECT_EQ(failing->get_object_list(), Strings{"a"});
    EXPECT_FALSE(signals_is_registered("failing->bad->_on_activate"));
    EXPECT_EQ(call_log_with("probe:bad:").back(), "probe:bad:destroyed");

    const std::string two_pictures = "Scene:\n  Objects:\n" + object_entry(0, "a", "Image") +
                                     object_entry(1, "b", "Image") +
                                     "Objects:\n  a: {Image: {image_file: p.png}}\n  b: {Image: {image_file: p.png}}\n";
    const auto pixels = [](const char* object) {  // const: a write would give the image pixels of its own
        return static_cast<const Video_Image*>(device()->get_image(object, "pictures"))->get_pixels();
    };
    dir.write_bytes("p.png", testsupport::encode_png(2, 2, std::vector<std::uint8_t>(16, 200)));
    auto first = loaded_scene("pictures", two_pictures);
    EXPECT_EQ(pixels("a"), pixels("b"));
    const std::uint32_t shown = pixels("a")[0];
    dir.write("p.png", "not a picture");
    EXPECT_FALSE(make_scene("pictures", two_pictures)->load_scene());
    EXPECT_EQ(pixels("a")[0], shown);
    dir.write_bytes("p.png", testsupport::encode_png(2, 2, std::vector<std::uint8_t>(16, 200)));
    std::string jpg_b = two_pictures;  // b reads the file a has just read
    EXPECT_FALSE(make_scene("pictures", jpg_b.insert(jpg_b.rfind("p.png") + 5, ", loader: jpg"))->load_scene());
}

class SceneDraw : public testsupport::LibraryFixture {
protected:
    // Draws the scene a fresh frame and returns the objects drawn, in order.
    static Strings frame(Scene& scene) {
        call_log().clear();
        EXPECT_TRUE(scene.draw());
        Strings names;
        for (const std::string& entry : call_log())
            if (entry.ends_with(":draw")) names.push_back(entry.substr(6, entry.size() - 11));
        return names;
    }
};

// Hidden objects are not drawn. The order is kept between frames only while nothing it depends on changes: an object
// added shows in the next frame, one removed during a frame is not drawn afterwards, and a copy draws on its own.
TEST_F(SceneDraw, ChangesBetweenAndDuringFramesShowAtOnce) {
    auto changing = loaded_scene("changing", "Scene:\n  Objects:\n" + object_entry(0, "a", "Probe", "0") +
                                                 object_entry(1, "b", "Probe", "1") + object_entry(2, "h", "Probe") +
                                                 "Objects:\n" + probe_keys("h", "0 0 1 1", false));
    ASSERT_TRUE(changing->draw());
    ProbeObject c;
    c._set__object_name_("c");
    c._set_show(true);
    changing->add_object("c", &c, -1);
    changing->add_object("ghost", nullptr, 0);  // a null object is taken out of the scene
    EXPECT_EQ(frame(*changing), (Strings{"c", "a", "b"}));
    EXPECT_FALSE(changing->get_objects().contains("ghost"));
    std::unique_ptr<SceneObject> a(changing->get_object("a"));  // a removed object is its host's
    c.on_draw = [&changing] { changing->remove_object("a"); };
    EXPECT_EQ(frame(*changing), (Strings{"c", "b"}));
    c.on_draw = nullptr;
    changing->remove_object("c");
    testsupport::ScenePtr copy(new Scene(*changing));
    delete changing.release();  // its objects stay, the copy's
    EXPECT_EQ(frame(*copy), Strings{"b"});
}

// K (z 1) and M (z 1) overlap L (z 0); M alone covers 20..30, L alone 40..50.
class SceneInput : public testsupport::LibraryFixture {
protected:
    void SetUp() override {
        LibraryFixture::SetUp();
        stack = loaded_scene("stack", "Scene:\n  Objects:\n" + object_entry(0, "K", "Probe", "1") +
                                          object_entry(1, "L", "Probe", "0") + object_entry(2, "M", "Probe", "1") +
                                          "Objects:\n" + probe_keys("K", "0 0 10 10") + probe_keys("L", "0 0 50 50") +
                                          probe_keys("M", "0 0 30 30"));
        ASSERT_TRUE(stack->draw());  // the hit order is the drawing order of the last frame
        call_log().clear();
    }

    // The scene's mouse slots, with the arguments the input signals give.
    bool press(float x, float y, std::int64_t button = 1, bool moving = false) {
        SlotArgs args;
        for (float value : {x, y, 0.5f, -0.5f}) args.add_float(value);
        args.add_int(button);
        return moving ? stack->slot__on_mouse_move(&args) : stack->slot__on_mouse_press(&args);
    }
    bool move(float x, float y) { return press(x, y, 1, true); }
    SceneObject* object(const char* name) { return stack->get_object(name); }

    testsupport::ScenePtr stack;
};

TEST_F(SceneInput, APressFocusesTheTopmostShownObjectAndMissingArgumentsOrDeviceAreRefused) {
    SlotArgs one_float, no_int;
    one_float.add_float(5), one_float.add_int(1);
    no_int.add_float(5), no_int.add_float(5);
    for (SlotArgs* args : {&one_float, &no_int, static_cast<SlotArgs*>(nullptr)}) {
        EXPECT_FALSE(stack->slot__on_mouse_press(args));
        EXPECT_FALSE(stack->slot__on_mouse_move(args));
    }
    stack->set_video_name("no-such-device");
    EXPECT_FALSE(press(5, 5));
    EXPECT_FALSE(move(5, 5));
    EXPECT_TRUE(call_log().empty());  // nothing was hit
    stack->set_video_name(video);
    object("M")->_set_show(false);  // M lies above K
    ASSERT_TRUE(press(5, 5));
    EXPECT_EQ(stack->get_focused_object(), object("K"));
}

// Moves enter an object once and leave only the objects above the new hit. Loading the scene again replaces its
// objects: each old one is cut off the bus before it goes, and the focus and the hover forget it.
TEST_F(SceneInput, EnterOnceLeaveOnlyObjectsAboveTheNewHitAndLoadingAgainForgetsFocusAndHover) {
    for (float at : {45.0f, 46.0f, 25.0f, 45.0f, 80.0f}) ASSERT_TRUE(move(at, at));
    // M lies above L: entering M leaves L hovered below it.
    EXPECT_EQ(call_log_with("probe:"),
              (Strings{"probe:L:enter 45 45 1", "probe:M:enter 25 25 1", "probe:M:leave 45 45 1",
                       "probe:L:enter 45 45 1", "probe:L:leave 80 80 1"}));
    EXPECT_EQ(stack->get_hovered_object(), nullptr);

    ASSERT_TRUE(press(25, 25) && move(25, 25));
    call_log().clear();
    ASSERT_TRUE(stack->load_scene());
    EXPECT_EQ(stack->get_focused_object(), nullptr);
    EXPECT_EQ(stack->get_hovered_object(), nullptr);
    EXPECT_EQ(call_log_with("probe:M:"), (Strings{"probe:M:disconnect_signals true", "probe:M:unregister_slots",
                                                  "probe:M:destroyed", "probe:M:register_slots", "probe:M:load"}));
}

}  // namespace
