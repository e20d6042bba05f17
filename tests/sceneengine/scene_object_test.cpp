// Loading of the keys every scene object shares, its names and its slot table.

#include <cmath>

#include "tests/sceneengine/object_fixture.h"

using objecttest::ObjectTest;
using objecttest::PlainObject;

namespace {

class SceneObjectLoad : public ObjectTest {};

TEST_F(SceneObjectLoad, EntryWithoutKeysTakesTheDefaults) {
    configure("Objects: {other: {SceneObject: {show: 'false'}}}\n");
    PlainObject object;
    ASSERT_TRUE(load(object, "button")) << object._get_error();
    EXPECT_EQ(object._get_coord_type(), "absolute");
    EXPECT_EQ(object._get_absolute_x(), 0.0f);
    EXPECT_EQ(object._get_absolute_y(), 0.0f);
    EXPECT_EQ(object._get_link_object(), "");
    EXPECT_EQ(object._get_link_v_align(), "center");
    EXPECT_EQ(object._get_link_h_align(), "center");
    EXPECT_EQ(object._get_link_v_offset(), 0.0f);
    EXPECT_EQ(object._get_link_h_offset(), 0.0f);
    EXPECT_TRUE(object._get_show());
    EXPECT_FALSE(object._get_require_alpha_collision());
    EXPECT_EQ(object._get_name(), video);  // the video name, not the object's
}

TEST_F(SceneObjectLoad, ReadsEveryCommonKeyUnderItsPrefix) {
    configure(R"(Objects:
  button:
    SceneObject:
      coord_type: link
      absolute_x: 12.5px
      absolute_y: px12
      link_object: title
      link_v_align: middle
      link_h_align: base_point
      link_v_offset: -0.5
      link_h_offset: 1e300
      require_alpha_collision: 'true'
  upper: {SceneObject: {show: 'TRUE', require_alpha_collision: 'True'}}
  digit: {SceneObject: {show: '1'}}
  padded: {SceneObject: {show: 'true '}}
)");
    PlainObject object, upper, digit, padded;
    ASSERT_TRUE(load(object, "button"));
    // Kinds are stored as written: an unknown one fails only when placing.
    EXPECT_EQ(object._get_coord_type(), "link");
    EXPECT_EQ(object._get_absolute_x(), 12.5f);
    EXPECT_EQ(object._get_absolute_y(), 0.0f);
    EXPECT_EQ(object._get_link_object(), "title");
    EXPECT_EQ(object._get_link_v_align(), "middle");
    EXPECT_EQ(object._get_link_h_align(), "base_point");
    EXPECT_EQ(object._get_link_v_offset(), -0.5f);
    EXPECT_EQ(object._get_link_h_offset(), INFINITY);  // beyond float: infinity, not garbage
    EXPECT_TRUE(object._get_require_alpha_collision());

    // Switches are on only for the exact word "true".
    ASSERT_TRUE(load(upper, "upper") && load(digit, "digit") && load(padded, "padded"));
    EXPECT_FALSE(upper._get_show());
    EXPECT_FALSE(upper._get_require_alpha_collision());
    EXPECT_FALSE(digit._get_show());
    EXPECT_FALSE(padded._get_show());
}

TEST_F(SceneObjectLoad, SlotTableNamesTheSevenBuiltInSlotsInOrder) {
    configure("Objects: {}\n");
    scene = "menu";
    PlainObject object;
    ASSERT_TRUE(load(object, "button"));
    const auto slots = object._get__slot_map_();
    const std::vector<std::string> expected = {
        "menu->button->_on_activate",  "menu->button->_on_deactivate",    "menu->button->_on_key_press",
        "menu->button->_on_key_release", "menu->button->_on_character", "menu->button->_on_mouse_release",
        "menu->button->_on_scene_reinit",
    };
    ASSERT_EQ(slots.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(slots[i].first, expected[i]);
        EXPECT_TRUE(signals_is_registered(expected[i])) << expected[i];
    }
    // Each entry calls its own operation on this object, through the virtual table.
    EXPECT_TRUE(slots[2].second->call(nullptr));
    EXPECT_TRUE(slots[0].second->call(nullptr));
    EXPECT_EQ(object.key_presses, 1);
    EXPECT_EQ(object.activations, 1);
    // The reinit slot makes the on-load connections again and answers false.
    EXPECT_FALSE(slots[6].second->call(nullptr));
}

TEST_F(SceneObjectLoad, MissingConfigurationFailsBeforeReadingAnything) {
    PlainObject object;
    testsupport::StderrCapture capture;
    EXPECT_FALSE(load(object, "button"));
    EXPECT_EQ(object._get_error(), "Can't get config interface:" + config_error());
    EXPECT_NE(config_error(), "");
    EXPECT_TRUE(object._get__slot_map_().empty());
    EXPECT_TRUE(object._get__signal_connections_().empty());
    // The names are kept so that the scene can report which object failed.
    EXPECT_EQ(object._get__object_name_(), "button");
    EXPECT_EQ(capture.text(), "");  // the scene writes the error, not the object
}

TEST_F(SceneObjectLoad, ObjectWithoutSpriteHasNoAreaAndIsNeverHit) {
    configure("Objects: {}\n");
    PlainObject object;
    ASSERT_TRUE(load(object, "ghost"));
    VideoRect rect{1, 2, 3, 4};
    object._get_active_area_rect(&rect);
    EXPECT_EQ(rect.x1, 0);
    EXPECT_EQ(rect.y2, 0);
    VideoPoint base{5, 6};
    object.get_base_point(&base);
    EXPECT_EQ(base.x, 0);
    EXPECT_EQ(base.y, 0);
    EXPECT_FALSE(object._is_point_in_object(0, 0));

    object.set_video_name("no such device");
    EXPECT_FALSE(object._is_point_in_object(0, 0));
}

}  // namespace
