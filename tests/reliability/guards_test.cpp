// Hostile input at the services' doors: configuration files built to exhaust
// the parser, picture headers that claim absurd sizes, damaged pictures and
// fonts, and snapshot places that cannot be written. Each is refused with a
// clear reason, loses nothing already loaded, and never takes the process
// down.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <atomic>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <new>
#include <sstream>
#include <string>
#include <vector>

#include "platform/video/headless_device.h"
#include "services/config.h"
#include "services/imageloader.h"
#include "services/textrenderer.h"
#include "services/video.h"
#include "tests/platform/image_test_files.h"
#include "tests/support/test_support.h"

// The largest single request made through operator new while a test watches:
// a picture refused from its header must never have asked for its pixels.
// g++ 12 at -O2 sees the replaced operator new's malloc reach the replaced
// delete's free through inlining and calls it a mismatch; they are a pair.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

namespace {
std::atomic<bool> watching_allocations{false};
std::atomic<std::size_t> largest_allocation{0};
}  // namespace

void* operator new(std::size_t size) {
    if (watching_allocations.load(std::memory_order_relaxed) && size > largest_allocation.load())
        largest_allocation.store(size);
    if (void* memory = std::malloc(size == 0 ? 1 : size)) return memory;
    throw std::bad_alloc();
}
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }

namespace {

using imagefiles::Bytes;
using testsupport::StderrCapture;
using testsupport::TempDir;

// ---------------------------------------------------------------- YAML ----

class ConfigGuards : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(config_create("guarded", "quillbox", 0));
        config = config_get_interface("guarded");
        ASSERT_NE(config, nullptr);
        ASSERT_TRUE(config->load_file(dir.write("kept.yaml", "kept: {value: 1}\n"), nullptr));
    }

    // The file is refused with a reason naming it; what was loaded before stays.
    std::string expect_refused(const std::string& name, const std::string& text) {
        const std::string file = dir.write(name, text);
        StderrCapture err;
        EXPECT_FALSE(config->load_file(file, nullptr));
        EXPECT_EQ(err.lines(), std::vector<std::string>{config_error()});
        EXPECT_EQ(config_error().rfind(file + ":", 0), 0u) << config_error();
        EXPECT_EQ(config->get_value("kept->value", ""), "1");
        EXPECT_EQ(config->get_keys(), std::vector<std::string>{"kept->value"}) << "nothing of the refused file stays";
        return config_error();
    }

    TempDir dir;
    Config_Interface* config = nullptr;
};

TEST_F(ConfigGuards, NestingOfAHundredThousandLevelsIsRefused) {
    constexpr int levels = 100000;
    const std::string sequences = std::string(levels, '[') + "1" + std::string(levels, ']') + "\n";
    EXPECT_NE(expect_refused("deep-seq.yaml", "a: " + sequences).find("nesting deeper than"), std::string::npos);

    std::string mappings;
    for (int i = 0; i < levels; ++i) mappings += "{k: ";
    mappings += "v" + std::string(levels, '}') + "\n";
    EXPECT_NE(expect_refused("deep-map.yaml", mappings).find("nesting deeper than"), std::string::npos);

    // Unclosed: the guard, not the end of the file, stops it.
    EXPECT_NE(expect_refused("deep-open.yaml", "a: " + std::string(levels, '[')).find("nesting deeper than"),
              std::string::npos);
}

TEST_F(ConfigGuards, AliasBombsAreRefused) {
    // Nine levels of ten aliases each: a thousand million values if expanded.
    std::string laughs = "l0: &l0 [lol, lol, lol, lol, lol, lol, lol, lol, lol, lol]\n";
    for (int level = 1; level <= 9; ++level) {
        const std::string below = "*l" + std::to_string(level - 1);
        laughs += "l" + std::to_string(level) + ": &l" + std::to_string(level) + " [";
        for (int i = 0; i < 10; ++i) laughs += (i ? ", " : "") + below;
        laughs += "]\n";
    }
    const std::string laughs_error = expect_refused("laughs.yaml", laughs);
    EXPECT_NE(laughs_error.find("alias expanding too far"), std::string::npos) << laughs_error;

    // Few values, each a long text: the byte cap stops it.
    std::string wide = "k: &k {v: " + std::string(4000, 'x') + "}\n";
    wide += "w0: &w0 [*k, *k, *k, *k, *k, *k, *k, *k]\n";
    for (int level = 1; level <= 8; ++level) {
        const std::string below = "*w" + std::to_string(level - 1);
        wide += "w" + std::to_string(level) + ": &w" + std::to_string(level) + " [";
        for (int i = 0; i < 8; ++i) wide += (i ? ", " : "") + below;
        wide += "]\n";
    }
    const std::string wide_error = expect_refused("wide.yaml", wide);
    EXPECT_NE(wide_error.find("alias expanding too far"), std::string::npos) << wide_error;
}

// -------------------------------------------------------------- images ----

class ImageGuards : public ::testing::Test {
protected:
    void SetUp() override {
        VideoSettings settings;
        settings.width = 16;
        settings.height = 16;
        ASSERT_TRUE(video_create(device, settings)) << video_error();
        const std::string kept = dir.write_bytes("kept.png", testsupport::encode_png(1, 1, {7, 7, 7, 255}));
        ASSERT_TRUE(imageloader_loadimage("png", device, kept, "s", "picture", nullptr, true));
    }
    void TearDown() override { video_unregister(device); }

    // Loads bytes by content under the name the kept picture has. A failure
    // must be one line naming the file, and leave the kept picture alone; a
    // success must give a picture the device holds whole. Returns the reason
    // of a failure, empty on success.
    std::string load(const Bytes& bytes, const std::string& loader = "") {
        const std::string file = dir.write_bytes("input", bytes);
        const bool loaded = loader.empty() ? imageloader_loadimage_noext(device, file, "s", "picture", nullptr, true)
                                           : imageloader_loadimage(loader, device, file, "s", "picture", nullptr, true);
        Video_Image* image = video_get_interface(device)->get_image("picture", "s");
        EXPECT_NE(image, nullptr);
        if (loaded) {
            EXPECT_TRUE(image && image->get_width() >= 1 && image->get_height() >= 1 &&
                        image->get_pitch() == image->get_width());
            // Back to the kept picture for the next load to compare with.
            const std::string kept = dir.str() + "/kept.png";
            EXPECT_TRUE(imageloader_loadimage("png", device, kept, "s", "picture", nullptr, true));
            return "";
        }
        const std::string error = imageloader_error();
        const std::string head = "Failed to load image \"" + file + "\". Reason: ";
        EXPECT_EQ(error.rfind(head, 0), 0u) << error;
        EXPECT_GT(error.size(), head.size()) << "a failure says why";
        EXPECT_EQ(error.find('\n'), std::string::npos) << error;
        EXPECT_TRUE(image && image->get_width() == 1 && image->get_pixels()[0] == video_pixel::make(7, 7, 7, 255))
            << "a failed load leaves the earlier picture alone";
        return error.substr(head.size());
    }

    // The reason of a failed load, watching the largest allocation it made.
    std::string refused_within(const Bytes& bytes, std::size_t allocation_bound, const std::string& loader = "") {
        largest_allocation = 0;
        watching_allocations = true;
        const std::string file = dir.write_bytes("claim", bytes);
        const bool loaded = loader.empty() ? imageloader_loadimage_noext(device, file, "s", "claimed", nullptr, true)
                                           : imageloader_loadimage(loader, device, file, "s", "claimed", nullptr, true);
        watching_allocations = false;
        EXPECT_FALSE(loaded);
        EXPECT_LT(largest_allocation.load(), allocation_bound) << "pixels were asked for before the size was checked";
        return imageloader_error();
    }

    // Each byte in turn with one bit flipped (a different bit per position).
    void flip_every_byte(const Bytes& original, const std::string& loader) {
        for (std::size_t at = 0; at < original.size(); ++at) {
            SCOPED_TRACE(loader + " flip at " + std::to_string(at));
            Bytes bytes = original;
            bytes[at] ^= std::uint8_t(1u << (at % 8));
            load(bytes, loader);
            load(bytes);
        }
    }

    void cut_everywhere(const Bytes& original, const std::string& loader) {
        for (std::size_t cut = 0; cut < original.size(); ++cut) {
            SCOPED_TRACE(loader + " cut at " + std::to_string(cut));
            const Bytes bytes(original.begin(), original.begin() + long(cut));
            EXPECT_NE(load(bytes, loader), "") << "a cut file is never shown";
            EXPECT_NE(load(bytes), "");
        }
    }

    static constexpr const char* device = "image-guards";
    TempDir dir;
};

Bytes bmp_claiming(std::int32_t width, std::int32_t height) {
    Bytes bmp = imagefiles::encode_bmp(1, 1, {{1, 2, 3, 255}}, 24);
    for (int i = 0; i < 4; ++i) {
        bmp[18 + std::size_t(i)] = std::uint8_t(std::uint32_t(width) >> (8 * i));
        bmp[22 + std::size_t(i)] = std::uint8_t(std::uint32_t(height) >> (8 * i));
    }
    return bmp;
}

TEST_F(ImageGuards, AMillionByAMillionIsRefusedBeforeAnyPixelIsAllocated) {
    constexpr std::size_t bound = 1u << 20;  // far below one row of such a picture
    EXPECT_NE(refused_within(imagefiles::png_claiming(1000000, 1000000), bound).find("1000000 x 1000000 pixels"),
              std::string::npos);
    EXPECT_NE(refused_within(imagefiles::png_claiming(1000000, 1000000), bound, "png").find("wider than the limit"),
              std::string::npos);
    EXPECT_NE(refused_within(bmp_claiming(1000000, 1000000), bound).find("wider than the limit"), std::string::npos);

    // Formats with 16-bit sides: their largest claim, 65535 x 65535.
    Bytes gif = imagefiles::encode_gif(1, 1, {}, {{{0}, -1}});
    gif[6] = gif[7] = gif[8] = gif[9] = 0xff;
    EXPECT_NE(refused_within(gif, bound).find("more than the limit"), std::string::npos);
    Bytes tga = imagefiles::encode_tga(1, 1, {{1, 2, 3, 255}}, 24, true);
    tga[12] = tga[13] = tga[14] = tga[15] = 0xff;
    EXPECT_NE(refused_within(tga, bound).find("more than the limit"), std::string::npos);
    Bytes jpeg = imagefiles::fixture("grey128.jpg");
    for (std::size_t i = 0; i + 8 < jpeg.size(); ++i)
        if (jpeg[i] == 0xff && jpeg[i + 1] == 0xc0) {  // start of frame: height, then width
            jpeg[i + 5] = jpeg[i + 6] = jpeg[i + 7] = jpeg[i + 8] = 0xff;
            break;
        }
    EXPECT_NE(refused_within(jpeg, bound), "");
}

// Sizes whose byte count wraps a 32-bit product, or whose sign flips.
TEST_F(ImageGuards, SizesThatOverflowAProductAreRefused) {
    // 16384 x 65536 x 4 is exactly 2^32: zero bytes in 32-bit arithmetic.
    EXPECT_NE(load(imagefiles::png_claiming(16384, 65536)).find("more than the limit"), std::string::npos);
    EXPECT_NE(load(imagefiles::png_claiming(65535, 0x7fffffff)).find("more than the limit"), std::string::npos);
    EXPECT_NE(load(imagefiles::png_claiming(0x80000000u, 1)), "");  // beyond what PNG allows
    EXPECT_NE(load(bmp_claiming(65535, INT_MAX)), "");
    EXPECT_NE(load(bmp_claiming(65535, INT_MIN)), "");  // top-down rows: the height's sign is dropped
    EXPECT_NE(load(bmp_claiming(-1, 1)), "");
    EXPECT_NE(load(bmp_claiming(1, INT_MIN)), "");

    // The device refuses such sizes on its own, before it copies a pixel.
    Video_Interface* video = video_get_interface(device);
    const std::uint32_t pixel = 0;
    EXPECT_FALSE(video->create_image("huge", "s", 65535, INT_MAX, &pixel));
    EXPECT_FALSE(video->create_image("wide", "s", INT_MAX, 1, &pixel));
    EXPECT_FALSE(video->create_image("negative", "s", -65536, -65536, &pixel));
    EXPECT_FALSE(video->create_image("wrapping", "s", 65536, 65536, &pixel));
    EXPECT_EQ(video->get_image("huge", "s"), nullptr);
}

// Found by fuzzing: 45 bytes whose GIF canvas is 1024 x 60111 around a 4 x 4
// frame. Within the general budget, it made the decoder fill about 800 MiB
// for every load; a GIF canvas has a budget of its own.
TEST_F(ImageGuards, ATinyGifClaimingAHugeCanvasIsRefused) {
    const Bytes finding = {0x47, 0x49, 0x46, 0x38, 0x39, 0x61, 0x00, 0x04, 0xcf, 0xea, 0xf0, 0x00, 0x00, 0xff, 0x35,
                           0x00, 0x00, 0x00, 0x00, 0x21, 0xf9, 0x04, 0x00, 0x00, 0x00, 0x2f, 0x00, 0x2c, 0x00, 0x00,
                           0x00, 0x00, 0x04, 0x00, 0x04, 0x00, 0x00, 0x02, 0x04, 0x84, 0x8f, 0x09, 0x05, 0x00, 0x3b};
    EXPECT_NE(load(finding).find("1024 x 60111 pixels, more than the limit of 16777216"), std::string::npos);
    EXPECT_NE(load(finding, "gif").find("more than the limit of 16777216"), std::string::npos);

    // The same frame on a canvas just inside the GIF budget still loads.
    Bytes inside = finding;
    inside[6] = 0x00, inside[7] = 0x04, inside[8] = 0x00, inside[9] = 0x04;  // 1024 x 1024
    EXPECT_EQ(load(inside), "");
}

TEST_F(ImageGuards, DamagedPngFailsAtEveryCutAndEveryFlip) {
    Bytes rgba;
    for (int i = 0; i < 6 * 5; ++i) rgba.insert(rgba.end(), {std::uint8_t(i * 9), 40, std::uint8_t(255 - i), 200});
    const Bytes png = testsupport::encode_png(6, 5, rgba);
    cut_everywhere(Bytes(png.begin(), png.end() - 4), "png");  // the last 4 bytes are IEND's checksum
    flip_every_byte(png, "png");
}

TEST_F(ImageGuards, DamagedJpegFailsAtEveryCutAndEveryFlip) {
    for (const char* name : {"red_blue_444.jpg", "red_blue_progressive.jpg"}) {
        SCOPED_TRACE(name);
        const Bytes jpeg = imagefiles::fixture(name);
        cut_everywhere(Bytes(jpeg.begin(), jpeg.end() - 2), "jpg");  // without its end marker it still decodes
        flip_every_byte(jpeg, "jpg");
    }
}

TEST_F(ImageGuards, DamagedGifFailsAtEveryCutAndEveryFlip) {
    const std::array<imagefiles::Rgba, 4> palette{{{0, 0, 0, 255}, {255, 0, 0, 255}, {0, 255, 0, 255}, {0, 0, 255, 255}}};
    std::vector<std::uint8_t> indices(7 * 4);
    for (std::size_t i = 0; i < indices.size(); ++i) indices[i] = std::uint8_t(i % 4);
    const Bytes gif = imagefiles::encode_gif(7, 4, palette, {{indices, 2}});
    // A cut after the first frame's data loses only the trailer byte; stop before it.
    cut_everywhere(Bytes(gif.begin(), gif.end() - 2), "gif");
    flip_every_byte(gif, "gif");
}

// ---------------------------------------------------------------- fonts ---

class FontGuards : public ::testing::Test {
protected:
    void SetUp() override {
        VideoSettings settings;
        settings.width = 16;
        settings.height = 16;
        ASSERT_TRUE(video_create(device, settings)) << video_error();
        renderer = textrenderer_get("ttf");
        ASSERT_NE(renderer, nullptr);
        color.set_color(255, 255, 255, 255);
        std::ifstream in(font_path, std::ios::binary);
        font.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        ASSERT_GT(font.size(), 100000u) << font_path;
    }
    void TearDown() override { video_unregister(device); }

    // Renders with the bytes as a font file of its own name. A failure says
    // why on one line; a success leaves an image.
    void render(const Bytes& bytes, const std::string& name) {
        const std::string file = dir.write_bytes(name, bytes);
        const bool rendered = renderer->render_text(device, file, "AVfi Wg\nxyz", color, 18, "text", "s", true);
        if (rendered) {
            EXPECT_NE(video_get_interface(device)->get_image("text", "s"), nullptr);
        } else {
            EXPECT_FALSE(renderer->get_error().empty());
            EXPECT_EQ(renderer->get_error().find('\n'), std::string::npos) << renderer->get_error();
        }
        std::filesystem::remove(file);
    }

    static constexpr const char* device = "font-guards";
    static constexpr const char* font_path = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
    Text_Renderer* renderer = nullptr;
    VideoColor color;
    Bytes font;
    TempDir dir;
};

// Every cut in the table directory and the first tables, then cuts spread
// over the glyph data.
TEST_F(FontGuards, TruncatedFontsFailCleanly) {
    std::vector<std::size_t> cuts;
    for (std::size_t cut = 0; cut < 1024; cut += 8) cuts.push_back(cut);
    for (std::size_t i = 1; i < 64; ++i) cuts.push_back(font.size() * i / 64);
    for (std::size_t cut : cuts) {
        SCOPED_TRACE("cut at " + std::to_string(cut));
        render(Bytes(font.begin(), font.begin() + long(cut)), "cut-" + std::to_string(cut) + ".ttf");
    }
}

TEST_F(FontGuards, FontsWithFlippedBitsFailCleanlyOrRender) {
    std::vector<std::size_t> places;
    for (std::size_t at = 0; at < 512; at += 3) places.push_back(at);  // header and table directory
    for (std::size_t i = 1; i < 48; ++i) places.push_back(font.size() * i / 48);
    for (std::size_t at : places) {
        SCOPED_TRACE("flip at " + std::to_string(at));
        Bytes bytes = font;
        bytes[at] ^= std::uint8_t(0x80u >> (at % 8));
        render(bytes, "flip-" + std::to_string(at) + ".ttf");
    }
}

// A whole font small enough to damage at every byte: the fuzzing seed of six
// glyphs, cut at every length and with one bit flipped at every byte.
TEST_F(FontGuards, ASmallFontDamagedAtEveryByte) {
    const auto path = std::filesystem::path(std::getenv("SCENE_SOURCE_DIR")) / "fuzz/corpus/font/tiny-boxes.ttf";
    std::ifstream in(path, std::ios::binary);
    const Bytes small{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    ASSERT_GT(small.size(), 500u) << path;
    render(small, "small.ttf");
    ASSERT_NE(video_get_interface(device)->get_image("text", "s"), nullptr) << renderer->get_error();
    for (std::size_t at = 0; at < small.size(); ++at) {
        SCOPED_TRACE("byte " + std::to_string(at));
        render(Bytes(small.begin(), small.begin() + long(at)), "small-cut-" + std::to_string(at) + ".ttf");
        Bytes flipped = small;
        flipped[at] ^= std::uint8_t(1u << (at % 8));
        render(flipped, "small-flip-" + std::to_string(at) + ".ttf");
    }
}

// ------------------------------------------------------------ snapshots ---

std::string sceneplay_path() {
    if (const char* built = std::getenv("SCENE_BINARY_DIR"); built && *built)
        return std::string(built) + "/player/sceneplay";
    // The suite runs from BUILD/tests/; sceneplay is BUILD/player/sceneplay.
    return (std::filesystem::read_symlink("/proc/self/exe").parent_path().parent_path() / "player" / "sceneplay")
        .string();
}

struct PlayResult {
    int status = -1;
    std::string err;
};

PlayResult run_sceneplay(const std::vector<std::string>& arguments, const TempDir& outputs) {
    std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY '" + sceneplay_path() + "'";
    for (const std::string& argument : arguments) command += " '" + argument + "'";
    command += " >/dev/null 2>'" + outputs.str() + "/err' </dev/null";
    PlayResult run;
    const int raw = std::system(command.c_str());
    if (raw != -1 && WIFEXITED(raw)) run.status = WEXITSTATUS(raw);
    std::ifstream in(outputs.str() + "/err");
    std::ostringstream text;
    text << in.rdbuf();
    run.err = text.str();
    return run;
}

TEST(SnapshotGuards, ADeviceSnapshotIntoAPlaceUnderAFileIsAnError) {
    TempDir dir;
    const std::string in_the_way = dir.write("plain-file", "x");
    VideoSettings settings;
    settings.width = 4;
    settings.height = 4;
    std::string error;
    auto device = HeadlessDevice::create(settings, error);
    ASSERT_NE(device, nullptr) << error;
    for (const std::string& path : {in_the_way + "/frame.png", in_the_way + "/deeper/frame.png", dir.str()}) {
        SCOPED_TRACE(path);
        EXPECT_FALSE(device->snapshot(path));
        EXPECT_NE(device->get_error().find(path), std::string::npos) << device->get_error();
    }
    EXPECT_TRUE(device->snapshot(dir.str() + "/fine.png")) << device->get_error();
}

// The folder is fine when the play starts, but a frame's file cannot be
// written: the play stops with a failure naming it.
TEST(SnapshotGuards, SceneplayStopsWithAFailureWhenAFrameCannotBeWritten) {
    ASSERT_TRUE(std::filesystem::exists(sceneplay_path())) << sceneplay_path();
    TempDir scenes;
    scenes.write("list.yaml", "Scenes:\n  Scene0: {name: only, file: only.yaml}\n");
    scenes.write("only.yaml", "Scene: {}\n");
    TempDir frames;
    std::filesystem::create_directories(frames.path() / "frame-000002.png");  // a folder where a frame goes
    TempDir outputs;
    const PlayResult run = run_sceneplay({scenes.str() + "/list.yaml", "only", "--headless", "--frames", "5",
                                   "--snapshot", frames.str(), "--snapshot-every", "1"},
                                  outputs);
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_NE(run.err.find("sceneplay: cannot write snapshot \"" + frames.str() + "/frame-000002.png\""),
              std::string::npos)
        << run.err;
    EXPECT_TRUE(std::filesystem::exists(frames.path() / "frame-000001.png")) << "frames before it were kept";
}

}  // namespace
