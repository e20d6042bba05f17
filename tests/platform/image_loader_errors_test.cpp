// Bad pictures, bad names and bad places: each gets a one-line error naming
// the file, and none changes what the device already holds.
#include <gtest/gtest.h>

#include "services/fileio.h"
#include "services/imageloader.h"
#include "services/video.h"
#include "tests/platform/image_test_files.h"
#include "tests/support/test_support.h"

namespace {

using imagefiles::Bytes;

class ImageLoaderErrors : public ::testing::Test {
protected:
    void SetUp() override {
        VideoSettings settings;
        settings.width = 16;
        settings.height = 16;
        ASSERT_TRUE(video_create(device_name, settings)) << video_error();
        // A picture already in place under the name every failing load uses.
        const std::string kept = folder.write_bytes("kept.png", testsupport::encode_png(1, 1, {7, 7, 7, 255}));
        ASSERT_TRUE(imageloader_loadimage("png", device_name, kept, "scene", "picture", nullptr, true));
    }
    void TearDown() override { video_unregister(device_name); }

    // Expects the load to fail with the standard text naming path, and the
    // picture loaded in SetUp to be untouched. Returns the reason part.
    std::string expect_failure(const std::string& loader, const std::string& path,
                               FileIO::FileManager* files = nullptr, const std::string& device = "") {
        const std::string video = device.empty() ? device_name : device;
        const bool loaded = loader.empty()
                                ? imageloader_loadimage_noext(video, path, "scene", "picture", files, true)
                                : imageloader_loadimage(loader, video, path, "scene", "picture", files, true);
        EXPECT_FALSE(loaded) << path;
        const std::string error = imageloader_error();
        const std::string head = "Failed to load image \"" + path + "\". Reason: ";
        EXPECT_EQ(error.compare(0, head.size(), head), 0) << error;
        EXPECT_EQ(error.find('\n'), std::string::npos) << error;
        Video_Image* kept = video_get_interface(device_name)->get_image("picture", "scene");
        EXPECT_TRUE(kept && kept->get_width() == 1 && kept->get_pixels()[0] == video_pixel::make(7, 7, 7, 255))
            << "a failed load must leave the existing image alone";
        return error.size() > head.size() ? error.substr(head.size()) : "";
    }

    const std::string device_name = "image-loader-errors";
    testsupport::TempDir folder;
};

TEST_F(ImageLoaderErrors, LoaderNamesMatchExactly) {
    const std::string file = folder.write_bytes("a.png", testsupport::encode_png(1, 1, {1, 1, 1, 255}));
    for (const std::string loader : {"PNG", "webp", " png", "jpg "})
        EXPECT_NE(expect_failure(loader, file).find("unknown image loader \"" + loader + "\""), std::string::npos);
}

TEST_F(ImageLoaderErrors, MissingFileDeviceAndEmptyName) {
    EXPECT_NE(expect_failure("png", folder.str() + "/missing.png").find("no such file"), std::string::npos);
    EXPECT_NE(expect_failure("", folder.str() + "/missing.png").find("no such file"), std::string::npos);
    EXPECT_NE(expect_failure("png", folder.str()).find("not a regular file"), std::string::npos);
    EXPECT_FALSE(expect_failure("png", "").empty());
    const std::string file = folder.write_bytes("a.png", testsupport::encode_png(1, 1, {1, 1, 1, 255}));
    EXPECT_NE(expect_failure("png", file, nullptr, "no-such-device").find("no video device \"no-such-device\""),
              std::string::npos);
}

TEST_F(ImageLoaderErrors, FileManagerRefusalsNameThePath) {
    testsupport::TempDir outside;
    outside.write_bytes("secret.png", testsupport::encode_png(1, 1, {1, 1, 1, 255}));
    folder.write_bytes("root/inside.txt", {'x'});
    FileIO::FileManager files(folder.str() + "/root");
    const std::string escape = "../../" + outside.path().filename().string() + "/secret.png";
    EXPECT_NE(expect_failure("png", escape, &files).find(escape), std::string::npos);
    EXPECT_FALSE(expect_failure("", outside.str() + "/secret.png", &files).empty()) << "absolute path";
    EXPECT_FALSE(expect_failure("png", "absent.png", &files).empty());
}

TEST_F(ImageLoaderErrors, TextFileNamedPng) {
    const std::string file = folder.write("notes.png", "these are notes, not a picture\n");
    EXPECT_NE(expect_failure("png", file).find("PNG decoder"), std::string::npos);
    EXPECT_NE(expect_failure("", file).find("unrecognised image format"), std::string::npos);
    for (const char* loader : {"jpg", "bmp", "tga", "gif"}) EXPECT_FALSE(expect_failure(loader, file).empty());
}

TEST_F(ImageLoaderErrors, FileOfAnotherFormatThanTheLoader) {
    const std::string file = folder.write_bytes("real.png", testsupport::encode_png(2, 2, Bytes(16, 200)));
    EXPECT_NE(expect_failure("bmp", file).find("not a BMP file"), std::string::npos);
    EXPECT_NE(expect_failure("gif", file).find("not a GIF file"), std::string::npos);
    EXPECT_NE(expect_failure("tga", file).find("not a TGA file"), std::string::npos);
    EXPECT_NE(expect_failure("jpg", file).find("JPEG decoder"), std::string::npos);
}

TEST_F(ImageLoaderErrors, TruncatedPngFailsAtEveryCut) {
    Bytes png;
    for (int i = 0; i < 20 * 20; ++i) png.insert(png.end(), {std::uint8_t(i), std::uint8_t(i * 7), 9, 255});
    png = testsupport::encode_png(20, 20, png);
    // Only the closing chunk's checksum may go missing: it guards no data.
    for (std::size_t cut = 0; cut < png.size() - 4; ++cut) {
        SCOPED_TRACE(cut);
        const std::string file = folder.write_bytes("cut.png", Bytes(png.begin(), png.begin() + long(cut)));
        expect_failure("png", file);
        expect_failure("", file);
    }
}

TEST_F(ImageLoaderErrors, TruncatedJpegGifBmpAndTgaFail) {
    const std::array<imagefiles::Rgba, 4> palette{};
    std::vector<imagefiles::Rgba> pixels(64, {1, 2, 3, 255});
    const struct {
        const char* loader;
        Bytes bytes;
    } files[] = {
        {"jpg", imagefiles::fixture("red_blue_444.jpg")},
        {"gif", imagefiles::encode_gif(8, 8, palette, {{Bytes(64, 1), -1}})},
        {"bmp", imagefiles::encode_bmp(8, 8, pixels, 24)},
        {"tga", imagefiles::encode_tga(8, 8, pixels, 24, true)},
        {"tga", imagefiles::rle_tga_2x2()},
    };
    for (const auto& f : files) {
        SCOPED_TRACE(f.loader);
        for (std::size_t cut : {std::size_t(0), std::size_t(10), f.bytes.size() / 2, f.bytes.size() - 2}) {
            const std::string file = folder.write_bytes("cut", Bytes(f.bytes.begin(), f.bytes.begin() + long(cut)));
            expect_failure(f.loader, file);
        }
    }
}

TEST_F(ImageLoaderErrors, HugeSizesAreRefusedFromTheHeader) {
    EXPECT_NE(expect_failure("png", folder.write_bytes("wide.png", imagefiles::png_claiming(100000, 100000)))
                  .find("100000 x 100000 pixels, wider than the limit of 65535"),
              std::string::npos);
    EXPECT_NE(expect_failure("", folder.write_bytes("big.png", imagefiles::png_claiming(65535, 65535)))
                  .find("more than the limit of 67108864"),
              std::string::npos);

    Bytes jpeg = imagefiles::fixture("grey128.jpg");
    for (std::size_t i = 0; i + 8 < jpeg.size(); ++i)
        if (jpeg[i] == 0xff && jpeg[i + 1] == 0xc0) {  // start of frame: height then width, big-endian
            jpeg[i + 5] = jpeg[i + 7] = 0xea;  // 60000 x 60000: inside the decoder's own limits
            jpeg[i + 6] = jpeg[i + 8] = 0x60;
            break;
        }
    EXPECT_NE(expect_failure("jpg", folder.write_bytes("big.jpg", jpeg)).find("60000 x 60000 pixels, more than the limit"),
              std::string::npos);

    Bytes bmp = imagefiles::encode_bmp(1, 1, {{1, 2, 3, 255}}, 24);
    bmp[18] = 0x70, bmp[19] = 0x11, bmp[20] = 0x01;  // width 70000
    EXPECT_NE(expect_failure("bmp", folder.write_bytes("wide.bmp", bmp)).find("wider than the limit"),
              std::string::npos);

    Bytes tga = imagefiles::encode_tga(1, 1, {{1, 2, 3, 255}}, 24, true);
    tga[12] = tga[13] = tga[14] = tga[15] = 0xff;  // 65535 x 65535
    EXPECT_NE(expect_failure("tga", folder.write_bytes("big.tga", tga)).find("more than the limit"), std::string::npos);

    Bytes gif = imagefiles::encode_gif(1, 1, {}, {{{0}, -1}});
    gif[6] = gif[7] = gif[8] = gif[9] = 0xff;  // logical screen 65535 x 65535
    EXPECT_NE(expect_failure("gif", folder.write_bytes("big.gif", gif)).find("more than the limit"), std::string::npos);
}

}  // namespace
