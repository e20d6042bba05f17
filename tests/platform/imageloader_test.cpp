// The image loader: every format decoded into device pixels, and bad
// pictures, bad names and bad places each refused with one line naming the
// file, leaving what the device already holds untouched.
#include "services/imageloader.h"

#include <gtest/gtest.h>

#include <atomic>
#include <climits>
#include <cstdlib>
#include <new>

#include "services/fileio.h"
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
using imagefiles::Rgba;

std::uint32_t device_pixel(Rgba p) { return video_pixel::make(p.r, p.g, p.b, p.a); }
const std::uint32_t kept_pixel = video_pixel::make(7, 7, 7, 255);

// A headless device holding a 1 x 1 picture "picture" that every failing
// load must leave alone.
class ImageLoading : public ::testing::Test {
protected:
    void SetUp() override {
        VideoSettings settings;
        settings.width = 16;
        settings.height = 16;
        ASSERT_TRUE(video_create(device, settings)) << video_error();
        keep();
    }
    void TearDown() override { video_unregister(device); }

    void keep() {
        const std::string kept = folder.write_bytes("kept.png", testsupport::encode_png(1, 1, {7, 7, 7, 255}));
        ASSERT_TRUE(imageloader_loadimage("png", device, kept, "s", "picture", nullptr, true));
    }

    std::string write(const std::string& name, const Bytes& bytes) { return folder.write_bytes(name, bytes); }

    bool load_file(const std::string& loader, const std::string& path, FileIO::FileManager* files = nullptr,
                   const std::string& video = device) {
        return loader.empty() ? imageloader_loadimage_noext(video, path, "s", "picture", files, true)
                              : imageloader_loadimage(loader, video, path, "s", "picture", files, true);
    }

    Video_Image* image() { return video_get_interface(device)->get_image("picture", "s"); }

    // Loads the file; a failure must be one line naming it and leave the kept
    // picture alone, a success must give a whole picture. Returns the reason
    // of a failure, empty on success.
    std::string load_path(const std::string& path, const std::string& loader = "", FileIO::FileManager* files = nullptr,
                          const std::string& video = device) {
        if (load_file(loader, path, files, video)) {
            EXPECT_TRUE(image() && image()->get_width() >= 1 && image()->get_pitch() == image()->get_width());
            keep();
            return "";
        }
        const std::string error = imageloader_error();
        const std::string head = "Failed to load image \"" + path + "\". Reason: ";
        EXPECT_EQ(error.rfind(head, 0), 0u) << error;
        EXPECT_GT(error.size(), head.size()) << "a failure says why";
        EXPECT_EQ(error.find('\n'), std::string::npos) << error;
        EXPECT_TRUE(image() && image()->get_width() == 1 && image()->get_pixels()[0] == kept_pixel)
            << "a failed load leaves the earlier picture alone";
        return error.substr(std::min(error.size(), head.size()));
    }
    std::string load(const Bytes& bytes, const std::string& loader = "") {
        return load_path(write("input", bytes), loader);
    }

    // Every pixel of the loaded picture against the expected ones, row by row.
    void expect_pixels(const std::string& loader, const Bytes& bytes, const std::vector<Rgba>& expected, int width) {
        ASSERT_TRUE(load_file(loader, write("picture", bytes))) << imageloader_error();
        ASSERT_EQ(image()->get_width(), width);
        ASSERT_EQ(std::size_t(image()->get_height() * width), expected.size());
        for (std::size_t i = 0; i < expected.size(); ++i)
            EXPECT_EQ(image()->get_pixels()[i], device_pixel(expected[i])) << "pixel " << i;
    }
    // A pixel of a lossy picture, each channel within tolerance.
    void expect_near(int x, int y, Rgba expected, int tolerance) {
        const std::uint32_t p = image()->get_pixels()[y * image()->get_pitch() + x];
        EXPECT_NEAR(video_pixel::red(p), expected.r, tolerance) << x << "," << y;
        EXPECT_NEAR(video_pixel::green(p), expected.g, tolerance) << x << "," << y;
        EXPECT_NEAR(video_pixel::blue(p), expected.b, tolerance) << x << "," << y;
        EXPECT_EQ(video_pixel::alpha(p), expected.a) << x << "," << y;
    }

    static constexpr const char* device = "image-loading";
    testsupport::TempDir folder;
};

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST_F(ImageLoading, PngOfEveryColourTypeAndTransparencyIsInverseAlpha) {
    const std::vector<Rgba> pixels{{255, 0, 0, 255}, {0, 0, 0, 0}, {0, 255, 0, 128}, {0, 0, 255, 127}};
    Bytes rgba;
    for (const Rgba& p : pixels) rgba.insert(rgba.end(), {p.r, p.g, p.b, p.a});
    expect_pixels("png", testsupport::encode_png(2, 2, rgba), pixels, 2);
    // The hit rule ((pixel & mask) < 255) counts a pixel at least half opaque.
    auto hit = [&](int index) { return (image()->get_pixels()[index] & image()->get_alpha_mask()) < 255; };
    EXPECT_EQ(image()->get_pixels()[1] >> 24, 255u) << "a fully transparent pixel has transparency 255";
    EXPECT_TRUE(hit(0) && !hit(1) && hit(2) && !hit(3));

    imagefiles::PngLayout palette{3, 1, SPNG_COLOR_TYPE_INDEXED, 2, false, {0b00011011}, {}, -1};
    palette.palette = {{200, 0, 0, 255}, {0, 200, 0, 0}, {0, 0, 200, 100}, {9, 9, 9, 255}};
    expect_pixels("png", imagefiles::encode_png(palette), {{200, 0, 0, 255}, {0, 200, 0, 0}, {0, 0, 200, 100}}, 3);
    expect_pixels("png", imagefiles::encode_png({2, 1, SPNG_COLOR_TYPE_GRAYSCALE, 8, false, {0x40, 0x41}, {}, 0x40}),
                  {{0x40, 0x40, 0x40, 0}, {0x41, 0x41, 0x41, 255}}, 2);
    expect_pixels("png",
                  imagefiles::encode_png({1, 1, SPNG_COLOR_TYPE_TRUECOLOR_ALPHA, 16, false,
                                          {0x11, 0x11, 0x22, 0x22, 0x33, 0x33, 0x7f, 0x7f}, {}, -1}),
                  {{0x11, 0x22, 0x33, 0x7f}}, 1);
    imagefiles::PngLayout interlaced;
    interlaced.width = interlaced.height = 11;  // more than one Adam7 block, with partial ones
    interlaced.interlaced = true;
    std::vector<Rgba> expected;
    for (std::uint8_t y = 0; y < 11; ++y)
        for (std::uint8_t x = 0; x < 11; ++x) {
            expected.push_back({std::uint8_t(x * 20), std::uint8_t(y * 20), std::uint8_t(x * y), std::uint8_t(255 - x)});
            interlaced.samples.insert(interlaced.samples.end(), {expected.back().r, expected.back().g,
                                                                 expected.back().b, expected.back().a});
        }
    expect_pixels("png", imagefiles::encode_png(interlaced), expected, 11);
}

TEST_F(ImageLoading, JpegColourGreyProgressiveAndCmyk) {
    for (const char* name : {"red_blue_444.jpg", "red_blue_progressive.jpg"}) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(load_file("jpeg", write(name, imagefiles::fixture(name)))) << imageloader_error();
        ASSERT_EQ(image()->get_width(), 16);
        ASSERT_EQ(image()->get_height(), 8);
        expect_near(2, 3, {255, 0, 0, 255}, 6);
        expect_near(13, 5, {0, 0, 255, 255}, 6);
    }
    ASSERT_TRUE(load_file("jpg", write("grey.jpg", imagefiles::fixture("grey128.jpg")))) << imageloader_error();
    expect_near(4, 4, {128, 128, 128, 255}, 2);
    ASSERT_TRUE(load_file("jpg", write("cmyk.jpg", imagefiles::fixture("cyan_cmyk.jpg")))) << imageloader_error();
    expect_near(4, 4, {0, 255, 255, 255}, 4);
}

TEST_F(ImageLoading, BmpTgaAndGifRowsInEveryOrder) {
    const std::vector<Rgba> rgb{{255, 0, 0, 255}, {0, 255, 0, 255}, {0, 0, 255, 255},
                                {1, 2, 3, 255},   {4, 5, 6, 255},   {7, 8, 9, 255}};
    expect_pixels("bmp", imagefiles::encode_bmp(3, 2, rgb, 24), rgb, 3);  // rows padded, bottom up
    const std::vector<Rgba> alpha{{255, 0, 0, 255}, {0, 255, 0, 0}, {0, 0, 255, 128}, {1, 2, 3, 255}};
    expect_pixels("bmp", imagefiles::encode_bmp(2, 2, alpha, 32), alpha, 2);
    expect_pixels("tga", imagefiles::encode_tga(2, 2, alpha, 32, true), alpha, 2);
    expect_pixels("tga", imagefiles::encode_tga(3, 2, rgb, 24, false), rgb, 3);
    expect_pixels("tga", imagefiles::rle_tga_2x2(),
                  {{255, 0, 0, 255}, {0, 0, 255, 255}, {255, 0, 0, 255}, {255, 0, 0, 255}}, 2);
    // A GIF shows its first frame, with its transparent index.
    const std::array<Rgba, 4> palette{{{255, 0, 0, 255}, {0, 255, 0, 255}, {0, 0, 255, 255}, {50, 50, 50, 255}}};
    const Rgba clear{0, 0, 0, 0};
    expect_pixels("gif", imagefiles::encode_gif(3, 2, palette, {{{0, 1, 2, 3, 3, 0}, 3}, {{1, 1, 1, 1, 1, 1}, -1}}),
                  {palette[0], palette[1], palette[2], clear, clear, palette[0]}, 3);
}

TEST_F(ImageLoading, ByContentIgnoresTheExtensionAndReadsBelowTheFileManagersRoot) {
    const std::vector<Rgba> one{{10, 20, 30, 255}};
    const std::array<Rgba, 4> palette{{{9, 8, 7, 255}, {0, 0, 0, 255}, {0, 0, 0, 255}, {0, 0, 0, 255}}};
    expect_pixels("", testsupport::encode_png(1, 1, {10, 20, 30, 255}), one, 1);
    expect_pixels("", imagefiles::encode_bmp(1, 1, one, 24), one, 1);
    expect_pixels("", imagefiles::encode_tga(1, 1, one, 24, false), one, 1);
    expect_pixels("", imagefiles::encode_gif(1, 1, palette, {{{0}, -1}}), {palette[0]}, 1);
    ASSERT_TRUE(load_file("", write("jpeg-named.png", imagefiles::fixture("grey128.jpg")))) << imageloader_error();
    expect_near(0, 0, {128, 128, 128, 255}, 2);

    write("pictures/dot.png", testsupport::encode_png(1, 1, {1, 2, 3, 255}));
    FileIO::FileManager files(folder.str());
    ASSERT_TRUE(load_file("png", "pictures/dot.png", &files)) << imageloader_error();
    EXPECT_EQ(image()->get_pixels()[0], device_pixel({1, 2, 3, 255}));
}

TEST_F(ImageLoading, BadNamesPlacesAndFormatsAreRefused) {
    const std::string png = write("real.png", testsupport::encode_png(2, 2, Bytes(16, 200)));
    for (const std::string loader : {"PNG", "webp", " png", "jpg "})
        EXPECT_TRUE(contains(load_path(png, loader), "unknown image loader \"" + loader + "\""));
    EXPECT_TRUE(contains(load_path(folder.str() + "/missing.png", "png"), "no such file"));
    EXPECT_TRUE(contains(load_path(folder.str() + "/missing.png"), "no such file"));
    EXPECT_TRUE(contains(load_path(folder.str(), "png"), "not a regular file"));
    EXPECT_TRUE(contains(load_path(png, "png", nullptr, "no-such-device"), "no video device \"no-such-device\""));

    testsupport::TempDir outside;
    outside.write_bytes("secret.png", testsupport::encode_png(1, 1, {1, 1, 1, 255}));
    FileIO::FileManager files(folder.str());
    const std::string escape = "../" + outside.path().filename().string() + "/secret.png";
    EXPECT_TRUE(contains(load_path(escape, "png", &files), escape));
    EXPECT_NE(load_path(outside.str() + "/secret.png", "", &files), "") << "absolute path";

    const std::string notes = write("notes.png", {'n', 'o', 't', 'e', 's', '\n'});
    EXPECT_TRUE(contains(load_path(notes, "png"), "PNG decoder"));
    EXPECT_TRUE(contains(load_path(notes), "unrecognised image format"));
    EXPECT_TRUE(contains(load_path(png, "bmp"), "not a BMP file"));
    EXPECT_TRUE(contains(load_path(png, "gif"), "not a GIF file"));
    EXPECT_TRUE(contains(load_path(png, "tga"), "not a TGA file"));
    EXPECT_TRUE(contains(load_path(png, "jpg"), "JPEG decoder"));
}

class ImageGuards : public ImageLoading {
protected:
    // The reason of a failed load, watching the largest allocation it made.
    std::string refused_within(const Bytes& bytes, std::size_t allocation_bound, const std::string& loader = "") {
        const std::string file = write("claim", bytes);
        largest_allocation = 0;
        watching_allocations = true;
        const bool loaded = load_file(loader, file);
        watching_allocations = false;
        EXPECT_FALSE(loaded);
        EXPECT_LT(largest_allocation.load(), allocation_bound) << "pixels were asked for before the size was checked";
        return imageloader_error();
    }
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
    EXPECT_TRUE(contains(refused_within(imagefiles::png_claiming(1000000, 1000000), bound), "1000000 x 1000000 pixels"));
    EXPECT_TRUE(contains(refused_within(imagefiles::png_claiming(100000, 100000), bound, "png"),
                         "100000 x 100000 pixels, wider than the limit of 65535"));
    EXPECT_TRUE(contains(refused_within(bmp_claiming(1000000, 1000000), bound), "wider than the limit"));
    EXPECT_TRUE(contains(refused_within(imagefiles::png_claiming(65535, 65535), bound), "more than the limit of 67108864"));

    // Formats with 16-bit sides: their largest claim, 65535 x 65535.
    Bytes gif = imagefiles::encode_gif(1, 1, {}, {{{0}, -1}});
    gif[6] = gif[7] = gif[8] = gif[9] = 0xff;
    EXPECT_TRUE(contains(refused_within(gif, bound), "more than the limit"));
    Bytes tga = imagefiles::encode_tga(1, 1, {{1, 2, 3, 255}}, 24, true);
    tga[12] = tga[13] = tga[14] = tga[15] = 0xff;
    EXPECT_TRUE(contains(refused_within(tga, bound), "more than the limit"));
    Bytes jpeg = imagefiles::fixture("grey128.jpg");
    for (std::size_t i = 0; i + 8 < jpeg.size(); ++i)
        if (jpeg[i] == 0xff && jpeg[i + 1] == 0xc0) {  // start of frame: height, then width
            jpeg[i + 5] = jpeg[i + 7] = 0xea;  // 60000 x 60000: inside the decoder's own limits
            jpeg[i + 6] = jpeg[i + 8] = 0x60;
            break;
        }
    EXPECT_TRUE(contains(refused_within(jpeg, bound), "60000 x 60000 pixels, more than the limit"));
}

// Sizes whose byte count wraps a 32-bit product, or whose sign flips.
TEST_F(ImageGuards, SizesThatOverflowAProductAreRefused) {
    // 16384 x 65536 x 4 is exactly 2^32: zero bytes in 32-bit arithmetic.
    EXPECT_TRUE(contains(load(imagefiles::png_claiming(16384, 65536)), "more than the limit"));
    EXPECT_TRUE(contains(load(imagefiles::png_claiming(65535, 0x7fffffff)), "more than the limit"));
    EXPECT_NE(load(imagefiles::png_claiming(0x80000000u, 1)), "");  // beyond what PNG allows
    for (auto [width, height] : {std::pair{65535, INT_MAX}, {65535, INT_MIN}, {-1, 1}, {1, INT_MIN}, {1, 0}})
        EXPECT_NE(load(bmp_claiming(width, height)), "") << width << " x " << height;
}

// Found by fuzzing: 45 bytes whose GIF canvas is 1024 x 60111 around a 4 x 4
// frame. Within the general budget, it made the decoder fill about 800 MiB
// for every load; a GIF canvas has a budget of its own.
TEST_F(ImageGuards, ATinyGifClaimingAHugeCanvasIsRefused) {
    const Bytes finding = {0x47, 0x49, 0x46, 0x38, 0x39, 0x61, 0x00, 0x04, 0xcf, 0xea, 0xf0, 0x00, 0x00, 0xff, 0x35,
                           0x00, 0x00, 0x00, 0x00, 0x21, 0xf9, 0x04, 0x00, 0x00, 0x00, 0x2f, 0x00, 0x2c, 0x00, 0x00,
                           0x00, 0x00, 0x04, 0x00, 0x04, 0x00, 0x00, 0x02, 0x04, 0x84, 0x8f, 0x09, 0x05, 0x00, 0x3b};
    EXPECT_TRUE(contains(load(finding), "1024 x 60111 pixels, more than the limit of 16777216"));
    EXPECT_TRUE(contains(load(finding, "gif"), "more than the limit of 16777216"));
    Bytes inside = finding;
    inside[6] = 0x00, inside[7] = 0x04, inside[8] = 0x00, inside[9] = 0x04;  // 1024 x 1024: just inside, loads
    EXPECT_EQ(load(inside), "");
}

// One damaged family: a picture cut at every byte is refused (by its loader
// and by content); with one bit flipped at any byte it is refused or decoded
// whole. `intact` is how many closing bytes may go missing: they guard no data.
struct DamagedPicture {
    const char* name;
    const char* loader;
    Bytes (*make)();
    std::size_t intact;
    bool flips;
};

class ImageGuardsDamaged : public ImageGuards, public ::testing::WithParamInterface<DamagedPicture> {};

TEST_P(ImageGuardsDamaged, FailsAtEveryCutAndEveryFlip) {
    const DamagedPicture& picture = GetParam();
    const Bytes bytes = picture.make();
    ASSERT_EQ(load(bytes, picture.loader), "");
    for (std::size_t cut = 0; cut + picture.intact < bytes.size(); ++cut) {
        SCOPED_TRACE("cut at " + std::to_string(cut));
        const Bytes part(bytes.begin(), bytes.begin() + long(cut));
        EXPECT_NE(load(part, picture.loader), "") << "a cut file is never shown";
        EXPECT_NE(load(part), "");
    }
    for (std::size_t at = 0; picture.flips && at < bytes.size(); ++at) {
        SCOPED_TRACE("flip at " + std::to_string(at));
        Bytes flipped = bytes;
        flipped[at] ^= std::uint8_t(1u << (at % 8));
        load(flipped);
    }
}

Bytes damaged_png() {
    Bytes rgba;
    for (int i = 0; i < 6 * 5; ++i) rgba.insert(rgba.end(), {std::uint8_t(i * 9), 40, std::uint8_t(255 - i), 200});
    return testsupport::encode_png(6, 5, rgba);
}
Bytes damaged_gif() {
    const std::array<Rgba, 4> palette{{{0, 0, 0, 255}, {255, 0, 0, 255}, {0, 255, 0, 255}, {0, 0, 255, 255}}};
    Bytes indices(7 * 4);
    for (std::size_t i = 0; i < indices.size(); ++i) indices[i] = std::uint8_t(i % 4);
    return imagefiles::encode_gif(7, 4, palette, {{indices, 2}});
}
const std::vector<Rgba> eight_by_eight(64, {1, 2, 3, 255});

INSTANTIATE_TEST_SUITE_P(
    Formats, ImageGuardsDamaged,
    ::testing::Values(DamagedPicture{"png", "png", damaged_png, 4, true},  // IEND's checksum
                      DamagedPicture{"baseline", "jpg", [] { return imagefiles::fixture("red_blue_444.jpg"); }, 2, true},
                      DamagedPicture{"progressive", "jpg", [] { return imagefiles::fixture("red_blue_progressive.jpg"); },
                                     2, true},  // without its end marker it still decodes
                      DamagedPicture{"gif", "gif", damaged_gif, 2, true},  // the trailer byte
                      DamagedPicture{"bmp", "bmp", [] { return imagefiles::encode_bmp(8, 8, eight_by_eight, 24); }, 1,
                                     false},
                      DamagedPicture{"tga", "tga", [] { return imagefiles::encode_tga(8, 8, eight_by_eight, 24, true); },
                                     1, false},
                      DamagedPicture{"rle_tga", "tga", imagefiles::rle_tga_2x2, 1, false}),
    [](const ::testing::TestParamInfo<DamagedPicture>& info) { return std::string(info.param.name); });

}  // namespace
