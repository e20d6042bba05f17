#include "services/textrenderer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "platform/textrenderer/ttf_layout.h"
#include "services/video.h"
#include "tests/support/test_support.h"

namespace {

using testsupport::image_pixels;
using testsupport::read_file;

const std::string dejavu = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

VideoColor colour(int r, int g, int b, int a) {
    VideoColor c;
    c.set_color(r, g, b, a);
    return c;
}

bool inked(const std::vector<std::uint32_t>& pixels) {
    return std::any_of(pixels.begin(), pixels.end(), [](std::uint32_t p) { return video_pixel::alpha(p) > 0; });
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

TEST_F(TextRendering, CoverageBecomesAlphaInTheTextColourOnLinesOfOneHeight) {
    // A half-transparent colour scales the coverage: full coverage gives alpha 128.
    int strongest = 0, partial = 0;
    for (std::uint32_t p : image_pixels(render("Hello", 32, dejavu, colour(255, 0, 0, 128)))) {
        EXPECT_EQ(p & 0xffffff, 0xff0000u) << "every pixel carries the text colour";
        strongest = std::max(strongest, int(video_pixel::alpha(p)));
        partial += video_pixel::alpha(p) > 0 && video_pixel::alpha(p) < 128;
    }
    EXPECT_TRUE(strongest == 128 && partial > 0) << "edges are anti-aliased";

    // Lines are one line height apart; an empty text is a transparent 1 x 1 image.
    const int line_height = render("A")->get_height();
    EXPECT_GE(line_height, 32) << "DejaVu Sans at 32 pixels: ascender plus descender";
    EXPECT_EQ(render("A\nVery long line")->get_width(), render("Very long line")->get_width()) << "the widest line";
    EXPECT_EQ(image_pixels(render("A\r\nB")), image_pixels(render("A\nB"))) << "a CR before a line end goes";
    EXPECT_EQ(render("\n\n")->get_height(), 3 * line_height);
    const Video_Image* empty = render("");
    EXPECT_TRUE(empty->get_width() == 1 && empty->get_height() == line_height && !inked(image_pixels(empty)));
}

TEST_F(TextRendering, ShapingKernsAndMakesLigatures) {
    EXPECT_LT(render("AV", 64)->get_width(), render("A", 64)->get_width() + render("V", 64)->get_width());
    // DejaVu Sans draws "fi" with its ligature glyph, the one of U+FB01.
    EXPECT_EQ(image_pixels(render("fi", 40)), image_pixels(render("\xef\xac\x81", 40)));
}

TEST_F(TextRendering, SizesFacesAndCachesEachGiveTheirOwnGlyphs) {
    const std::vector<std::uint32_t> small = image_pixels(render("Hg", 20));
    const int small_width = render("Hg", 20)->get_width(), small_height = render("Hg", 20)->get_height();
    const Video_Image* large = render("Hg", 40);
    EXPECT_TRUE(large->get_height() > small_height * 18 / 10 && large->get_width() > small_width * 18 / 10);
    for (int size = 21; size < 61; ++size) ASSERT_NE(render("Hg", size), nullptr) << size;  // more faces than kept
    EXPECT_EQ(image_pixels(render("Hg", 20)), small) << "what the cache lets go renders the same again";
    const int regular = render("Hello", 32, "DejaVu Sans")->get_width();
    EXPECT_TRUE(render("Hello", 32, "DejaVu Sans:bold")->get_width() > regular && render("Hello", 32, ""));

    // A font file is read once: cut on disk after opening, it still gives new glyphs and sizes.
    testsupport::TempDir folder;
    const std::string copy = folder.write("copy.ttf", read_file(dejavu));
    ASSERT_NE(render("AB", 30, copy), nullptr) << renderer->get_error();
    folder.write("copy.ttf", "cut");
    EXPECT_TRUE(render("CDxyz", 30, copy) && render("CDxyz", 31, copy)) << renderer->get_error();
}

// Characters the chosen font lacks come from other installed faces (each installed by scripts/setup): Latin, Arabic,
// Hebrew, Chinese, Devanagari and an emoji, which DejaVu Sans lacks.
const std::string mixed = "Hi \xd9\x85\xd8\xb1\xd8\xad\xd8\xa8\xd8\xa7 \xd7\xa9\xd7\x9c\xd7\x95\xd7\x9d "
                          "\xe4\xbd\xa0\xe5\xa5\xbd "
                          "\xe0\xa4\xa8\xe0\xa4\xae\xe0\xa4\xb8\xe0\xa5\x8d\xe0\xa4\xa4\xe0\xa5\x87 \xf0\x9f\x8e\x89";

TEST_F(TextRendering, SixScriptsOnOneLineEachFromAFaceThatHasThem) {
    for (const std::string family : {"Droid Sans Fallback", "Lohit Devanagari", "Noto Color Emoji"})
        ASSERT_NE(render("x", 32, family), nullptr) << "font \"" << family << "\" missing: see scripts/setup";
    const Video_Image* image = render(mixed, 32, "DejaVu Sans", colour(0, 0, 255, 255));
    ASSERT_NE(image, nullptr) << renderer->get_error();
    EXPECT_EQ(ttf_last_layout().missing, U"") << "every character has a face";
    // The whole line as the reference picture shows it: each word in its own face, the Arabic and Hebrew
    // words as one right-to-left stretch, the emoji in its own colours at about the font size.
    std::vector<std::uint8_t> rgba;
    for (std::uint32_t p : image_pixels(image))
        rgba.insert(rgba.end(),
                    {video_pixel::red(p), video_pixel::green(p), video_pixel::blue(p), video_pixel::alpha(p)});
    testsupport::TempDir folder;
    const std::string actual =
        folder.write_bytes("mixed.png", testsupport::encode_png(image->get_width(), image->get_height(), rgba));
    const std::string difference = testsupport::compare_pictures(
        actual, std::string(SCENE_TEST_SOURCE_DIR) + "/tests/platform/reference/mixed_scripts.png");
    if (!difference.empty())
        std::filesystem::copy_file(actual, "mixed_scripts_actual.png",
                                   std::filesystem::copy_options::overwrite_existing);
    EXPECT_EQ(difference, "") << "this run's picture: mixed_scripts_actual.png in the test's folder";
}

TEST_F(TextRendering, CharactersNoFaceHasAreTheFontsMissingGlyphBox) {
    // U+0378 and U+0379 are unassigned: no font has them, both show the one box.
    const std::vector<std::uint32_t> box = image_pixels(render("\xcd\xb8", 32, "DejaVu Sans"));
    EXPECT_EQ(ttf_last_layout().missing, U"\u0378");
    EXPECT_TRUE(inked(box));
    EXPECT_EQ(image_pixels(render("\xcd\xb9", 32, "DejaVu Sans")), box);
}

// Each failure leaves get_error naming the problem on one line and the image in place.
class TextRenderingErrors : public TextRendering {};

TEST_F(TextRenderingErrors, FontsSizesTextsAndDevicesThatCannotBeUsed) {
    ASSERT_NE(render("kept", 16), nullptr);
    const std::vector<std::uint32_t> kept = image_pixels(render("kept", 16));
    testsupport::TempDir folder;
    const std::string fake = folder.write("fake.ttf", "not a font at all");
    const struct {
        std::string text;
        int size;
        std::string font, needle, device = "text-renderer-test";
    } cases[] = {
        {"x", 16, "/no/such/folder/font.ttf", "Font \"/no/such/folder/font.ttf\" not found"},
        {"x", 16, "No Such Family Qq:bold", "no installed font family \"No Such Family Qq\""},
        // Installed families asked for in a style they lack, naming the face fontconfig offered.
        {"x", 16, "DejaVu Sans Mono:light", "closest installed face is \"DejaVu Sans Mono Book\""},
        {"x", 16, "DejaVu Math TeX Gyre:italic", "which is upright, not italic"},
        {"x", 16, fake, "Font \"" + fake + "\" cannot be opened"},
        {"x", 0, dejavu, "font size 0 is out of range"},
        {"x", 1001, dejavu, "font size 1001 is out of range"},
        {"ab\xff", 16, dejavu, "invalid UTF-8 at byte offset 2 (0xff)"},
        {"\x80", 16, dejavu, "continuation byte without a lead byte"},
        {"caf\xc3", 16, dejavu, "cut off by the end"},
        {"\xe2\x82x", 16, dejavu, "cut off before its end"},
        {"\xe0\x80\xaf", 16, dejavu, "overlong"},
        {"\xf0\x80\x80\xaf", 16, dejavu, "overlong"},
        {"\xed\xa0\x80", 16, dejavu, "surrogate"},
        {"\xed\xbf\xbf", 16, dejavu, "surrogate"},
        {"\xf4\x90\x80\x80", 16, dejavu, "above U+10FFFF"},
        {"x", 16, dejavu, "no video device \"no-such-device\"", "no-such-device"},
        {std::string(200, 'W'), 1000, dejavu, "above the limit"},
        {std::string(60, 'W'), 1000, dejavu, "above the limit"},  // narrow enough, but too many pixels
        {std::string(2 * 1024 * 1024, 'a'), 16, dejavu, "longer than the limit"},
    };
    for (const auto& c : cases) {
        EXPECT_FALSE(
            renderer->render_text(c.device, c.font, c.text, colour(255, 255, 255, 255), c.size, "text", "scene", true));
        const std::string error = renderer->get_error();
        EXPECT_NE(error.find(c.needle), std::string::npos) << error;
        EXPECT_EQ(error.find('\n'), std::string::npos) << error;
        EXPECT_EQ(image_pixels(video_get_interface(device_name)->get_image("text", "scene")), kept) << c.needle;
    }
    // The last error stays until the next failure, even across a success.
    ASSERT_NE(render("fine", 16, dejavu, colour(255, 255, 255, 255), "other"), nullptr);
    EXPECT_NE(renderer->get_error().find("longer than the limit"), std::string::npos);
    EXPECT_EQ(textrenderer_get("TTF"), nullptr);
    EXPECT_NE(textrenderer_error().find("unknown text renderer \"TTF\""), std::string::npos);
}

// Damaged font files either render or fail with one line saying why.
class FontGuards : public TextRendering {
protected:
    // Renders with the bytes as a font file of its own name.
    void render_damaged(const std::string& bytes, const std::string& name) {
        const std::string file = folder.write(name, bytes);
        if (!render("AVfi Wg\nxyz", 18, file)) {
            EXPECT_FALSE(renderer->get_error().empty());
            EXPECT_EQ(renderer->get_error().find('\n'), std::string::npos) << renderer->get_error();
        }
        std::filesystem::remove(file);
    }
    testsupport::TempDir folder;
};

// A whole font small enough to damage at every byte (the fuzzing seed of six glyphs) is cut at every length and has one
// bit flipped at every byte; DejaVu Sans has every cut and flip in its table directory and first tables, then a sample
// spread over the glyph data.
TEST_F(FontGuards, TruncatedOrFlippedFontsFailCleanlyOrRender) {
    const std::string small = read_file(SCENE_TEST_SOURCE_DIR "/fuzz/corpus/font/tiny-boxes.ttf");
    const std::string font = read_file(dejavu);
    ASSERT_TRUE(small.size() > 500u && font.size() > 100000u);
    ASSERT_NE(render("AVfi Wg\nxyz", 18, folder.write("small.ttf", small)), nullptr) << renderer->get_error();
    for (std::size_t i = 0; i < small.size() + 192; ++i) {
        const bool whole = i < small.size();
        const std::string& bytes = whole ? small : font;
        const std::size_t at = whole ? i : i - small.size() < 128 ? (i - small.size()) * 8
                                                                   : font.size() * (i - small.size() - 128) / 64;
        SCOPED_TRACE((whole ? "small font, byte " : "DejaVu Sans, byte ") + std::to_string(at));
        render_damaged(bytes.substr(0, at), "cut-" + std::to_string(i) + ".ttf");
        std::string flipped = bytes;
        flipped[at] = char(flipped[at] ^ (1u << (at % 8)));
        render_damaged(flipped, "flip-" + std::to_string(i) + ".ttf");
    }
}

}  // namespace
