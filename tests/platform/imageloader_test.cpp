// The image loader: every format decoded into device pixels, and bad pictures, bad names and bad places each refused
// with one line naming the file, leaving what the device already holds untouched.
#include "services/imageloader.h"

#include <gtest/gtest.h>

#include <atomic>
#include <climits>
#include <array>
#include <cstdlib>
#include <new>
#include <string>
#include <vector>

#include "services/fileio.h"
#include "services/video.h"
#include "tests/support/test_support.h"

// The largest single request made through operator new while a test watches: a picture refused from its header must
// never have asked for its pixels. g++ 12 at -O2 sees the replaced operator new's malloc reach the replaced delete's
// free through inlining and calls it a mismatch; they are a pair.
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

using Bytes = std::vector<std::uint8_t>;

struct Rgba {
    std::uint8_t r, g, b, a;
};

// Picture files built byte by byte, so that every pixel checked is known. JPEG, whose encoder the tests do not link,
// and a palette PNG with transparency come from small files in fixtures/.
Bytes fixture(const std::string& name) {
    const std::string bytes = testsupport::read_file(SCENE_TEST_SOURCE_DIR "/tests/platform/fixtures/" + name);
    return Bytes(bytes.begin(), bytes.end());
}

void put16le(Bytes& out, unsigned value) { out.insert(out.end(), {std::uint8_t(value), std::uint8_t(value >> 8)}); }

// A PNG whose IHDR claims width x height; the rest is a valid 1 x 1 picture.
Bytes png_claiming(std::uint32_t width, std::uint32_t height) {
    Bytes bytes = testsupport::encode_png(1, 1, {1, 2, 3, 255});
    // IHDR data starts at byte 16: signature (8), length (4), type (4).
    for (int i = 0; i < 4; ++i) {
        bytes[16 + i] = std::uint8_t(width >> (24 - 8 * i));
        bytes[20 + i] = std::uint8_t(height >> (24 - 8 * i));
    }
    std::uint32_t crc = 0xffffffffu;  // over the type and the 13 data bytes
    for (std::size_t i = 12; i < 29; ++i) {
        crc ^= bytes[i];
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
    }
    for (int i = 0; i < 4; ++i) bytes[29 + i] = std::uint8_t(~crc >> (24 - 8 * i));
    return bytes;
}

void put_pixel(Bytes& out, const Rgba& p, int bits) {
    out.insert(out.end(), {p.b, p.g, p.r});
    if (bits == 32) out.push_back(p.a);
}

// An uncompressed BMP, bottom-up rows padded to 4 bytes; 24 or 32 bits.
Bytes encode_bmp(int width, int height, const std::vector<Rgba>& pixels, int bits) {
    const int row_bytes = (width * (bits / 8) + 3) & ~3;
    Bytes out{'B', 'M'};
    for (std::uint32_t word : {std::uint32_t(54 + row_bytes * height), 0u, 54u, 40u, std::uint32_t(width),
                               std::uint32_t(height), 1u | std::uint32_t(bits) << 16, 0u, 0u, 0u, 0u, 0u, 0u})
        put16le(out, word & 0xffff), put16le(out, word >> 16);
    for (int y = height - 1; y >= 0; --y) {
        const std::size_t start = out.size();
        for (int x = 0; x < width; ++x) put_pixel(out, pixels[std::size_t(y * width + x)], bits);
        out.resize(start + std::size_t(row_bytes), 0);
    }
    return out;
}

// An uncompressed true-colour TGA of 24 or 32 bits, rows stored top-down or bottom-up.
Bytes encode_tga(int width, int height, const std::vector<Rgba>& pixels, int bits, bool top_down) {
    Bytes out{0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    put16le(out, unsigned(width));
    put16le(out, unsigned(height));
    out.insert(out.end(), {std::uint8_t(bits), std::uint8_t((bits == 32 ? 8 : 0) | (top_down ? 0x20 : 0))});
    for (int row = 0; row < height; ++row)
        for (int x = 0; x < width; ++x)
            put_pixel(out, pixels[std::size_t((top_down ? row : height - 1 - row) * width + x)], bits);
    return out;
}

// A 24-bit run-length TGA, bottom-up: a run of 3 red pixels, then one raw blue.
Bytes rle_tga_2x2() {
    return {0, 0, 10, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 2, 0, 24, 0, 0x82, 0, 0, 255, 0x00, 255, 0, 0};
}

// A GIF of a frame of palette indices (0 to 3, under 80 of them) with an optional transparent index, and maybe a frame
// of index 1 that is never shown. Its LZW data sends a clear code before every pixel, which keeps the code width at 3
// bits: valid, if not compact.
Bytes encode_gif(int width, int height, const std::array<Rgba, 4>& palette, const Bytes& indices, int transparent,
                 bool second_frame = true) {
    Bytes out{'G', 'I', 'F', '8', '9', 'a'};
    put16le(out, unsigned(width));
    put16le(out, unsigned(height));
    out.insert(out.end(), {0x81, 0, 0});  // global palette of 2^(1+1) entries
    for (const Rgba& p : palette) out.insert(out.end(), {p.r, p.g, p.b});
    for (const Bytes& frame : {indices, Bytes(second_frame ? indices.size() : 0, 1)}) {
        if (frame.empty()) break;
        const std::uint8_t keyed = transparent >= 0;
        out.insert(out.end(), {0x21, 0xf9, 4, keyed, 0, 0, std::uint8_t(transparent), 0, 0x2c});
        for (unsigned word : {0u, 0u, unsigned(width), unsigned(height)}) put16le(out, word);
        Bytes packed;
        std::uint32_t bits = 0;
        int count = 0;
        auto emit = [&](unsigned code) {
            bits |= code << count;
            for (count += 3; count >= 8; count -= 8) packed.push_back(std::uint8_t(bits)), bits >>= 8;
        };
        for (std::uint8_t index : frame) emit(4), emit(index);  // clear = 4, end = 5
        emit(5);
        if (count > 0) packed.push_back(std::uint8_t(bits));
        out.insert(out.end(), {0, 2, std::uint8_t(packed.size())});  // minimum code size 2, one sub-block
        out.insert(out.end(), packed.begin(), packed.end());
        out.push_back(0);
    }
    out.push_back(0x3b);
    return out;
}

using testsupport::contains;

// A headless device holding a 1 x 1 picture "picture": a failing load must leave whatever picture is held alone.
class ImageLoading : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(video_create(device, {.width = 16, .height = 16})) << video_error();
        ASSERT_EQ(load(testsupport::encode_png(1, 1, {7, 7, 7, 255}), "png"), "");
    }
    void TearDown() override { video_unregister(device); }

    Video_Image* image() { return video_get_interface(device)->get_image("picture", "s"); }
    std::vector<std::uint32_t> pixels() { return testsupport::image_pixels(image()); }

    // Loads the file by the named loader or, without one, by content. A failure must be one line naming the file and
    // leave the picture held alone. Returns the reason of a failure, empty on success.
    std::string load_path(const std::string& path, const std::string& loader = "", FileIO::FileManager* files = nullptr,
                          const std::string& video = device) {
        const std::vector<std::uint32_t> before = pixels();
        if (loader.empty() ? imageloader_loadimage_noext(video, path, "s", "picture", files, true)
                           : imageloader_loadimage(loader, video, path, "s", "picture", files, true)) {
            EXPECT_TRUE(image()->get_width() >= 1 && image()->get_pitch() == image()->get_width());
            return "";
        }
        const std::string error = imageloader_error();
        const std::string head = "Failed to load image \"" + path + "\". Reason: ";
        EXPECT_EQ(error.rfind(head, 0), 0u) << error;
        EXPECT_TRUE(error.size() > head.size() && error.find('\n') == std::string::npos) << error;
        EXPECT_EQ(pixels(), before) << "a failed load leaves the earlier picture alone";
        return error.substr(std::min(error.size(), head.size()));
    }
    std::string load(const Bytes& bytes, const std::string& loader = "") {
        return load_path(folder.write_bytes("input", bytes), loader);
    }

    // Every pixel of the picture against the expected ones, loaded by the named loader and by content.
    void expect_pixels(const std::string& loader, const Bytes& bytes, const std::vector<Rgba>& expected, int width) {
        for (const std::string& by : {loader, std::string()}) {
            ASSERT_EQ(load(bytes, by), "");
            ASSERT_EQ(image()->get_width(), width);
            std::vector<std::uint32_t> words;
            for (const Rgba& p : expected) words.push_back(video_pixel::make(p.r, p.g, p.b, p.a));
            EXPECT_EQ(pixels(), words) << loader;
        }
    }
    // A pixel of a lossy, opaque picture, each channel within tolerance.
    void expect_near(int x, int y, Rgba expected, int tolerance) {
        const std::uint32_t p = image()->get_pixels()[y * image()->get_pitch() + x];
        EXPECT_TRUE(std::abs(video_pixel::red(p) - expected.r) <= tolerance && video_pixel::alpha(p) == 255 &&
                    std::abs(video_pixel::green(p) - expected.g) <= tolerance &&
                    std::abs(video_pixel::blue(p) - expected.b) <= tolerance)
            << std::hex << p << " at " << std::dec << x << ", " << y;
    }

    static constexpr const char* device = "image-loading";
    testsupport::TempDir folder;
};

TEST_F(ImageLoading, EveryFormatGivesItsPixelsWithTransparencyAsInverseAlpha) {
    const std::vector<Rgba> pixels{{255, 0, 0, 255}, {0, 0, 0, 0}, {0, 255, 0, 128}, {0, 0, 255, 127}};
    Bytes rgba;
    for (const Rgba& p : pixels) rgba.insert(rgba.end(), {p.r, p.g, p.b, p.a});
    expect_pixels("png", testsupport::encode_png(2, 2, rgba), pixels, 2);
    // The hit rule ((pixel & mask) < 255) counts a pixel at least half opaque.
    auto hit = [&](int index) { return (image()->get_pixels()[index] & image()->get_alpha_mask()) < 255; };
    EXPECT_EQ(image()->get_pixels()[1] >> 24, 255u) << "a fully transparent pixel has transparency 255";
    EXPECT_TRUE(hit(0) && !hit(1) && hit(2) && !hit(3));
    expect_pixels("png", fixture("palette_trns.png"), {{200, 0, 0, 255}, {0, 200, 0, 0}, {0, 0, 200, 100}}, 3);

    const std::vector<Rgba> rgb{{255, 0, 0, 255}, {0, 255, 0, 255}, {0, 0, 255, 255},
                                {1, 2, 3, 255},   {4, 5, 6, 255},   {7, 8, 9, 255}};
    expect_pixels("bmp", encode_bmp(3, 2, rgb, 24), rgb, 3);  // rows padded, bottom up
    expect_pixels("bmp", encode_bmp(2, 2, pixels, 32), pixels, 2);
    expect_pixels("tga", encode_tga(2, 2, pixels, 32, true), pixels, 2);
    expect_pixels("tga", encode_tga(3, 2, rgb, 24, false), rgb, 3);
    expect_pixels("tga", rle_tga_2x2(), {rgb[0], rgb[2], rgb[0], rgb[0]}, 2);
    // A GIF shows its first frame, with its transparent index.
    const std::array<Rgba, 4> colours{{rgb[0], rgb[1], rgb[2], {50, 50, 50, 255}}};
    expect_pixels("gif", encode_gif(3, 2, colours, {0, 1, 2, 3, 3, 0}, 3),
                  {rgb[0], rgb[1], rgb[2], pixels[1], pixels[1], rgb[0]}, 3);

    for (const std::string name : {"red_blue_444.jpg", "red_blue_progressive.jpg"}) {
        ASSERT_EQ(load(fixture(name), "jpeg"), "");
        ASSERT_TRUE(image()->get_width() == 16 && image()->get_height() == 8) << name;
        expect_near(2, 3, rgb[0], 6);
        expect_near(13, 5, rgb[2], 6);
    }
    ASSERT_EQ(load(fixture("cyan_cmyk.jpg"), "jpg"), "");
    expect_near(4, 4, {0, 255, 255, 255}, 4);
    ASSERT_EQ(load_path(folder.write_bytes("grey.png", fixture("grey128.jpg"))), "") << "by content, whatever the name";
    expect_near(4, 4, {128, 128, 128, 255}, 2);
}

TEST_F(ImageLoading, BadNamesPlacesAndFormatsAreRefused) {
    const std::string png = folder.write_bytes("real.png", testsupport::encode_png(2, 2, Bytes(16, 200)));
    for (const std::string loader : {"PNG", "webp", " png"})
        EXPECT_TRUE(contains(load_path(png, loader), "unknown image loader \"" + loader + "\""));
    EXPECT_TRUE(contains(load_path(folder.str() + "/missing.png"), "No such file or directory"));
    EXPECT_TRUE(contains(load_path(folder.str(), "png"), "is a folder, not a file"));
    std::filesystem::create_symlink("loop.png", folder.path() / "loop.png");  // a link to itself: not a refused link
    EXPECT_TRUE(contains(load_path(folder.str() + "/loop.png"), "Too many levels of symbolic links"));
    EXPECT_TRUE(contains(load_path(png, "png", nullptr, "no-such-device"), "no video device \"no-such-device\""));

    testsupport::TempDir outside;
    outside.write_bytes("secret.png", testsupport::encode_png(1, 1, {1, 1, 1, 255}));
    FileIO::FileManager files(folder.str());
    const std::string escape = "../" + outside.path().filename().string() + "/secret.png";
    EXPECT_TRUE(contains(load_path(escape, "png", &files), escape));
    EXPECT_NE(load_path(outside.str() + "/secret.png", "", &files), "") << "absolute path";

    const std::string notes = folder.write("notes.png", "notes\n");
    EXPECT_TRUE(contains(load_path(notes, "png"), "PNG decoder"));
    EXPECT_TRUE(contains(load_path(notes), "unrecognised image format"));
    for (auto [loader, format] : {std::pair{"bmp", "BMP"}, {"gif", "GIF"}, {"tga", "TGA"}})
        EXPECT_TRUE(contains(load_path(png, loader), std::string("not a ") + format + " file"));
    EXPECT_TRUE(contains(load_path(png, "jpg"), "JPEG decoder"));
}

class ImageGuards : public ImageLoading {
protected:
    // The reason of a failed load, watching the largest allocation it made.
    std::string refused_within(const Bytes& bytes, const std::string& loader = "") {
        const std::string file = folder.write_bytes("claim", bytes);
        largest_allocation = 0;
        watching_allocations = true;
        const bool loaded = loader.empty() ? imageloader_loadimage_noext(device, file, "s", "picture", nullptr, true)
                                           : imageloader_loadimage(loader, device, file, "s", "picture", nullptr, true);
        watching_allocations = false;
        EXPECT_FALSE(loaded);
        EXPECT_LT(largest_allocation.load(), 1u << 20) << "pixels were asked for before the size was checked";
        return imageloader_error();
    }
};

Bytes bmp_claiming(std::int32_t width, std::int32_t height) {
    Bytes bmp = encode_bmp(1, 1, {{1, 2, 3, 255}}, 24);
    for (int i = 0; i < 4; ++i) {
        bmp[18 + std::size_t(i)] = std::uint8_t(std::uint32_t(width) >> (8 * i));
        bmp[22 + std::size_t(i)] = std::uint8_t(std::uint32_t(height) >> (8 * i));
    }
    return bmp;
}

TEST_F(ImageGuards, AMillionByAMillionIsRefusedBeforeAnyPixelIsAllocated) {
    EXPECT_TRUE(contains(refused_within(png_claiming(1000000, 1000000)), "1000000 x 1000000 pixels"));
    EXPECT_TRUE(contains(refused_within(png_claiming(100000, 100000), "png"),
                         "100000 x 100000 pixels, wider than the limit of 65535"));
    EXPECT_TRUE(contains(refused_within(bmp_claiming(1000000, 1000000)), "wider than the limit"));
    EXPECT_TRUE(contains(refused_within(png_claiming(65535, 65535)), "more than the limit of 67108864"));
    // Formats with 16-bit sides: their largest claim, 65535 x 65535.
    Bytes gif = encode_gif(1, 1, {}, {0}, -1), tga = encode_tga(1, 1, {{1, 2, 3, 255}}, 24, true);
    std::fill_n(gif.begin() + 6, 4, 0xff);
    std::fill_n(tga.begin() + 12, 4, 0xff);
    EXPECT_TRUE(contains(refused_within(gif), "more than the limit"));
    EXPECT_TRUE(contains(refused_within(tga), "more than the limit"));
    Bytes jpeg = fixture("grey128.jpg");
    for (std::size_t i = 0; i + 8 < jpeg.size(); ++i)
        if (jpeg[i] == 0xff && jpeg[i + 1] == 0xc0) {  // start of frame: height, then width
            jpeg[i + 5] = jpeg[i + 7] = 0xea;          // 60000 x 60000: inside the decoder's own limits
            jpeg[i + 6] = jpeg[i + 8] = 0x60;
            break;
        }
    EXPECT_TRUE(contains(refused_within(jpeg), "60000 x 60000 pixels, more than the limit"));
}

// Sizes whose byte count wraps a 32-bit product (16384 x 65536 x 4 is 2^32), or whose sign flips.
TEST_F(ImageGuards, SizesThatOverflowAProductAreRefused) {
    EXPECT_TRUE(contains(load(png_claiming(16384, 65536)), "more than the limit"));
    EXPECT_TRUE(contains(load(png_claiming(65535, 0x7fffffff)), "more than the limit"));
    EXPECT_NE(load(png_claiming(0x80000000u, 1)), "");  // beyond what PNG allows
    for (auto [width, height] : {std::pair{65535, INT_MAX}, {65535, INT_MIN}, {-1, 1}, {1, INT_MIN}})
        EXPECT_NE(load(bmp_claiming(width, height)), "") << width << " x " << height;
    EXPECT_EQ(load(bmp_claiming(1, 0)), "image has no pixels (1 x 0)");
}

// Found by fuzzing: 45 bytes whose GIF canvas is 1024 x 60111 around a 4 x 4 frame. Within the general budget, it made
// the decoder fill about 800 MiB for every load; a GIF canvas has a budget of its own.
TEST_F(ImageGuards, ATinyGifClaimingAHugeCanvasIsRefused) {
    Bytes finding = {0x47, 0x49, 0x46, 0x38, 0x39, 0x61, 0x00, 0x04, 0xcf, 0xea, 0xf0, 0x00, 0x00, 0xff, 0x35,
                     0x00, 0x00, 0x00, 0x00, 0x21, 0xf9, 0x04, 0x00, 0x00, 0x00, 0x2f, 0x00, 0x2c, 0x00, 0x00,
                     0x00, 0x00, 0x04, 0x00, 0x04, 0x00, 0x00, 0x02, 0x04, 0x84, 0x8f, 0x09, 0x05, 0x00, 0x3b};
    EXPECT_TRUE(contains(load(finding), "1024 x 60111 pixels, more than the limit of 16777216"));
    EXPECT_TRUE(contains(load(finding, "gif"), "more than the limit of 16777216"));
    finding[8] = 0x00, finding[9] = 0x04;  // 1024 x 1024: just inside, loads
    EXPECT_EQ(load(finding), "");
}

// One damaged family: a picture cut at every byte is refused (by its loader and by content); with one bit flipped at
// any byte it is refused or decoded whole. `intact` is how many closing bytes may go missing: they guard no data.
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
        const Bytes part(bytes.begin(), bytes.begin() + long(cut));
        EXPECT_TRUE(load(part, picture.loader) != "" && load(part) != "") << "a file cut at " << cut << " is shown";
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
    Bytes indices(7 * 4);
    for (std::size_t i = 0; i < indices.size(); ++i) indices[i] = std::uint8_t(i % 4);
    const std::array<Rgba, 4> palette{{{0, 0, 0, 255}, {255, 0, 0, 255}, {0, 255, 0, 255}, {0, 0, 255, 255}}};
    return encode_gif(7, 4, palette, indices, 2, false);
}
const std::vector<Rgba> eight_by_eight(64, {1, 2, 3, 255});

INSTANTIATE_TEST_SUITE_P(
    Formats, ImageGuardsDamaged,
    ::testing::Values(
        DamagedPicture{"png", "png", damaged_png, 4, true},  // IEND's checksum
        DamagedPicture{"baseline", "jpg", [] { return fixture("red_blue_444.jpg"); }, 2, true},
        // Without its end marker a progressive JPEG still decodes.
        DamagedPicture{"progressive", "jpg", [] { return fixture("red_blue_progressive.jpg"); }, 2, true},
        DamagedPicture{"gif", "gif", damaged_gif, 2, true},  // the trailer byte
        DamagedPicture{"bmp", "bmp", [] { return encode_bmp(8, 8, eight_by_eight, 24); }, 1, false},
        DamagedPicture{"tga", "tga", [] { return encode_tga(8, 8, eight_by_eight, 24, true); }, 1, false},
        DamagedPicture{"rle_tga", "tga", rle_tga_2x2, 1, false}),
    [](const ::testing::TestParamInfo<DamagedPicture>& info) { return std::string(info.param.name); });

}  // namespace
