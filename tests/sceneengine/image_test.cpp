// Loading, drawing and hit testing of pictures on the headless device.

#include <cmath>

#include "sceneengine/sceneobjects/image.h"
#include "services/imageloader.h"
#include "tests/sceneengine/object_fixture.h"
#include "tests/sceneengine/object_stub_device.h"

using objecttest::disc_png;
using objecttest::ObjectTest;
using objecttest::solid_png;
using objecttest::StubDevice;

namespace {

class ImageTest : public ObjectTest {
protected:
    // Configures one Image "logo" with the given extra keys under "Image->".
    void configure_logo(const std::string& image_keys, const std::string& object_keys = "show: 'true'") {
        configure("Objects:\n  logo:\n    SceneObject: {" + object_keys + "}\n    Image: {" + image_keys + "}\n");
    }
    std::string red_square() { return dir.write_bytes("red.png", solid_png(8, 8, 0xff0000ffu)); }

    Image image;
};

TEST_F(ImageTest, LoadMakesImageAndSpriteAndWritesOneLine) {
    configure_logo("image_file: '" + red_square() + "'");
    testsupport::StderrCapture capture;
    ASSERT_TRUE(load(image, "logo")) << image._get_error();
    EXPECT_EQ(capture.text(), "logo loaded\n");
    EXPECT_EQ(image._get_loader(), "");
    ASSERT_NE(image._get__sprite_(), nullptr);
    EXPECT_EQ(image._get__sprite_(), device()->get_sprite("logo", scene));
    EXPECT_EQ(image._get__sprite_()->get_base_x(), 0.5);
    EXPECT_EQ(image._get__sprite_()->get_base_y(), 0.5);
    Video_Image* picture = device()->get_image("logo", scene);
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->get_width(), 8);
}

TEST_F(ImageTest, NamedLoaderAndBasePoint) {
    configure_logo("image_file: '" + red_square() + "', loader: png, x_base: abc, y_base: 0.25");
    testsupport::StderrCapture capture;
    ASSERT_TRUE(load(image, "logo")) << image._get_error();
    EXPECT_EQ(image._get_loader(), "png");
    EXPECT_EQ(image._get_x_base(), 0.0f);
    EXPECT_EQ(image._get__sprite_()->get_base_x(), 0.0);
    EXPECT_EQ(image._get__sprite_()->get_base_y(), 0.25);
}

TEST_F(ImageTest, EveryLoadFailureStoresItsTextAndWritesNothing) {
    const std::string file = red_square();
    testsupport::StderrCapture capture;

    Image no_config;
    EXPECT_FALSE(load(no_config, "logo"));
    EXPECT_EQ(no_config._get_error(), "Can't get config interface:" + config_error());

    configure(R"(Objects:
  empty: {Image: {image_file: ''}}
  missing: {Image: {image_file: ')" + dir.str() + R"(/none.png'}}
  unknown_loader: {Image: {image_file: ')" + file + R"(', loader: nonsense}}
  wrong_loader: {Image: {image_file: ')" + file + R"(', loader: jpg}}
  no_device: {Image: {image_file: ')" + file + R"('}}
)");
    Image empty;
    EXPECT_FALSE(load(empty, "empty"));
    EXPECT_EQ(empty._get_error(), "Can't load image:" + imageloader_error());
    EXPECT_EQ(device()->get_image("empty", scene), nullptr);

    for (const char* name : {"missing", "unknown_loader", "wrong_loader"}) {
        Image failing;
        EXPECT_FALSE(load(failing, name)) << name;
        EXPECT_EQ(failing._get_error(), "Can't load image:" + imageloader_error()) << name;
        EXPECT_NE(imageloader_error(), "") << name;
        EXPECT_EQ(failing._get__sprite_(), nullptr);
    }

    Image no_device;
    no_device.set_video_name("absent");
    EXPECT_FALSE(no_device.load(nullptr, config, "Objects->no_device->", scene, "no_device", nullptr));
    EXPECT_EQ(no_device._get_error(), "Can't get video interface:" + video_error());
    EXPECT_EQ(capture.text(), "");
}

TEST_F(ImageTest, SpriteFailuresNameTheDevicesReason) {
    StubDevice stub;
    use_device(&stub);
    configure_logo("image_file: '" + red_square() + "'");
    testsupport::StderrCapture capture;

    stub.refuse_sprites = true;
    EXPECT_FALSE(load(image, "logo"));
    EXPECT_EQ(image._get_error(), "Can't create sprite: sprites refused");

    stub.refuse_sprites = false;
    stub.lose_sprites = true;
    Image lost;
    EXPECT_FALSE(load(lost, "logo"));
    EXPECT_EQ(lost._get_error(), "Can't get sprite: sprite lost");
    EXPECT_EQ(capture.text(), "");
}

TEST_F(ImageTest, DrawPlacesTheSpriteAtTheComputedPosition) {
    StubDevice stub;
    use_device(&stub);
    configure_logo("image_file: '" + red_square() + "'", "absolute_x: 40, absolute_y: 30");
    testsupport::StderrCapture capture;
    ASSERT_TRUE(load(image, "logo"));
    image.draw();
    ASSERT_EQ(stub.drawn, std::vector<std::string>{"logo@" + scene});
    EXPECT_EQ(image._get__sprite_()->get_x(), 40.0);
    EXPECT_EQ(image._get__sprite_()->get_y(), 30.0);

    image._set_show(false);
    image._set_absolute_x(1.0f);
    image.draw();
    EXPECT_EQ(stub.drawn.size(), 1u);
    EXPECT_EQ(image._get__sprite_()->get_x(), 40.0);
}

TEST_F(ImageTest, UnloadedImageNeitherDrawsNorHits) {
    // A host may add an Image to a scene without loading it.
    Image unloaded;
    unloaded.set_video_name(video);
    unloaded._set_show(true);
    unloaded.draw();
    EXPECT_FALSE(unloaded._is_point_in_object(0, 0));
}

TEST_F(ImageTest, ReplacedDeviceIsAskedForTheSpriteAgain) {
    StubDevice first, second, third;
    use_device(&first);
    configure_logo("image_file: '" + red_square() + "'", "absolute_x: 40, absolute_y: 30");
    testsupport::StderrCapture capture;
    ASSERT_TRUE(load(image, "logo"));
    Video_Sprite* old_sprite = image._get__sprite_();

    // The host re-creates its device, and the picture with it.
    const std::uint32_t pixel = video_pixel::make(255, 0, 0, 255);
    second.create_image("logo", scene, 1, 1, &pixel);
    second.create_sprite("logo", scene, "logo", scene, true);
    use_device(&second);
    image.draw();
    EXPECT_EQ(image._get__sprite_(), second.get_sprite("logo", scene));
    EXPECT_EQ(second.drawn.size(), 1u);
    EXPECT_EQ(second.get_sprite("logo", scene)->get_x(), 40.0);
    EXPECT_TRUE(first.drawn.empty());
    EXPECT_EQ(old_sprite->get_x(), 0.0);  // the old handle is left alone

    // A device without the sprite: nothing is drawn or hit.
    use_device(&third);
    image.draw();
    EXPECT_EQ(image._get__sprite_(), nullptr);
    EXPECT_TRUE(third.drawn.empty());
    EXPECT_FALSE(image._is_point_in_object(40, 30));
}

class ImageHitTest : public ImageTest {
protected:
    // A 20 x 20 disc centred on (100, 100): its rectangle is (90, 90)-(110, 110).
    void load_button(bool alpha) {
        const std::string file = dir.write_bytes("button.png", disc_png(20, 0x2080c0ffu));
        configure_logo("image_file: '" + file + "'", std::string("absolute_x: 100, absolute_y: 100, ") +
                                                         "require_alpha_collision: '" + (alpha ? "true" : "false") +
                                                         "'");
        testsupport::StderrCapture capture;
        ASSERT_TRUE(load(image, "logo")) << image._get_error();
        image.draw();
    }
};

TEST_F(ImageHitTest, RectangleEdgesBelongToTheObject) {
    load_button(false);
    EXPECT_TRUE(image._is_point_in_object(90, 90));  // a transparent corner, but no alpha test
    EXPECT_TRUE(image._is_point_in_object(110, 110));
    EXPECT_TRUE(image._is_point_in_object(100, 100));
    EXPECT_FALSE(image._is_point_in_object(89.99f, 100));
    EXPECT_FALSE(image._is_point_in_object(100, 110.01f));
    EXPECT_FALSE(image._is_point_in_object(NAN, 100));
    EXPECT_FALSE(image._is_point_in_object(100, NAN));
}

TEST_F(ImageHitTest, RoundButtonCornerMissesMiddleHitsEdgeIsSafe) {
    load_button(true);
    EXPECT_FALSE(image._is_point_in_object(90.5f, 90.5f));
    EXPECT_FALSE(image._is_point_in_object(109.5f, 90.5f));
    EXPECT_TRUE(image._is_point_in_object(100, 100));
    // On the far edges the last column or row is read, never one past it:
    // the middle of the right edge is opaque, the bottom-right corner is not.
    EXPECT_TRUE(image._is_point_in_object(110, 100));
    EXPECT_TRUE(image._is_point_in_object(100, 110));
    EXPECT_FALSE(image._is_point_in_object(110, 110));
    EXPECT_FALSE(image._is_point_in_object(NAN, NAN));

    // The lookup by name gives the same answers as the kept sprite.
    EXPECT_FALSE(image.SceneObject::_is_point_in_object(90.5f, 90.5f));
    EXPECT_TRUE(image.SceneObject::_is_point_in_object(100, 100));
    EXPECT_TRUE(image.SceneObject::_is_point_in_object(110, 100));
}

TEST_F(ImageHitTest, HalfOpaqueIsTheThreshold) {
    // Left pixel alpha 128 (hit), right pixel alpha 127 (miss).
    const std::vector<std::uint8_t> pixels = {255, 0, 0, 128, 255, 0, 0, 127};
    const std::string file = dir.write_bytes("half.png", testsupport::encode_png(2, 1, pixels));
    configure_logo("image_file: '" + file + "', x_base: 0, y_base: 0", "require_alpha_collision: 'true'");
    testsupport::StderrCapture capture;
    ASSERT_TRUE(load(image, "logo"));
    image.draw();
    EXPECT_TRUE(image._is_point_in_object(0.5f, 0.5f));
    EXPECT_FALSE(image._is_point_in_object(1.5f, 0.5f));
}

TEST_F(ImageHitTest, ZeroSizedSpriteNeverPassesTheAlphaTest) {
    StubDevice stub;
    stub.sprite_width = 0;
    use_device(&stub);
    const std::string file = dir.write_bytes("button.png", disc_png(20, 0x2080c0ffu));
    configure_logo("image_file: '" + file + "', x_base: 0, y_base: 0", "absolute_x: 5, absolute_y: 5");
    testsupport::StderrCapture capture;
    ASSERT_TRUE(load(image, "logo"));
    image.draw();
    EXPECT_TRUE(image._is_point_in_object(5, 10));  // on the degenerate rectangle
    image._set_require_alpha_collision(true);
    EXPECT_FALSE(image._is_point_in_object(5, 10));
    EXPECT_FALSE(image.SceneObject::_is_point_in_object(5, 10));
}

}  // namespace
