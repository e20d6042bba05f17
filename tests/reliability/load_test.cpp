// Sizes far beyond a presentation's: a scene of 100 000 objects and a
// signal with 10 000 slots still load, draw, answer and call in order.
#include <memory>
#include <string>
#include <vector>

#include "sceneengine/scenemanager/scene_object_fabric.h"
#include "sceneengine/sceneobjects/scene_object.h"
#include "services/imageloader.h"
#include "tests/support/library_fixture.h"

namespace {

using testsupport::Strings;
using testsupport::FunctionSlot;
using testsupport::mouse_event;
using testsupport::quit_event;
using testsupport::StderrCapture;

// A test-only kind as cheap as an object can be: a sprite of one device
// image that every Dot shares, drawn and hit-tested as pictures are.
class Dot : public virtual SceneObject {
public:
    bool load(Scene* scene, std::string storage_name, std::string storage_prefix, std::string scene_name,
              std::string object_name, FileIO::FileManager* files) override {
        if (!SceneObject::load(scene, storage_name, storage_prefix, scene_name, object_name, files)) return false;
        Video_Interface* video = video_get_interface(_video_name_);
        if (!video || !video->create_sprite(_object_name_, _scene_name_, "dot", "shared", true)) {
            _set_error("no shared dot image");
            return false;
        }
        return true;
    }

    void draw() override {
        Video_Interface* video = video_get_interface(_video_name_);
        Video_Sprite* sprite = video ? video->get_sprite(_object_name_, _scene_name_) : nullptr;
        if (!sprite) return;
        calculate_position();
        sprite->set_position(x, y);
        video->draw_sprite(_object_name_, _scene_name_);
    }
};

class Load : public testsupport::LibraryFixture {
protected:
    void SetUp() override {
        LibraryFixture::SetUp();
        static ObjectFabric<Dot> dots;
        SceneObjectFabric::add_fabric("Dot", &dots);
    }
};

// 100 000 one-pixel objects: the first alone at (2, 2) on the lowest
// z_level, every other one at (0, 0) above it. A click on (2, 2) is tested
// against every object before it finds the first.
TEST_F(Load, ASceneOfAHundredThousandObjectsLoadsDrawsAndAnswersClicks) {
    constexpr int count = 100000;
    const std::string dot = dir.write_bytes("dot.png", testsupport::encode_png(1, 1, {0, 200, 0, 255}));
    ASSERT_TRUE(imageloader_loadimage("png", video, dot, "shared", "dot", nullptr, true)) << imageloader_error();
    std::string scene = "Scene:\n  Objects:\n    Object0: {name: d0, type: Dot, z_level: -1}\n";
    for (int i = 1; i < count; ++i)
        scene += "    Object" + std::to_string(i) + ": {name: d" + std::to_string(i) + ", type: Dot}\n";
    scene += "Objects:\n  d0: {SceneObject: {absolute_x: 2, absolute_y: 2}}\n";
    dir.write("crowd.yaml", scene);
    ASSERT_TRUE(load_list("crowd-list.yaml", {entry("crowd", "crowd.yaml")}));

    int activations = 0;
    on_signal("crowd->activate", "crowd-clicks", [&activations](SlotArgs*) { ++activations; });
    device()->push_event(mouse_event(2, 2, 2, 0, 0, 1));
    device()->push_event(mouse_event(2, 0.5f, 0.5f, 0, 0, 1));
    device()->push_event(mouse_event(2, 2, 2, 0, 0, 1));
    device()->push_event(mouse_event(2, 30, 30, 0, 0, 1));  // empty space: no activation
    device()->push_event(quit_event());
    StderrCapture err;
    process_scene("crowd");
    EXPECT_EQ(err.text(), "");

    Scene* crowd = get_scene("crowd");
    ASSERT_TRUE(crowd->scene_loaded());
    EXPECT_EQ(crowd->get_object_list().size(), std::size_t(count));
    EXPECT_EQ(crowd->get_draw_order().size(), std::size_t(count));
    EXPECT_EQ(activations, 3);
    EXPECT_EQ(crowd->get_focused_object(), crowd->get_object("d0"));

    // One more frame, presented: both places show the shared picture.
    ASSERT_TRUE(crowd->draw());
    device()->update_screen();
    EXPECT_EQ(device()->presented_pixel(0, 0), 0x00c800ffu);
    EXPECT_EQ(device()->presented_pixel(2, 2), 0x00c800ffu);
    EXPECT_EQ(device()->presented_pixel(20, 20), 0x000000ffu);
}

// The slots of one signal are called in the order connected, each once, and
// changes made while the signal is raised take effect as the bus promises.
TEST_F(Load, TenThousandConnectionsOnOneSignal) {
    constexpr int count = 10000;
    std::vector<int> calls;
    std::vector<std::unique_ptr<FunctionSlot>> owned;
    for (int i = 0; i < count; ++i) {
        owned.push_back(std::make_unique<FunctionSlot>([&calls, i](SlotArgs*) {
            calls.push_back(i);
            return true;
        }));
        const std::string name = "wide-slot-" + std::to_string(i);
        ASSERT_TRUE(register_slot(name, owned.back().get()));
        ASSERT_TRUE(connect("wide", name));
    }
    connect("wide", "wide-slot-0");  // a pair connected twice is called once
    ASSERT_EQ(signals_connections("wide").size(), std::size_t(count));

    Signal wide("wide");
    wide.add_params(std::int64_t(7));
    wide.rise();
    ASSERT_EQ(calls.size(), std::size_t(count));
    for (int i = 0; i < count; ++i) ASSERT_EQ(calls[std::size_t(i)], i);

    // Halfway through a rise, one slot unregisters every odd slot after it
    // and connects a newcomer: the odd ones are not called from then on,
    // the newcomer only from the next rise.
    FunctionSlot newcomer([&calls](SlotArgs*) {
        calls.push_back(-1);
        return true;
    });
    register_slot("wide-newcomer", &newcomer);
    owned[count / 2] = std::make_unique<FunctionSlot>([&calls](SlotArgs*) {
        calls.push_back(count / 2);
        for (int i = count / 2 + 1; i < count; i += 2) unregister_slot("wide-slot-" + std::to_string(i));
        connect("wide", "wide-newcomer");
        return true;
    });
    register_slot("wide-slot-" + std::to_string(count / 2), owned[count / 2].get());
    calls.clear();
    wide.rise();
    // Slots 0 to count/2, then only the even ones after it.
    ASSERT_EQ(calls.size(), std::size_t(count / 2 + count / 4));
    EXPECT_EQ(calls[count / 2], count / 2);
    EXPECT_EQ(calls[count / 2 + 1], count / 2 + 2);
    EXPECT_EQ(calls.back(), count - 2);

    calls.clear();
    wide.rise();
    EXPECT_EQ(calls.size(), std::size_t(count / 2 + count / 4 + 1));
    EXPECT_EQ(calls.back(), -1);

    for (int i = 0; i < count; ++i) disconnect("wide", "wide-slot-" + std::to_string(i));
    disconnect("wide", "wide-newcomer");
    calls.clear();
    wide.rise();
    EXPECT_TRUE(calls.empty());
    EXPECT_TRUE(signals_connections("wide").empty());
}

}  // namespace
