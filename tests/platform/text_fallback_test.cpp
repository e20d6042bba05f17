// Characters the chosen font lacks, taken from other installed faces: a line
// of six scripts laid out run by run, colour emoji, and characters no face has.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>

#include "platform/textrenderer/ttf_layout.h"
#include "services/textrenderer.h"
#include "services/video.h"
#include "tests/support/test_support.h"

namespace {

const std::string device_name = "text-fallback-test";
const std::string latin = "Hi", arabic = "\xd9\x85\xd8\xb1\xd8\xad\xd8\xa8\xd8\xa7", hebrew = "\xd7\xa9\xd7\x9c\xd7\x95\xd7\x9d",
                  chinese = "\xe4\xbd\xa0\xe5\xa5\xbd", devanagari = "\xe0\xa4\xa8\xe0\xa4\xae\xe0\xa4\xb8\xe0\xa5\x8d\xe0\xa4\xa4\xe0\xa5\x87",
                  emoji = "\xf0\x9f\x8e\x89";  // 🎉, which DejaVu Sans lacks
const std::string mixed = latin + " " + arabic + " " + hebrew + " " + chinese + " " + devanagari + " " + emoji;
constexpr std::uint32_t text_blue = 0x0000ff;

class TextFallback : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(video_create(device_name, VideoSettings{})) << video_error();
        blue.set_color(0, 0, 255, 255);
        // Fonts the line needs, each installed by scripts/setup.
        for (const auto& [family, package] : {std::pair<std::string, std::string>{"DejaVu Sans", "fonts-dejavu-core"},
                                              {"Droid Sans Fallback", "fonts-droid-fallback"},
                                              {"Lohit Devanagari", "fonts-lohit-deva"},
                                              {"Noto Color Emoji", "fonts-noto-color-emoji"}})
            ASSERT_TRUE(render("x", family)) << "font \"" << family << "\" missing: install " << package;
    }
    void TearDown() override { video_unregister(device_name); }

    Video_Image* render(const std::string& text, const std::string& font = "DejaVu Sans") {
        if (!renderer->render_text(device_name, font, text, blue, 32, "text", "scene", true)) return nullptr;
        return video_get_interface(device_name)->get_image("text", "scene");
    }
    // The run that holds the word at byte offset begin of the first line, wholly.
    const TtfRunPlace* run_of(std::size_t begin, std::size_t length) {
        for (const TtfRunPlace& run : ttf_last_layout().runs)
            if (run.line == 0 && run.begin <= begin && begin + length <= run.end) return &run;
        return nullptr;
    }

    Text_Renderer* renderer = textrenderer_get("ttf");
    VideoColor blue;
};

TEST_F(TextFallback, SixScriptsOnOneLineEachFromAFaceThatHasThem) {
    Video_Image* image = render(mixed);
    ASSERT_NE(image, nullptr) << renderer->get_error();
    EXPECT_EQ(ttf_last_layout().missing, U"") << "every character has a face";

    auto pixel = [&](int x, int y) { return image->get_pixels()[y * image->get_pitch() + x]; };
    std::map<std::string, const TtfRunPlace*> runs;
    for (const std::string* word : {&latin, &arabic, &hebrew, &chinese, &devanagari, &emoji}) {
        const TtfRunPlace* run = run_of(mixed.find(*word), word->size());
        ASSERT_NE(run, nullptr) << *word << " is split over runs";
        runs[*word] = run;
        int ink = 0;
        for (int x = std::max(0, run->left); x < std::min(run->right, image->get_width()); ++x)
            for (int y = 0; y < image->get_height(); ++y) ink += video_pixel::alpha(pixel(x, y)) > 128;
        EXPECT_GT(ink, 20) << *word << " has glyphs where its run is";
    }
    EXPECT_TRUE(runs[arabic]->right_to_left && runs[hebrew]->right_to_left);
    EXPECT_FALSE(runs[latin]->right_to_left || runs[chinese]->right_to_left);
    // The Arabic and Hebrew words read as one right-to-left stretch: the later word stands left.
    EXPECT_LE(runs[latin]->right, runs[hebrew]->left);
    EXPECT_LE(runs[hebrew]->right, runs[arabic]->left);
    EXPECT_LE(runs[arabic]->right, runs[chinese]->left);
    EXPECT_LE(runs[chinese]->right, runs[devanagari]->left);
    EXPECT_LE(runs[devanagari]->right, runs[emoji]->left);

    // The emoji keeps its own colours and is scaled to about the font size.
    int coloured = 0, top = image->get_height(), bottom = -1;
    for (int x = runs[emoji]->left; x < image->get_width(); ++x)
        for (int y = 0; y < image->get_height(); ++y) {
            const std::uint32_t p = pixel(x, y);
            if (video_pixel::alpha(p) < 128) continue;
            top = std::min(top, y), bottom = std::max(bottom, y);
            coloured += (p & 0xffffff) != text_blue && video_pixel::red(p) > 128;
        }
    EXPECT_GT(coloured, 50);
    EXPECT_GT(bottom - top, 20);
    EXPECT_LT(bottom - top, 40);

    // And the whole line as the reference picture shows it.
    std::vector<std::uint8_t> rgba;
    for (int y = 0; y < image->get_height(); ++y)
        for (int x = 0; x < image->get_width(); ++x) {
            const std::uint32_t p = pixel(x, y);
            rgba.insert(rgba.end(), {video_pixel::red(p), video_pixel::green(p), video_pixel::blue(p), video_pixel::alpha(p)});
        }
    const char* source = std::getenv("SCENE_SOURCE_DIR");
    ASSERT_NE(source, nullptr) << "run through ctest, which names the source folder";
    testsupport::TempDir folder;
    const std::string actual = folder.write_bytes("mixed.png", testsupport::encode_png(image->get_width(), image->get_height(), rgba));
    const std::string difference = testsupport::compare_pictures(actual, std::string(source) + "/tests/platform/reference/mixed_scripts.png");
    if (!difference.empty()) std::filesystem::copy_file(actual, "mixed_scripts_actual.png", std::filesystem::copy_options::overwrite_existing);
    EXPECT_EQ(difference, "") << "this run's picture: mixed_scripts_actual.png in the test's folder";
}

TEST_F(TextFallback, CharactersNoFaceHasAreTheFontsMissingGlyphBox) {
    // U+0378 and U+0379 are unassigned: no font has them, both show the one box.
    auto pixels = [&](const std::string& text) {
        Video_Image* image = render(text);
        return image ? std::vector<std::uint32_t>(image->get_pixels(), image->get_pixels() + image->get_pitch() * image->get_height())
                     : std::vector<std::uint32_t>{};
    };
    const std::vector<std::uint32_t> box = pixels("\xcd\xb8");
    EXPECT_EQ(ttf_last_layout().missing, U"\u0378");
    EXPECT_NE(std::count_if(box.begin(), box.end(), [](std::uint32_t p) { return video_pixel::alpha(p) > 0; }), 0);
    EXPECT_EQ(pixels("\xcd\xb9"), box);
    pixels("\xcd\xb9 \xcd\xb8\xcd\xb9");
    EXPECT_EQ(ttf_last_layout().missing, U"\u0379\u0378") << "each once, in order";
}

}  // namespace
