// The example presentation played headless with scripted input: its frames
// against reference pictures, replays, and the exported videos decoded back.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "player/frame_device.h"
#include "tests/player/sceneplay_run.h"
#include "tests/support/font_check.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}

namespace {

using playertest::presentation;
using playertest::run_sceneplay;

std::string reference(const std::string& name) { return playertest::source_dir() + "/tests/player/" + name; }

std::string frame_path(const std::string& folder, int frame) {
    return folder + "/" + player::FrameDevice::snapshot_name(frame);
}

// Empty when frame number frame of folder shows the picture expected.
std::string compare(const std::string& folder, int frame, const std::string& expected) {
    return testsupport::compare_pictures(frame_path(folder, frame), expected);
}

// Decodes every frame of a video file into RGBA; "WIDTHxHEIGHT at RATE frames a second", or why it could not.
std::string decode(const std::string& path, std::vector<std::vector<std::uint8_t>>& frames) {
    AVFormatContext* format = nullptr;
    if (avformat_open_input(&format, path.c_str(), nullptr, nullptr) < 0) return "cannot open " + path;
    const AVCodec* codec = nullptr;
    const int index = avformat_find_stream_info(format, nullptr) < 0
                          ? -1
                          : av_find_best_stream(format, AVMEDIA_TYPE_VIDEO, -1, -1, &codec, 0);
    AVCodecContext* decoder = index < 0 ? nullptr : avcodec_alloc_context3(codec);
    if (decoder) avcodec_parameters_to_context(decoder, format->streams[index]->codecpar);
    if (!decoder || avcodec_open2(decoder, codec, nullptr) < 0) {
        avcodec_free_context(&decoder);
        avformat_close_input(&format);
        return "no video stream that decodes";
    }
    const AVRational rate = format->streams[index]->avg_frame_rate;
    const std::string shape = std::to_string(decoder->width) + "x" + std::to_string(decoder->height) + " at " +
                              std::to_string(double(rate.num) / rate.den) + " frames a second";
    AVPacket* packet = av_packet_alloc();
    AVFrame* frame = av_frame_alloc();
    SwsContext* scaler = nullptr;
    for (bool more = true; more;) {
        more = av_read_frame(format, packet) >= 0;
        if (!more || packet->stream_index == index) avcodec_send_packet(decoder, more ? packet : nullptr);
        av_packet_unref(packet);
        while (avcodec_receive_frame(decoder, frame) == 0) {
            const int width = frame->width, height = frame->height;
            scaler = sws_getCachedContext(scaler, width, height, AVPixelFormat(frame->format), width, height,
                                          AV_PIX_FMT_RGBA, SWS_BILINEAR, nullptr, nullptr, nullptr);
            frames.emplace_back(std::size_t(width) * std::size_t(height) * 4);
            std::uint8_t* planes[1] = {frames.back().data()};
            const int strides[1] = {width * 4};
            sws_scale(scaler, frame->data, frame->linesize, 0, height, planes, strides);
        }
    }
    sws_freeContext(scaler);
    av_frame_free(&frame);
    av_packet_free(&packet);
    avcodec_free_context(&decoder);
    avformat_close_input(&format);
    return shape;
}

// Peak signal-to-noise ratio of two opaque RGBA pictures of one size, in dB.
double psnr(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b) {
    double squares = 0;
    for (std::size_t i = 0; i < a.size() && i < b.size(); ++i) squares += std::pow(double(a[i]) - double(b[i]), 2);
    return squares == 0 ? 99 : 10 * std::log10(255.0 * 255.0 * double(a.size()) / squares);
}

// The frames depend on the exact DejaVu faces: a missing one is named first.
class Presentation : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(testsupport::missing_font_package(testsupport::presentation_fonts()), ""); }
    testsupport::TempDir folder;
};

// The tour, recorded and exported, then replayed from the recording and exported again.
TEST_F(Presentation, TheTourShowsEveryScenePassingClicksThroughTransparentCornersAndReplaysFrameForFrame) {
    const std::string frames = folder.str() + "/frames", recording = folder.str() + "/recorded.input";
    const auto result = run_sceneplay({presentation(), "title", "--headless", "--input", reference("tour.input"),
                                       "--record", recording, "--snapshot", frames, "--snapshot-every", "15",
                                       "--verbose", "--export", folder.str() + "/tour.webm"});
    ASSERT_EQ(result.status, 0) << result.err;
    // The timer moves on by itself; the click on the circle's corner reaches the frame below (credits); the one on the
    // quit button's corner reaches only the background; the typed character does not end the last slide.
    EXPECT_EQ(result.out,
              "frame 0: scene \"title\"\nframe 151: scene \"menu\"\nframe 170: scene \"credits\"\n"
              "frame 180: scene \"menu\"\nframe 190: scene \"slide\"\nframe 200: scene \"credits\"\nframe 210: quit\n");
    EXPECT_TRUE(result.error_lines().empty()) << result.err;
    EXPECT_EQ(compare(frames, 150, reference("reference/title.png")), "");
    EXPECT_EQ(compare(frames, 165, reference("reference/menu_hover.png")), "");
    EXPECT_EQ(compare(frames, 195, reference("reference/slide.png")), "");
    // The quit at frame 210 ends the play: frame 209 is the last one shown.
    EXPECT_EQ(compare(frames, 209, reference("reference/credits.png")), "");

    EXPECT_NE(testsupport::read_file(recording).find("\n170 press 215 215 1\n"), std::string::npos);
    const auto replay =
        run_sceneplay({presentation(), "title", "--input", recording, "--snapshot", folder.str() + "/replayed",
                       "--snapshot-every", "15", "--verbose", "--export", folder.str() + "/tour.mp4"});
    ASSERT_EQ(replay.status, 0) << replay.err;
    EXPECT_EQ(replay.out, result.out);
    // Frames 0, 15, ..., 195 and the last, 209, the replay's alike byte for byte.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(frames), {}), 15);
    for (int frame : {0, 90, 195, 209})
        EXPECT_EQ(testsupport::read_file(frame_path(folder.str() + "/replayed", frame)),
                  testsupport::read_file(frame_path(frames, frame)))
            << frame;

    for (const char* name : {"tour.webm", "tour.mp4"}) {
        std::vector<std::vector<std::uint8_t>> decoded;
        EXPECT_EQ(decode(folder.str() + "/" + name, decoded), "800x600 at 30.000000 frames a second") << name;
        ASSERT_EQ(decoded.size(), 210u) << name;
        for (int shown : {0, 150, 195}) {
            const testsupport::RgbaImage expected = testsupport::read_png(frame_path(frames, shown));
            EXPECT_GT(psnr(decoded[std::size_t(shown)], expected.rgba), 30.0) << name << " frame " << shown;
        }
        // A frame of another moment differs by far more than the codec does.
        EXPECT_LT(psnr(decoded[150], decoded[195]), 25.0) << name;
    }
}

// Moving straight from one button onto another and then onto empty space leaves none lit; a scene shown again lights
// only a button under the pointer; the quit button ends the presentation.
TEST_F(Presentation, ButtonsAreLitExactlyWhileThePointerIsOverThemAndQuitEndsThePresentation) {
    const std::string unlit = folder.str() + "/unlit", frames = folder.str() + "/frames";
    const std::string to_menu = folder.write("menu.input", "0 key 32\n");
    ASSERT_EQ(run_sceneplay({presentation(), "title", "--input", to_menu, "--frames", "3", "--snapshot", unlit}).status,
              0);
    const std::string script = folder.write("hover.input",
                                            "2 move 300 300\n"  // on the title, where the menu's circle will be
                                            "3 key 32\n"        // the menu comes under the pointer
                                            "6 move 560 300\n"  // the quit button
                                            "7 move 300 300\n"  // straight from quit onto the circle above
                                            "8 move 700 100\n"  // onto empty space
                                            "10 move 300 300\n11 press 300 300 1\n"  // the slide
                                            "13 key 32\n"                            // the last slide
                                            "15 move 70 530\n16 press 70 530 1\n"    // back to the menu
                                            "17 press 560 300 1\n");                 // quit
    const auto result = run_sceneplay({presentation(), "title", "--input", script, "--frames", "30", "--snapshot",
                                       frames, "--snapshot-every", "1", "--verbose"});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out,
              "frame 0: scene \"title\"\nframe 3: scene \"menu\"\nframe 11: scene \"slide\"\n"
              "frame 13: scene \"credits\"\nframe 16: scene \"menu\"\nframe 17: exit\n");
    for (int frame : {5, 7}) EXPECT_EQ(compare(frames, frame, reference("reference/menu_hover.png")), "") << frame;
    for (int frame : {9, 16}) EXPECT_EQ(compare(frames, frame, frame_path(unlit, 2)), "") << frame;
}

}  // namespace
