#include <climits>
#include <map>
#include <string>
#include <vector>

#include "sceneengine/scenemanager/sceneengine.h"
#include "sceneengine/sceneobjects/scene_object.h"
#include "services/config.h"
#include "tests/sceneengine/object_fixture.h"
#include "tests/sceneengine/scene_fixture.h"

namespace {

using scenetest::object_entry;
using testsupport::call_log_with;
using testsupport::StderrCapture;
using Strings = std::vector<std::string>;

class SceneLoad : public scenetest::SceneFixture {};

TEST_F(SceneLoad, AFileWithoutObjectsLoadsAnEmptySceneOfTheScreensSize) {
    auto scene = make_scene("empty", "Scene: {}\n");
    EXPECT_TRUE(scene->get_mouse_cursor_state());  // before any load
    scene->set_width(300);                          // a size set before loading is kept
    StderrCapture err;
    ASSERT_TRUE(scene->load_scene());
    EXPECT_EQ(err.text(), "");
    EXPECT_TRUE(scene->scene_loaded());
    EXPECT_TRUE(scene->get_object_list().empty());
    EXPECT_TRUE(scene->get_mouse_cursor_state());
    EXPECT_EQ(scene->get_width(), 300);
    EXPECT_EQ(scene->get_height(), 600);
    EXPECT_EQ(config_get_interface("empty"), nullptr);  // released once loaded
}

TEST_F(SceneLoad, TheObjectListEndsAtTheFirstGap) {
    auto scene = loaded_scene("gap", "Scene:\n  Objects:\n" + object_entry(0, "a", "Probe", "0") +
                                         object_entry(1, "b", "Probe", "0") + object_entry(3, "d", "Probe", "0"));
    EXPECT_EQ(scene->get_object_list(), (Strings{"a", "b"}));
    EXPECT_EQ(scene->get_object("d"), nullptr);
}

TEST_F(SceneLoad, NumbersReadTheLeadingInteger) {
    auto scene = loaded_scene("levels", "Scene:\n  Objects:\n" + object_entry(0, "a", "Probe", "5abc") +
                                            object_entry(1, "b", "Probe", "abc") +
                                            object_entry(2, "c", "Probe", "-3") +
                                            object_entry(3, "d", "Probe", "99999999999999999999"));
    const auto& z = scene->get_z_levels();
    EXPECT_EQ(z.get("a"), 5);
    EXPECT_EQ(z.get("b"), 0);
    EXPECT_EQ(z.get("c"), -3);
    EXPECT_EQ(z.get("d"), INT_MAX);  // clamped, never wrapped

    // The cursor is shown for a positive number.
    const std::vector<std::pair<std::string, bool>> cases = {{"0", false}, {"true", false}, {"2", true}, {"-1", false}};
    for (const auto& [value, shown] : cases) {
        auto cursor = loaded_scene("cursor", "Scene: {show_mouse_cursor: \"" + value + "\"}\n");
        EXPECT_EQ(cursor->get_mouse_cursor_state(), shown) << value;
    }
}

TEST_F(SceneLoad, ObjectsGetTheScenesNamesAndKeys) {
    auto scene = loaded_scene("named", "Scene:\n  Objects:\n" + object_entry(0, "a", "Probe", "2") +
                                           "Objects:\n" + scenetest::probe_keys("a", "1 2 3 4"));
    SceneObject* a = scene->get_object("a");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->_get__video_name_(), video);
    EXPECT_EQ(a->_get__scene_name_(), "named");
    EXPECT_EQ(a->_get__storage_name_(), "named");
    EXPECT_EQ(a->_get__storage_prefix_(), "Objects->a->");
    EXPECT_EQ(a->_get__scene_(), scene.get());
    EXPECT_TRUE(a->_is_point_in_object(2, 3));  // its own key was read from the scene file
    EXPECT_TRUE(signals_is_registered("named->a->_on_activate"));
}

// A scene of Image objects named names, each showing p.png; the last one
// with last_keys added to its Image keys.
std::string picture_scene(const std::vector<std::string>& names, const std::string& last_keys = "") {
    std::string list = "Scene:\n  Objects:\n", keys = "Objects:\n";
    for (std::size_t i = 0; i < names.size(); ++i) {
        list += object_entry(int(i), names[i], "Image", "0");
        keys += "  " + names[i] + ": {Image: {image_file: p.png" + (i + 1 == names.size() ? last_keys : "") + "}}\n";
    }
    return list + keys;
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
    init(video);  // the built-in kinds
    auto* counting = new CountingFiles(dir.str());
    files.reset(counting);
    const auto pixels = [this](const char* object) -> const std::uint32_t* {
        const Video_Image* image = device()->get_image(object, "pictures");
        return image ? image->get_pixels() : nullptr;
    };
    StderrCapture err;
    dir.write_bytes("p.png", objecttest::solid_png(2, 2, 0xff0000ffu));
    auto first = loaded_scene("pictures", picture_scene({"a", "b"}));
    ASSERT_NE(pixels("a"), nullptr);
    EXPECT_EQ(pixels("a"), pixels("b"));
    EXPECT_EQ(counting->reads["p.png"], 1);
    const std::uint32_t red = pixels("a")[0];
    device()->get_image("b", "pictures")->get_pixels()[0] = 0;  // a write reaches no other image
    EXPECT_EQ(pixels("a")[0], red);

    // The next load reads the file again, whatever its objects are called.
    dir.write_bytes("p.png", objecttest::solid_png(2, 2, 0x00ff00ffu));
    auto second = loaded_scene("pictures", picture_scene({"c"}));
    ASSERT_NE(pixels("c"), nullptr);
    EXPECT_NE(pixels("c")[0], red);
    EXPECT_EQ(pixels("a")[0], red);

    // A file that no longer decodes leaves the picture shown; the same file
    // under a loader that does not fit it fails however it was read before.
    dir.write("p.png", "not a picture");
    EXPECT_FALSE(make_scene("pictures", picture_scene({"a"}))->load_scene());
    EXPECT_EQ(pixels("a")[0], red);
    dir.write_bytes("p.png", objecttest::solid_png(2, 2, 0xff0000ffu));
    EXPECT_FALSE(make_scene("pictures", picture_scene({"a", "b"}, ", loader: jpg"))->load_scene());
}

TEST_F(SceneLoad, AnUnregisteredTypeStopsTheLoad) {
    auto scene = make_scene("untyped", "Scene:\n  Objects:\n" + object_entry(0, "a", "Probe", "0") +
                                           object_entry(1, "b", "Sprite", "0") +
                                           object_entry(2, "c", "Probe", "0"));
    StderrCapture err;
    EXPECT_FALSE(scene->load_scene());
    EXPECT_EQ(err.lines(), (Strings{"SCENE:112: Can't load object\"b\" from file \"untyped.yaml\"",
                                    "SCENE:113: No object of type \"Sprite\""}));
    EXPECT_FALSE(scene->scene_loaded());
    EXPECT_EQ(scene->get_object_list(), Strings{"a"});
    EXPECT_NE(scene->get_object("a"), nullptr);

    auto untyped = make_scene("notype", "Scene:\n  Objects:\n    Object0: {name: a}\n");
    err.clear();
    EXPECT_FALSE(untyped->load_scene());
    EXPECT_EQ(err.lines().at(1), "SCENE:113: No object of type \"\"");
}

TEST_F(SceneLoad, AnObjectThatFailsIsReportedAndDiscarded) {
    auto scene = make_scene("failing", "Scene:\n  Objects:\n" + object_entry(0, "a", "Probe", "0") +
                                           object_entry(1, "bad", "Probe", "0") +
                                           "Objects:\n  bad:\n    Probe: {fail: \"true\"}\n");
    StderrCapture err;
    EXPECT_FALSE(scene->load_scene());
    EXPECT_EQ(err.lines(), (Strings{"SCENE:126: Can't load object \"bad\" from file \"failing.yaml\"",
                                    "SCENE:127: Error: told to fail"}));
    EXPECT_EQ(scene->get_object_list(), Strings{"a"});
    // Nothing on the bus may point at the discarded object.
    EXPECT_FALSE(signals_is_registered("failing->bad->_on_activate"));
    EXPECT_EQ(call_log_with("probe:bad:").back(), "probe:bad:destroyed");
}

TEST_F(SceneLoad, ASecondObjectOfANameReplacesTheFirst) {
    auto scene = loaded_scene("twice", "Scene:\n  Objects:\n" + object_entry(0, "dup", "Probe", "1") +
                                           object_entry(1, "other", "Probe", "0") +
                                           object_entry(2, "dup", "Probe", "4"));
    EXPECT_EQ(scene->get_object_list(), (Strings{"dup", "other", "dup"}));
    EXPECT_EQ(scene->get_z_levels().get("dup"), 4);
    // The first is cut off the bus before it goes; the second registers after.
    EXPECT_EQ(call_log_with("probe:dup:"),
              (Strings{"probe:dup:register_slots", "probe:dup:load", "probe:dup:disconnect_signals true",
                       "probe:dup:unregister_slots", "probe:dup:destroyed", "probe:dup:register_slots",
                       "probe:dup:load"}));
    Signal poke("");
    poke.set_name("poke");
    connect("poke", "twice->dup->_on_activate");
    testsupport::call_log().clear();
    EXPECT_TRUE(poke.rise());
    EXPECT_EQ(testsupport::call_log(), Strings{"probe:dup:activate"});
}

TEST_F(SceneLoad, LoadingAgainReplacesEveryObject) {
    auto scene = loaded_scene("again", "Scene:\n  Objects:\n" + object_entry(0, "a", "Probe", "0"));
    ASSERT_TRUE(scene->load_scene());
    // The allocator may hand the new object the old one's address: look at the log.
    EXPECT_EQ(call_log_with("probe:a:destroyed").size(), 1u);
    EXPECT_EQ(call_log_with("probe:a:load").size(), 2u);
    EXPECT_EQ(scene->get_object_list(), (Strings{"a", "a"}));
}

TEST_F(SceneLoad, IncompleteSetupIsReportedAndLoadingGoesOn) {
    auto scene = make_scene("unset", "Scene:\n  Objects:\n" + object_entry(0, "a", "Probe", "0"));
    scene->set_file_manager(nullptr);
    dir.write("plain.yaml", "Scene:\n  Objects:\n" + object_entry(0, "a", "Probe", "0"));
    scene->set_storage_file(dir.str() + "/plain.yaml");  // no file manager: the plain file system
    StderrCapture err;
    EXPECT_TRUE(scene->load_scene());
    EXPECT_EQ(err.lines(),
              Strings{"SCENE:63: ..\\..\\sceneengine\\scenemanager\\scene:63: Scene wasn't correctly inited!!!"});
    EXPECT_EQ(scene->get_object_list(), Strings{"a"});
}

TEST_F(SceneLoad, WithoutAVideoDeviceNothingHappens) {
    auto scene = make_scene("novideo", "Scene:\n  Objects:\n" + object_entry(0, "a", "Probe", "0"));
    scene->set_video_name("no-such-device");
    StderrCapture err;
    EXPECT_FALSE(scene->load_scene());
    EXPECT_EQ(err.text(), "");
    EXPECT_EQ(scene->get_width(), 0);
    EXPECT_TRUE(scene->get_object_list().empty());
}

class SceneObjects : public scenetest::SceneFixture {};

TEST_F(SceneObjects, AddingAPresentNameKeepsTheFirstObject) {
    auto scene = make_scene("adding", "Scene: {}\n");
    testsupport::ProbeObject first, second;
    EXPECT_TRUE(scene->add_object("x", &first, 3));
    EXPECT_TRUE(scene->add_object("x", &second, 9));
    EXPECT_EQ(scene->get_object("x"), &first);
    EXPECT_EQ(scene->get_z_levels().get("x"), 3);
    EXPECT_EQ(scene->get_object_list(), (Strings{"x", "x"}));
    EXPECT_EQ(scene->get_object("none"), nullptr);
    EXPECT_THROW(scene->remove_object("none"), bool);
}

TEST_F(SceneObjects, RemovingTakesEveryOccurrenceAndKeepsTheObject) {
    auto scene = make_scene("removing", "Scene: {}\n");
    testsupport::ProbeObject x, y;
    scene->add_object("x", &x, 0);
    scene->add_object("y", &y, 0);
    scene->add_object("x", &x, 0);
    // The name may refer into the object list itself.
    EXPECT_TRUE(scene->remove_object(scene->get_object_list().front()));
    EXPECT_EQ(scene->get_object_list(), Strings{"y"});
    EXPECT_EQ(scene->get_object("x"), nullptr);
    EXPECT_FALSE(scene->get_z_levels().contains("x"));
    EXPECT_EQ(call_log_with("probe::"), (Strings{"probe::disconnect_signals true", "probe::unregister_slots"}));
    EXPECT_TRUE(scene->add_object("x", &x, 2));
    EXPECT_EQ(scene->get_object("x"), &x);
}

}  // namespace
