// Loading, colour, drawing and hit testing of rendered texts.

#include <climits>

#include "sceneengine/sceneobjects/text/text.h"
#include "services/textrenderer.h"
#include "tests/sceneengine/object_fixture.h"
#include "tests/sceneengine/object_stub_device.h"

using objecttest::ObjectTest;
using objecttest::StubDevice;

namespace {

const std::string font_file = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
const std::string source_path = "..\\..\\sceneengine\\sceneobjects\\text";

class TextTest : public ObjectTest {
protected:
    void configure_title(const std::string& text_keys, const std::string& object_keys = "show: 'true'") {
        configure("Objects:\n  title:\n    SceneObject: {" + object_keys + "}\n    Text: {" + text_keys + "}\n");
    }

    // The most opaque pixel of the rendered image (name, scene).
    std::uint32_t most_opaque_pixel(const std::string& name) {
        Video_Image* image = device()->get_image(name, scene);
        if (!image) return 0;
        std::uint32_t best = 0xffffffffu;  // fully transparent
        for (int i = 0; i < image->get_width() * image->get_height(); ++i)
            if (video_pixel::alpha(image->get_pixels()[i]) > video_pixel::alpha(best)) best = image->get_pixels()[i];
        return best;
    }

    Text text;
};

TEST_F(TextTest, MissingKeysTakeTheDefaults) {
    configure("Objects: {title: {}}\n");
    testsupport::StderrCapture capture;
    load(text, "title");  // an empty text is the renderer's to accept or refuse
    EXPECT_EQ(text._get_text(), "");
    EXPECT_EQ(text._get_renderer_type(), "ttf");
    EXPECT_EQ(text._get_font(), "");
    EXPECT_EQ(text._get_font_size(), 14);
    EXPECT_EQ(text._get_color(), 0xffffffffu);
    EXPECT_EQ(text._get_x_base(), 0.5f);
    EXPECT_EQ(text._get_y_base(), 0.5f);
}

TEST_F(TextTest, SizeAndColourReadWithBaseZero) {
    configure(R"(Objects:
  hex: {Text: {text: a, font_size: '0x10', color: '0x10'}}
  octal: {Text: {text: a, font_size: '010', color: '010'}}
  suffix: {Text: {text: a, font_size: 12pt, color: 255 }}
  word: {Text: {text: a, font_size: pt, color: red}}
  huge: {Text: {text: a, font_size: '0x100000010', color: '0x100000000'}}
  negative: {Text: {text: a, font_size: '-3', color: '-256'}}
)");
    const struct {
        const char* name;
        int size;
        std::uint32_t color;
    } cases[] = {{"hex", 16, 16u},        {"octal", 8, 8u},     {"suffix", 12, 255u},
                 {"word", 0, 0u},         {"huge", 16, 0u},     {"negative", -3, 0xffffff00u}};
    testsupport::StderrCapture capture;
    for (const auto& expected : cases) {
        Text object;
        load(object, expected.name);
        EXPECT_EQ(object._get_font_size(), expected.size) << expected.name;
        EXPECT_EQ(object._get_color(), expected.color) << expected.name;
    }
}

TEST_F(TextTest, ColourBytesGoToSetColorFromTheMostSignificant) {
    configure(R"(Objects:
  green: {Text: {text: 'HH', font: ')" + font_file + R"(', font_size: 24, color: '0x00ff00ff'}}
  red_half: {Text: {text: 'HH', font: ')" + font_file + R"(', font_size: 24, color: '0xff000080'}}
  black: {Text: {text: 'HH', font: ')" + font_file + R"(', font_size: 24, color: '255'}}
)");
    testsupport::StderrCapture capture;
    Text green, red_half, black;
    ASSERT_TRUE(load(green, "green")) << green._get_error();
    ASSERT_TRUE(load(red_half, "red_half")) << red_half._get_error();
    ASSERT_TRUE(load(black, "black")) << black._get_error();

    const std::uint32_t g = most_opaque_pixel("green");
    EXPECT_EQ(video_pixel::red(g), 0);
    EXPECT_EQ(video_pixel::green(g), 255);
    EXPECT_EQ(video_pixel::blue(g), 0);
    EXPECT_EQ(video_pixel::alpha(g), 255);

    const std::uint32_t r = most_opaque_pixel("red_half");
    EXPECT_EQ(video_pixel::red(r), 255);
    EXPECT_EQ(video_pixel::green(r), 0);
    EXPECT_NEAR(video_pixel::alpha(r), 128, 1);

    const std::uint32_t b = most_opaque_pixel("black");
    EXPECT_EQ(video_pixel::red(b) | video_pixel::green(b) | video_pixel::blue(b), 0);
    EXPECT_EQ(video_pixel::alpha(b), 255);
    EXPECT_EQ(capture.text(), "");  // a Text writes no line on success
}

TEST_F(TextTest, EveryLoadFailureStoresItsTextWithTheSourcePath) {
    testsupport::StderrCapture capture;
    Text no_config;
    EXPECT_FALSE(load(no_config, "title"));
    EXPECT_EQ(no_config._get_error(), "Can't get config interface:" + config_error());

    configure(R"(Objects:
  title: {Text: {text: Hello, font: ')" + font_file + R"('}}
  bogus: {Text: {text: Hello, renderer_type: bogus}}
  no_font: {Text: {text: Hello, font: ')" + dir.str() + R"(/none.ttf'}}
)");
    Text no_device;
    no_device.set_video_name("absent");
    EXPECT_FALSE(no_device.load(nullptr, config, "Objects->title->", scene, "title", nullptr));
    EXPECT_EQ(no_device._get_error(), source_path + ": Can't get video interface:" + video_error());

    Text bogus;
    EXPECT_FALSE(load(bogus, "bogus"));
    EXPECT_EQ(bogus._get_error(), source_path + ": Can't get renderer:" + textrenderer_error());

    Text no_font;
    EXPECT_FALSE(load(no_font, "no_font"));
    Text_Renderer* ttf = textrenderer_get("ttf");
    ASSERT_NE(ttf, nullptr);
    EXPECT_EQ(no_font._get_error(), source_path + ": Can't render text:" + ttf->get_error());
    EXPECT_NE(ttf->get_error(), "");

    StubDevice stub;
    use_device(&stub);
    stub.refuse_sprites = true;
    Text refused;
    EXPECT_FALSE(load(refused, "title"));
    EXPECT_EQ(refused._get_error(), source_path + ": Can't create sprite: sprites refused");

    stub.refuse_sprites = false;
    stub.lose_sprites = true;
    Text lost;
    EXPECT_FALSE(load(lost, "title"));
    EXPECT_EQ(lost._get_error(), source_path + ": Can't get sprite: sprite lost");
}

TEST_F(TextTest, DrawLooksTheSpriteUpEveryFrame) {
    StubDevice stub;
    use_device(&stub);
    configure_title("text: Hello, font: '" + font_file + "', x_base: 0, y_base: 1",
                    "absolute_x: 40, absolute_y: 30");
    ASSERT_TRUE(load(text, "title")) << text._get_error();
    Video_Sprite* sprite = stub.get_sprite("title", scene);
    ASSERT_NE(sprite, nullptr);
    EXPECT_EQ(sprite->get_base_x(), 0.0);
    EXPECT_EQ(sprite->get_base_y(), 1.0);
    EXPECT_EQ(text._get__sprite_(), nullptr);  // a Text keeps no handle

    text.draw();
    EXPECT_EQ(stub.drawn, std::vector<std::string>{"title@" + scene});
    EXPECT_EQ(sprite->get_x(), 40.0);
    EXPECT_EQ(sprite->get_y(), 30.0);

    text._set_show(false);
    text.draw();
    EXPECT_EQ(stub.drawn.size(), 1u);

    // With its sprite gone the frame is skipped, position untouched.
    text._set_show(true);
    text._set_absolute_x(7.0f);
    stub.lose_sprites = true;
    text.draw();
    EXPECT_EQ(stub.drawn.size(), 1u);
    EXPECT_EQ(text._get_x(), 40.0f);
}

TEST_F(TextTest, HitTestUsesTheSpriteFoundByName) {
    configure_title("text: Hello, font: '" + font_file + "', font_size: 20", "absolute_x: 100, absolute_y: 100");
    ASSERT_TRUE(load(text, "title")) << text._get_error();
    text.draw();
    EXPECT_TRUE(text._is_point_in_object(100, 100));
    EXPECT_FALSE(text._is_point_in_object(400, 400));
}

}  // namespace
