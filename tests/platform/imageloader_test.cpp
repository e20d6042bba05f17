#include "services/imageloader.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "services/fileio.h"
#include "services/video.h"
#include "tests/platform/image_test_files.h"
#include "tests/support/test_support.h"

namespace {

using imagefiles::Bytes;
using imagefiles::Rgba;

std::uint32_t device_pixel(Rgba p) { return video_pixel::make(p.r, p.g, p.b, p.a); }

// Loads pictures into a fresh headless device and reads back what it holds.
class ImageLoading : public ::testing::Test {
protected:
    void SetUp() override {
        VideoSettings settings;
        settings.width = 32;
        settings.height = 32;
        ASSERT_TRUE(video_create(device_name, settings)) << video_error();
    }
    void TearDown() override { video_unregister(device_name); }

    std::string write(const std::string& name, const Bytes& bytes) { return folder.write_bytes(name, bytes); }

    bool load(const std::string& loader, const std::string& path, const std::string& name = "picture") {
        return imageloader_loadimage(loader, device_name, path, "scene", name, nullptr, true);
    }
    bool load_by_content(const std::string& path, const std::string& name = "picture") {
        return imageloader_loadimage_noext(device_name, path, "scene", name, nullptr, true);
    }
    Video_Image* image(const std::string& name = "picture") {
        return video_get_interface(device_name)->get_image(name, "scene");
    }
    // Every pixel of the loaded picture against the expected ones, row by row.
    void expect_pixels(const std::vector<Rgba>& expected, int width, int height) {
        Video_Image* loaded = image();
        ASSERT_NE(loaded, nullptr);
        ASSERT_EQ(loaded->get_width(), width);
        ASSERT_EQ(loaded->get_height(), height);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                EXPECT_EQ(loaded->get_pixels()[y * loaded->get_pitch() + x],
                          device_pixel(expected[std::size_t(y * width + x)]))
                    << "pixel " << x << "," << y;
    }
    // A pixel of a lossy picture, each channel within tolerance.
    void expect_near(int x, int y, Rgba expected, int tolerance) {
        const std::uint32_t p = image()->get_pixels()[y * image()->get_pitch() + x];
        EXPECT_NEAR(video_pixel::red(p), expected.r, tolerance) << x << "," << y;
        EXPECT_NEAR(video_pixel::green(p), expected.g, tolerance) << x << "," << y;
        EXPECT_NEAR(video_pixel::blue(p), expected.b, tolerance) << x << "," << y;
        EXPECT_EQ(video_pixel::alpha(p), expected.a) << x << "," << y;
    }

    const std::string device_name = "image-loader-test";
    testsupport::TempDir folder;
};

TEST_F(ImageLoading, RgbaPngKeepsEveryPixelAndTransparencyIsInverseAlpha) {
    const std::vector<Rgba> pixels{{255, 0, 0, 255}, {0, 0, 0, 0},      {0, 255, 0, 128},
                                   {0, 0, 255, 127}, {10, 20, 30, 200}, {255, 255, 255, 1}};
    std::vector<std::uint8_t> rgba;
    for (const Rgba& p : pixels) rgba.insert(rgba.end(), {p.r, p.g, p.b, p.a});
    ASSERT_TRUE(load("png", write("rgba.png", testsupport::encode_png(3, 2, rgba)))) << imageloader_error();
    expect_pixels(pixels, 3, 2);

    // The hit rule ((pixel & mask) < 255) counts a pixel at least half opaque.
    Video_Image* loaded = image();
    auto hit = [&](int index) { return (loaded->get_pixels()[index] & loaded->get_alpha_mask()) < 255; };
    EXPECT_EQ(loaded->get_pixels()[1] >> 24, 255u) << "a fully transparent pixel has transparency 255";
    EXPECT_TRUE(hit(0));
    EXPECT_FALSE(hit(1));
    EXPECT_TRUE(hit(2)) << "alpha 128";
    EXPECT_FALSE(hit(3)) << "alpha 127";
}

TEST_F(ImageLoading, PngColourTypesAndDepthsAllBecomeDevicePixels) {
    struct Case {
        const char* what;
        imagefiles::PngLayout layout;
        std::vector<Rgba> expected;
    };
    imagefiles::PngLayout palette{3, 1, SPNG_COLOR_TYPE_INDEXED, 2, false, {0b00011011}, {}, -1};
    palette.palette = {{200, 0, 0, 255}, {0, 200, 0, 0}, {0, 0, 200, 100}, {9, 9, 9, 255}};
    const Case cases[] = {
        {"2-bit palette with tRNS", palette, {{200, 0, 0, 255}, {0, 200, 0, 0}, {0, 0, 200, 100}}},
        {"8-bit grey", {2, 1, SPNG_COLOR_TYPE_GRAYSCALE, 8, false, {0x00, 0xc8}, {}, -1},
         {{0, 0, 0, 255}, {200, 200, 200, 255}}},
        {"8-bit grey with a transparent key", {2, 1, SPNG_COLOR_TYPE_GRAYSCALE, 8, false, {0x40, 0x41}, {}, 0x40},
         {{0x40, 0x40, 0x40, 0}, {0x41, 0x41, 0x41, 255}}},
        {"16-bit grey", {2, 1, SPNG_COLOR_TYPE_GRAYSCALE, 16, false, {0xab, 0xab, 0x12, 0x12}, {}, -1},
         {{0xab, 0xab, 0xab, 255}, {0x12, 0x12, 0x12, 255}}},
        {"1-bit grey", {3, 1, SPNG_COLOR_TYPE_GRAYSCALE, 1, false, {0b10100000}, {}, -1},
         {{255, 255, 255, 255}, {0, 0, 0, 255}, {255, 255, 255, 255}}},
        {"8-bit grey and alpha", {1, 1, SPNG_COLOR_TYPE_GRAYSCALE_ALPHA, 8, false, {0x80, 0x40}, {}, -1},
         {{0x80, 0x80, 0x80, 0x40}}},
        {"16-bit colour", {1, 1, SPNG_COLOR_TYPE_TRUECOLOR, 16, false, {0x11, 0x11, 0x22, 0x22, 0x33, 0x33}, {}, -1},
         {{0x11, 0x22, 0x33, 255}}},
        {"16-bit colour and alpha",
         {1, 1, SPNG_COLOR_TYPE_TRUECOLOR_ALPHA, 16, false, {0x11, 0x11, 0x22, 0x22, 0x33, 0x33, 0x7f, 0x7f}, {}, -1},
         {{0x11, 0x22, 0x33, 0x7f}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(load("png", write("kind.png", imagefiles::encode_png(c.layout)))) << imageloader_error();
        expect_pixels(c.expected, int(c.layout.width), int(c.layout.height));
    }
}

TEST_F(ImageLoading, InterlacedPngMatchesItsPixels) {
    imagefiles::PngLayout layout;
    layout.width = layout.height = 11;  // more than one Adam7 block, with partial ones
    layout.interlaced = true;
    std::vector<Rgba> expected;
    for (std::uint8_t y = 0; y < 11; ++y)
        for (std::uint8_t x = 0; x < 11; ++x) {
            const Rgba p{std::uint8_t(x * 20), std::uint8_t(y * 20), std::uint8_t(x * y), std::uint8_t(255 - x - y)};
            expected.push_back(p);
            layout.samples.insert(layout.samples.end(), {p.r, p.g, p.b, p.a});
        }
    ASSERT_TRUE(load("png", write("interlaced.png", imagefiles::encode_png(layout)))) << imageloader_error();
    expect_pixels(expected, 11, 11);
}

TEST_F(ImageLoading, JpegColourGreyProgressiveAndCmyk) {
    const Rgba red{255, 0, 0, 255}, blue{0, 0, 255, 255};
    for (const char* name : {"red_blue_444.jpg", "red_blue_progressive.jpg"}) {
        SCOPED_TRACE(name);
        for (const char* loader : {"jpg", "jpeg"}) {
            ASSERT_TRUE(load(loader, write(name, imagefiles::fixture(name)))) << imageloader_error();
            ASSERT_EQ(image()->get_width(), 16);
            ASSERT_EQ(image()->get_height(), 8);
            expect_near(2, 3, red, 6);
            expect_near(13, 5, blue, 6);
        }
    }
    ASSERT_TRUE(load("jpg", write("grey.jpg", imagefiles::fixture("grey128.jpg")))) << imageloader_error();
    expect_near(4, 4, {128, 128, 128, 255}, 2);
    ASSERT_TRUE(load("jpg", write("cmyk.jpg", imagefiles::fixture("cyan_cmyk.jpg")))) << imageloader_error();
    expect_near(4, 4, {0, 255, 255, 255}, 4);
}

TEST_F(ImageLoading, BmpRowsPaddedBottomUpAndWithAlpha) {
    const std::vector<Rgba> pixels{{255, 0, 0, 255}, {0, 255, 0, 255}, {0, 0, 255, 255},
                                   {1, 2, 3, 255},   {4, 5, 6, 255},   {7, 8, 9, 255}};
    ASSERT_TRUE(load("bmp", write("rgb.bmp", imagefiles::encode_bmp(3, 2, pixels, 24)))) << imageloader_error();
    expect_pixels(pixels, 3, 2);

    const std::vector<Rgba> with_alpha{{255, 0, 0, 255}, {0, 255, 0, 0}, {0, 0, 255, 128}, {1, 2, 3, 255}};
    ASSERT_TRUE(load("bmp", write("rgba.bmp", imagefiles::encode_bmp(2, 2, with_alpha, 32)))) << imageloader_error();
    expect_pixels(with_alpha, 2, 2);
}

TEST_F(ImageLoading, TgaInBothRowOrders) {
    const std::vector<Rgba> pixels{{255, 0, 0, 255}, {0, 255, 0, 0}, {0, 0, 255, 128}, {1, 2, 3, 255}};
    ASSERT_TRUE(load("tga", write("top.tga", imagefiles::encode_tga(2, 2, pixels, 32, true)))) << imageloader_error();
    expect_pixels(pixels, 2, 2);
    std::vector<Rgba> opaque = pixels;
    for (Rgba& p : opaque) p.a = 255;
    ASSERT_TRUE(load("tga", write("bottom.tga", imagefiles::encode_tga(2, 2, opaque, 24, false))))
        << imageloader_error();
    expect_pixels(opaque, 2, 2);
    ASSERT_TRUE(load("tga", write("rle.tga", imagefiles::rle_tga_2x2()))) << imageloader_error();
    expect_pixels({{255, 0, 0, 255}, {0, 0, 255, 255}, {255, 0, 0, 255}, {255, 0, 0, 255}}, 2, 2);
}

TEST_F(ImageLoading, GifShowsItsFirstFrameWithTransparency) {
    const std::array<Rgba, 4> palette{{{255, 0, 0, 255}, {0, 255, 0, 255}, {0, 0, 255, 255}, {50, 50, 50, 255}}};
    const Bytes gif = imagefiles::encode_gif(3, 2, palette, {{{0, 1, 2, 3, 3, 0}, 3}, {{1, 1, 1, 1, 1, 1}, -1}});
    ASSERT_TRUE(load("gif", write("anim.gif", gif))) << imageloader_error();
    Video_Image* loaded = image();
    ASSERT_NE(loaded, nullptr);
    const std::uint32_t* p = loaded->get_pixels();
    EXPECT_EQ(p[0], device_pixel(palette[0]));
    EXPECT_EQ(p[1], device_pixel(palette[1]));
    EXPECT_EQ(p[2], device_pixel(palette[2]));
    EXPECT_EQ(p[3] >> 24, 255u) << "transparent index";
    EXPECT_EQ(p[4] >> 24, 255u) << "transparent index";
    EXPECT_EQ(p[5], device_pixel(palette[0])) << "the second frame must not show";
}

TEST_F(ImageLoading, ByContentIgnoresTheExtension) {
    const std::vector<Rgba> one{{10, 20, 30, 255}};
    const std::array<Rgba, 4> palette{{{9, 8, 7, 255}, {0, 0, 0, 255}, {0, 0, 0, 255}, {0, 0, 0, 255}}};
    const struct {
        const char* file;
        Bytes bytes;
        Rgba expected;
    } files[] = {
        {"png-named.jpg", testsupport::encode_png(1, 1, {10, 20, 30, 255}), one[0]},
        {"bmp-named.gif", imagefiles::encode_bmp(1, 1, one, 24), one[0]},
        {"tga-without-extension", imagefiles::encode_tga(1, 1, one, 24, false), one[0]},
        {"gif-named.png", imagefiles::encode_gif(1, 1, palette, {{{0}, -1}}), palette[0]},
    };
    for (const auto& f : files) {
        SCOPED_TRACE(f.file);
        ASSERT_TRUE(load_by_content(write(f.file, f.bytes))) << imageloader_error();
        expect_pixels({f.expected}, 1, 1);
    }
    ASSERT_TRUE(load_by_content(write("jpeg-named.png", imagefiles::fixture("grey128.jpg")))) << imageloader_error();
    expect_near(0, 0, {128, 128, 128, 255}, 2);
}

TEST_F(ImageLoading, ReadsThroughTheFileManagerBelowItsRoot) {
    write("pictures/dot.png", testsupport::encode_png(1, 1, {1, 2, 3, 255}));
    FileIO::FileManager files(folder.str());
    ASSERT_TRUE(imageloader_loadimage("png", device_name, "pictures/dot.png", "scene", "picture", &files, true))
        << imageloader_error();
    expect_pixels({{1, 2, 3, 255}}, 1, 1);
    ASSERT_TRUE(imageloader_loadimage_noext(device_name, "pictures/dot.png", "scene", "other", &files, true))
        << imageloader_error();
    EXPECT_NE(image("other"), nullptr);
}

}  // namespace
