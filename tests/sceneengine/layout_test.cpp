// Placing objects absolutely or against another object's sprite.

#include "sceneengine/scenemanager/scene/scene.h"
#include "sceneengine/sceneobjects/image.h"
#include "tests/sceneengine/object_fixture.h"

using objecttest::ObjectTest;
using objecttest::PlainObject;
using objecttest::solid_png;

namespace {

class LayoutTest : public ObjectTest {
protected:
    void SetUp() override {
        ObjectTest::SetUp();
        owner.set_name(scene);
        owner.set_video_name(video);
    }

    // The anchor is a 20 x 40 picture with its base point at the given
    // fractions, drawn at (x, y).
    void place_anchor(double base_x, double base_y, float x, float y) {
        const std::string file = dir.write_bytes("anchor.png", solid_png(20, 40, 0x00ff00ffu));
        configure("Objects:\n  anchor:\n    SceneObject: {absolute_x: " + std::to_string(x) +
                  ", absolute_y: " + std::to_string(y) + "}\n    Image: {image_file: '" + file +
                  "', x_base: " + std::to_string(base_x) + ", y_base: " + std::to_string(base_y) +
                  "}\n  follower: {SceneObject: {coord_type: link, link_object: anchor}}\n");
        testsupport::StderrCapture capture;
        ASSERT_TRUE(load(anchor, "anchor", &owner)) << anchor._get_error();
        owner.add_object("anchor", &anchor, 0);
        anchor.draw();
        ASSERT_TRUE(load(follower, "follower", &owner));
    }

    // Places the follower with the given alignments and offsets.
    bool place(const std::string& v_align, const std::string& h_align, float v_offset = 0, float h_offset = 0) {
        follower._set_link_v_align(v_align);
        follower._set_link_h_align(h_align);
        follower._set_link_v_offset(v_offset);
        follower._set_link_h_offset(h_offset);
        return follower.calculate_position();
    }

    Scene owner;
    Image anchor;
    PlainObject follower;
};

TEST_F(LayoutTest, AbsoluteWithoutParentIsTheConfiguredPoint) {
    configure("Objects: {box: {SceneObject: {absolute_x: 12.25, absolute_y: -3.5}}}\n");
    PlainObject box;
    ASSERT_TRUE(load(box, "box", &owner));
    ASSERT_TRUE(box.calculate_position());
    EXPECT_EQ(box._get_x(), 12.25f);
    EXPECT_EQ(box._get_y(), -3.5f);

    PlainObject sceneless;  // never loaded into a scene
    sceneless._set_coord_type("absolute");
    sceneless._set_absolute_x(4.0f);
    EXPECT_TRUE(sceneless.calculate_position());
    EXPECT_EQ(sceneless._get_x(), 4.0f);
}

TEST_F(LayoutTest, AbsoluteIsScaledIntoTheAreaOfAParentScene) {
    Scene parent;
    parent.set_width(800);
    parent.set_height(600);
    owner.set_parent(&parent);
    owner.set_width(400);
    owner.set_height(300);
    owner.set_x(100);
    owner.set_y(50);
    configure("Objects: {box: {SceneObject: {absolute_x: 200, absolute_y: 300}}}\n");
    PlainObject box;
    ASSERT_TRUE(load(box, "box", &owner));
    ASSERT_TRUE(box.calculate_position());
    EXPECT_EQ(box._get_x(), 200.0f);
    EXPECT_EQ(box._get_y(), 200.0f);

    // A parent without a size cannot scale anything: the position stays.
    parent.set_width(0);
    parent.set_name("outer");
    box._set_absolute_x(1.0f);
    EXPECT_FALSE(box.calculate_position());
    EXPECT_EQ(box._get_error(), "Can't place object \"box\": parent scene \"outer\" has size 0x600");
    EXPECT_EQ(box._get_x(), 200.0f);
    EXPECT_EQ(box._get_y(), 200.0f);
    parent.set_width(800);
    parent.set_height(0);
    EXPECT_FALSE(box.calculate_position());
    EXPECT_EQ(box._get_x(), 200.0f);
}

TEST_F(LayoutTest, LinkAlignsAgainstTheLinkedRectangle) {
    place_anchor(0, 0, 10, 20);  // rectangle (10, 20)-(30, 60)
    ASSERT_TRUE(place("center", "center"));
    EXPECT_EQ(follower._get_x(), 20.0f);
    EXPECT_EQ(follower._get_y(), 40.0f);
    ASSERT_TRUE(place("center", "center", -0.5f, 1.0f));  // offsets in the linked object's size
    EXPECT_EQ(follower._get_x(), 40.0f);
    EXPECT_EQ(follower._get_y(), 20.0f);
    ASSERT_TRUE(place("top", "left"));
    EXPECT_EQ(follower._get_y(), 60.0f);
    EXPECT_EQ(follower._get_x(), 10.0f);
    ASSERT_TRUE(place("bottom", "right"));
    EXPECT_EQ(follower._get_y(), 20.0f);
    EXPECT_EQ(follower._get_x(), 30.0f);
}

TEST_F(LayoutTest, BasePointIsTheLinkedSpritesAnchorAndStaysPut) {
    place_anchor(0.25, 0.75, 100, 100);  // rectangle (95, 70)-(115, 110)
    ASSERT_TRUE(place("base_point", "base_point"));
    EXPECT_EQ(follower._get_x(), 100.0f);
    EXPECT_EQ(follower._get_y(), 100.0f);
    for (int frame = 0; frame < 5; ++frame) {
        anchor.draw();
        ASSERT_TRUE(place("base_point", "base_point", 0.5f, 0.5f));
        EXPECT_EQ(follower._get_x(), 110.0f);
        EXPECT_EQ(follower._get_y(), 120.0f);
    }
}

TEST_F(LayoutTest, FailuresKeepThePositionAndNameTheCause) {
    place_anchor(0, 0, 10, 20);
    ASSERT_TRUE(place("center", "center"));

    follower._set_link_object("nothing");
    EXPECT_FALSE(follower.calculate_position());
    EXPECT_EQ(follower._get_error(), "Unable to fine object:\"nothing\"");
    follower._set_link_object("anchor");

    EXPECT_FALSE(place("middle", "left"));
    EXPECT_EQ(follower._get_error(), "Unknown v_align kind: \"middle\"");
    EXPECT_EQ(follower._get_x(), 20.0f);
    EXPECT_EQ(follower._get_y(), 40.0f);

    // The vertical alignment is applied before the horizontal one fails.
    EXPECT_FALSE(place("top", "Left"));
    EXPECT_EQ(follower._get_error(), "Unknown h_align kind: \"Left\"");
    EXPECT_EQ(follower._get_y(), 60.0f);
    EXPECT_EQ(follower._get_x(), 20.0f);

    follower._set_coord_type("relative");
    EXPECT_FALSE(follower.calculate_position());
    EXPECT_EQ(follower._get_error(), "Unknown coord kind: relative");
    EXPECT_EQ(follower._get_x(), 20.0f);
}

TEST_F(LayoutTest, LinkedObjectWithoutSpriteActsAsAnEmptyRectangleAtTheOrigin) {
    configure("Objects: {ghost: {}, follower: {SceneObject: {coord_type: link, link_object: ghost, "
              "link_h_offset: 3}}}\n");
    PlainObject ghost;
    ASSERT_TRUE(load(ghost, "ghost", &owner));
    owner.add_object("ghost", &ghost, 0);
    ASSERT_TRUE(load(follower, "follower", &owner));
    ASSERT_TRUE(follower.calculate_position());
    EXPECT_EQ(follower._get_x(), 0.0f);
    EXPECT_EQ(follower._get_y(), 0.0f);

    PlainObject sceneless;  // a link needs a scene to look in
    sceneless._set_coord_type("link");
    sceneless._set_link_object("ghost");
    EXPECT_FALSE(sceneless.calculate_position());
    EXPECT_EQ(sceneless._get_error(), "Unable to fine object:\"ghost\"");
}

}  // namespace
