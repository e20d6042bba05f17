#include "services/textrenderer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <filesystem>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "services/video.h"
#include "tests/support/test_support.h"

namespace {

const std::string dejavu = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

VideoColor colour(int r, int g, int b, int a) {
    VideoColor c;
    c.set_color(r, g, b, a);
    return c;
}

// Where a rendered image has ink (any alpha above zero).
struct Ink {
    int left = INT_MAX, right = -1, top = INT_MAX, bottom = -1;
    bool any() const { return right >= 0; }
};

Ink ink_of(const Video_Image& image, int first_row = 0, int end_row = INT_MAX) {
    Ink ink;
    for (int y = first_row; y < std::min(end_row, image.get_height()); ++y)
        for (int x = 0; x < image.get_width(); ++x)
            if (video_pixel::alpha(image.get_pixels()[y * image.get_pitch() + x]) > 0) {
                ink.left = std::min(ink.left, x), ink.right = std::max(ink.right, x);
                ink.top = std::min(ink.top, y), ink.bottom = std::max(ink.bottom, y);
            }
    return ink;
}

std::vector<std::uint32_t> pixels_of(const Video_Image& image) {
    return {image.get_pixels(), image.get_pixels() + std::size_t(image.get_width()) * image.get_height()};
}

class TextRendering : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(video_create(device_name, VideoSettings{})) << video_error();
        ASSERT_NE(renderer, nullptr) << textrenderer_error();
    }
    void TearDown() override { video_unregister(device_name); }

    // Renders into the image (name, "scene") and returns it; null on failure.
    Video_Image* render(const std::string& text, int size = 32, const std::string& font = dejavu,
                        VideoColor color = colour(255, 255, 255, 255), const std::string& name = "text") {
        if (!renderer->render_text(device_name, font, text, color, size, name, "scene", true)) return nullptr;
        return video_get_interface(device_name)->get_image(name, "scene");
    }

    const std::string device_name = "text-renderer-test";
    Text_Renderer* renderer = textrenderer_get("ttf");
};

TEST(TextRendererRegistry, OneTtfRendererForTheProcessAndNoOtherType) {
    Text_Renderer* first = textrenderer_get("ttf");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(textrenderer_get("ttf"), first);
    for (const std::string type : {"TTF", "bitmap", ""}) {
        EXPECT_EQ(textrenderer_get(type), nullptr);
        EXPECT_NE(textrenderer_error().find("unknown text renderer \"" + type + "\""), std::string::npos);
    }
}

TEST_F(TextRendering, CoverageBecomesAlphaInTheTextColour) {
    Video_Image* image = render("Hello", 32, dejavu, colour(255, 0, 0, 255));
    ASSERT_NE(image, nullptr) << renderer->get_error();
    int opaque = 0, clear = 0, partial = 0;
    for (std::uint32_t p : pixels_of(*image)) {
        EXPECT_EQ(p & 0xffffff, 0xff0000u) << "every pixel carries the text colour";
        const int alpha = video_pixel::alpha(p);
        (alpha == 255 ? opaque : alpha == 0 ? clear : partial)++;
    }
    EXPECT_GT(opaque, 20);
    EXPECT_GT(clear, 20);
    EXPECT_GT(partial, 0) << "edges are anti-aliased";

    // A half-transparent colour scales the coverage: full coverage gives alpha 128.
    image = render("Hello", 32, dejavu, colour(0, 0, 255, 128));
    ASSERT_NE(image, nullptr) << renderer->get_error();
    int strongest = 0;
    for (std::uint32_t p : pixels_of(*image)) strongest = std::max(strongest, int(video_pixel::alpha(p)));
    EXPECT_EQ(strongest, 128);
}

TEST_F(TextRendering, ImageIsTheTightInkWidthAndOneLineHeightPerLine) {
    Video_Image* one = render("A");
    ASSERT_NE(one, nullptr) << renderer->get_error();
    const int line_height = one->get_height();
    EXPECT_GE(line_height, 32) << "DejaVu Sans at 32 pixels: ascender plus descender";
    const Ink ink = ink_of(*one);
    EXPECT_EQ(ink.left, 0);
    EXPECT_EQ(ink.right, one->get_width() - 1);

    Video_Image* two = render("A\nVery long line");
    ASSERT_NE(two, nullptr) << renderer->get_error();
    EXPECT_EQ(two->get_height(), 2 * line_height);
    const Ink first = ink_of(*two, 0, line_height), second = ink_of(*two, line_height);
    ASSERT_TRUE(first.any() && second.any());
    EXPECT_LT(first.right, second.right) << "the width comes from the widest line";
    EXPECT_EQ(second.right, two->get_width() - 1);
    EXPECT_GT(second.top, first.bottom) << "the second line lies below the first";

    const std::vector<std::uint32_t> unix_lines = pixels_of(*render("A\nB"));
    EXPECT_EQ(pixels_of(*render("A\r\nB")), unix_lines) << "a carriage return before a line end is dropped";
}

TEST_F(TextRendering, EmptyTextAndEmptyLinesGiveTransparentImages) {
    const int line_height = render("A")->get_height();
    for (const auto& [text, lines] : {std::pair<std::string, int>{"", 1}, {"\n", 2}, {"   ", 1}, {"\n\n", 3}}) {
        Video_Image* image = render(text);
        ASSERT_NE(image, nullptr) << renderer->get_error();
        EXPECT_EQ(image->get_width(), 1);
        EXPECT_EQ(image->get_height(), lines * line_height);
        EXPECT_FALSE(ink_of(*image).any());
    }
    Video_Image* blank_middle = render("A\n\nA");
    ASSERT_EQ(blank_middle->get_height(), 3 * line_height);
    EXPECT_FALSE(ink_of(*blank_middle, line_height, 2 * line_height).any());
}

TEST_F(TextRendering, KerningBringsAAndVCloser) {
    const int pair = render("AV", 64)->get_width();
    const int apart = render("A", 64)->get_width() + render("V", 64)->get_width();
    EXPECT_LT(pair, apart);
}

TEST_F(TextRendering, LigaturesReplaceTheirLetters) {
    // DejaVu Sans draws "fi" with its ligature glyph, the one of U+FB01.
    const std::vector<std::uint32_t> ligature = pixels_of(*render("\xef\xac\x81", 40));
    EXPECT_EQ(pixels_of(*render("fi", 40)), ligature);
}

TEST_F(TextRendering, SizesAndFontsEachRenderTheirOwnGlyphs) {
    const Video_Image* small = render("Hg", 20, dejavu, colour(255, 255, 255, 255), "small");
    const std::vector<std::uint32_t> small_pixels = pixels_of(*small);
    const int small_height = small->get_height();
    const Video_Image* large = render("Hg", 40, dejavu, colour(255, 255, 255, 255), "large");
    EXPECT_GT(large->get_height(), small_height * 18 / 10);
    EXPECT_GT(large->get_width(), small->get_width() * 18 / 10);
    // Warm caches give the same pixels as the first, cold render.
    EXPECT_EQ(pixels_of(*render("Hg", 20, dejavu, colour(255, 255, 255, 255), "small")), small_pixels);

    const Video_Image* regular = render("Hello", 32, "DejaVu Sans", colour(255, 255, 255, 255), "regular");
    const Video_Image* bold = render("Hello", 32, "DejaVu Sans:bold", colour(255, 255, 255, 255), "bold");
    ASSERT_TRUE(regular && bold) << renderer->get_error();
    EXPECT_GT(bold->get_width(), regular->get_width());
    EXPECT_NE(render("Hello", 32, ""), nullptr) << "the default face: " << renderer->get_error();
}

TEST_F(TextRendering, FontFileCutOnDiskAfterOpeningIsHarmless) {
    testsupport::TempDir folder;
    std::ifstream in(dejavu, std::ios::binary);
    const std::string font_bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::string copy = folder.write("copy.ttf", font_bytes);
    ASSERT_NE(render("AB", 30, copy), nullptr) << renderer->get_error();
    folder.write("copy.ttf", "cut");
    // New glyphs and a new size still come from the font as it was read.
    EXPECT_NE(render("CDxyz", 30, copy), nullptr) << renderer->get_error();
    EXPECT_NE(render("CDxyz", 31, copy), nullptr) << renderer->get_error();
}

TEST_F(TextRendering, RendersTheSameAfterTheCacheLetsFacesGo) {
    const std::vector<std::uint32_t> first = pixels_of(*render("Hg", 20));
    for (int size = 21; size < 61; ++size) ASSERT_NE(render("Hg", size), nullptr) << size;  // more faces than kept
    EXPECT_EQ(pixels_of(*render("Hg", 20)), first);
}

TEST_F(TextRendering, MultiByteTextShapes) {
    Video_Image* image = render("\xc3\xa9t\xc3\xa9 \xe2\x82\xac 5 e\xcc\x81");  // été € 5 e + combining acute
    ASSERT_NE(image, nullptr) << renderer->get_error();
    EXPECT_TRUE(ink_of(*image).any());
}

// Each failure leaves get_error naming the problem and the image in place.
class TextRenderingErrors : public TextRendering {
protected:
    void SetUp() override {
        TextRendering::SetUp();
        ASSERT_NE(render("kept", 16), nullptr);
        kept = pixels_of(*video_get_interface(device_name)->get_image("text", "scene"));
    }
    void expect_failure(const std::string& text, int size, const std::string& font, const std::string& needle,
                        const std::string& device = "") {
        EXPECT_FALSE(renderer->render_text(device.empty() ? device_name : device, font, text,
                                           colour(255, 255, 255, 255), size, "text", "scene", true));
        const std::string error = renderer->get_error();
        EXPECT_NE(error.find(needle), std::string::npos) << error;
        EXPECT_EQ(error.find('\n'), std::string::npos) << error;
        EXPECT_EQ(pixels_of(*video_get_interface(device_name)->get_image("text", "scene")), kept);
    }
    std::vector<std::uint32_t> kept;
};

TEST_F(TextRenderingErrors, FontsThatCannotBeFoundOrOpened) {
    expect_failure("x", 16, "/no/such/folder/font.ttf", "Font \"/no/such/folder/font.ttf\" not found");
    expect_failure("x", 16, "No Such Family Qq", "no installed font family \"No Such Family Qq\"");
    expect_failure("x", 16, "No Such Family Qq:bold", "No Such Family Qq");
    // Installed families asked for in a style they lack are refused, naming the face fontconfig offered.
    expect_failure("x", 16, "DejaVu Sans Mono:light", "closest installed face is \"DejaVu Sans Mono Book\"");
    expect_failure("x", 16, "DejaVu Sans Mono:thin", "which is heavier than asked");
    expect_failure("x", 16, "DejaVu Math TeX Gyre:bold", "which is lighter than asked");
    expect_failure("x", 16, "DejaVu Math TeX Gyre:italic", "which is upright, not italic");
    testsupport::TempDir folder;
    const std::string fake = folder.write("fake.ttf", "not a font at all");
    expect_failure("x", 16, fake, "Font \"" + fake + "\"");
    expect_failure("x", 16, fake, "cannot be opened");
}

TEST_F(TextRenderingErrors, SizesOutOfRange) {
    for (int size : {0, -3, 1001, INT_MAX, INT_MIN})
        expect_failure("x", size, dejavu, "font size " + std::to_string(size) + " is out of range");
}

TEST_F(TextRenderingErrors, InvalidUtf8NamesTheByte) {
    expect_failure("ab\xff", 16, dejavu, "invalid UTF-8 at byte offset 2 (0xff)");
    expect_failure("\x80", 16, dejavu, "continuation byte without a lead byte");
    expect_failure("caf\xc3", 16, dejavu, "cut off by the end");
    expect_failure("\xe2\x82x", 16, dejavu, "cut off before its end");
    expect_failure("\xc0\xaf", 16, dejavu, "offset 0 (0xc0)");
    expect_failure("\xe0\x80\xaf", 16, dejavu, "overlong");
    expect_failure("\xf0\x80\x80\xaf", 16, dejavu, "overlong");
    expect_failure("\xed\xa0\x80", 16, dejavu, "surrogate");
    expect_failure("\xed\xbf\xbf", 16, dejavu, "surrogate");
    expect_failure("\xf4\x90\x80\x80", 16, dejavu, "above U+10FFFF");
}

TEST_F(TextRenderingErrors, MissingDeviceAndOversizedText) {
    expect_failure("x", 16, dejavu, "no video device \"no-such-device\"", "no-such-device");
    expect_failure(std::string(200, 'W'), 1000, dejavu, "above the limit");
    expect_failure(std::string(60, 'W'), 1000, dejavu, "above the limit");  // narrow enough, but too many pixels
    expect_failure(std::string(2 * 1024 * 1024, 'a'), 16, dejavu, "longer than the limit");
    // The last error stays until the next failure, even across a success.
    ASSERT_NE(render("fine", 16, dejavu, colour(255, 255, 255, 255), "other"), nullptr);
    EXPECT_NE(renderer->get_error().find("longer than the limit"), std::string::npos);
}

// Damaged font files either render or fail with one line saying why.
class FontGuards : public TextRendering {
protected:
    void SetUp() override {
        TextRendering::SetUp();
        font = read(dejavu);
        ASSERT_GT(font.size(), 100000u);
    }
    static std::string read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    // Renders with the bytes as a font file of its own name.
    void render_damaged(const std::string& bytes, const std::string& name) {
        const std::string file = folder.write(name, bytes);
        if (!render("AVfi Wg\nxyz", 18, file)) {
            EXPECT_FALSE(renderer->get_error().empty());
            EXPECT_EQ(renderer->get_error().find('\n'), std::string::npos) << renderer->get_error();
        }
        std::filesystem::remove(file);
    }
    std::string font;
    testsupport::TempDir folder;
};

// Every cut and flip in the table directory and the first tables, then a
// sample spread over the glyph data.
TEST_F(FontGuards, TruncatedOrFlippedFontsFailCleanlyOrRender) {
    for (std::size_t i = 0; i < 192; ++i) {
        const std::size_t at = i < 128 ? i * 8 : font.size() * (i - 128) / 64;
        SCOPED_TRACE("byte " + std::to_string(at));
        render_damaged(font.substr(0, at), "cut-" + std::to_string(at) + ".ttf");
        std::string flipped = font;
        flipped[at] = char(flipped[at] ^ (0x80 >> (at % 8)));
        render_damaged(flipped, "flip-" + std::to_string(at) + ".ttf");
    }
}

// A whole font small enough to damage at every byte: the fuzzing seed of six
// glyphs, cut at every length and with one bit flipped at every byte.
TEST_F(FontGuards, ASmallFontDamagedAtEveryByte) {
    const std::string small = read(std::string(std::getenv("SCENE_SOURCE_DIR")) + "/fuzz/corpus/font/tiny-boxes.ttf");
    ASSERT_GT(small.size(), 500u);
    ASSERT_NE(render("AVfi Wg\nxyz", 18, folder.write("small.ttf", small)), nullptr) << renderer->get_error();
    for (std::size_t at = 0; at < small.size(); ++at) {
        SCOPED_TRACE("byte " + std::to_string(at));
        render_damaged(small.substr(0, at), "small-cut-" + std::to_string(at) + ".ttf");
        std::string flipped = small;
        flipped[at] = char(flipped[at] ^ (1u << (at % 8)));
        render_damaged(flipped, "small-flip-" + std::to_string(at) + ".ttf");
    }
}

}  // namespace
