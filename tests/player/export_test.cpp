// sceneplay --export: the tour written as a video decodes back, through the
// same FFmpeg libraries, to the frames the headless run showed. (Refused
// names and a failed play leaving no file: sceneplay_cli_test.cpp.)
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <memory>

#include "player/frame_device.h"
#include "tests/player/sceneplay_run.h"
#include "tests/support/test_support.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}

namespace {

struct Decoded {
    int width = 0, height = 0;
    AVRational rate{0, 1};
    std::vector<std::vector<std::uint8_t>> frames;  // RGBA
};

// Decodes every frame of a video file into RGBA; "" or why it could not.
std::string decode(const std::string& path, Decoded& video) {
    AVFormatContext* format = nullptr;
    if (avformat_open_input(&format, path.c_str(), nullptr, nullptr) < 0) return "cannot open " + path;
    std::unique_ptr<AVFormatContext, void (*)(AVFormatContext*)> closer(
        format, [](AVFormatContext* f) { avformat_close_input(&f); });
    if (avformat_find_stream_info(format, nullptr) < 0) return "no stream info";
    const AVCodec* codec = nullptr;
    const int index = av_find_best_stream(format, AVMEDIA_TYPE_VIDEO, -1, -1, &codec, 0);
    if (index < 0 || !codec) return "no video stream";
    std::unique_ptr<AVCodecContext, void (*)(AVCodecContext*)> decoder(
        avcodec_alloc_context3(codec), [](AVCodecContext* c) { avcodec_free_context(&c); });
    avcodec_parameters_to_context(decoder.get(), format->streams[index]->codecpar);
    if (avcodec_open2(decoder.get(), codec, nullptr) < 0) return "decoder does not open";
    video.width = decoder->width, video.height = decoder->height;
    video.rate = format->streams[index]->avg_frame_rate;
    AVPacket* packet = av_packet_alloc();
    AVFrame* frame = av_frame_alloc();
    SwsContext* scaler = nullptr;
    auto take_frames = [&] {
        while (avcodec_receive_frame(decoder.get(), frame) == 0) {
            scaler =
                sws_getCachedContext(scaler, frame->width, frame->height, AVPixelFormat(frame->format), frame->width,
                                     frame->height, AV_PIX_FMT_RGBA, SWS_BILINEAR, nullptr, nullptr, nullptr);
            std::vector<std::uint8_t> rgba(std::size_t(frame->width) * std::size_t(frame->height) * 4);
            std::uint8_t* planes[1] = {rgba.data()};
            const int strides[1] = {frame->width * 4};
            sws_scale(scaler, frame->data, frame->linesize, 0, frame->height, planes, strides);
            video.frames.push_back(std::move(rgba));
        }
    };
    while (av_read_frame(format, packet) >= 0) {
        if (packet->stream_index == index && avcodec_send_packet(decoder.get(), packet) == 0) take_frames();
        av_packet_unref(packet);
    }
    avcodec_send_packet(decoder.get(), nullptr);
    take_frames();
    sws_freeContext(scaler);
    av_frame_free(&frame);
    av_packet_free(&packet);
    return "";
}

// Peak signal-to-noise ratio of the colour channels, in dB.
double psnr(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b) {
    double squares = 0;
    std::size_t count = 0;
    for (std::size_t i = 0; i < a.size() && i < b.size(); ++i) {
        if (i % 4 == 3) continue;
        const double d = double(a[i]) - double(b[i]);
        squares += d * d;
        ++count;
    }
    return squares == 0 ? 99 : 10 * std::log10(255.0 * 255.0 * double(count) / squares);
}

TEST(Export, TheTourDecodesBackToTheHeadlessFramesAtItsRateAndSize) {
    testsupport::TempDir folder;
    for (const char* name : {"tour.webm", "tour.mp4"}) {
        const std::string video = folder.str() + "/" + name, frames = folder.str() + "/frames";
        const auto result = playertest::run_sceneplay(
            {playertest::presentation(), "title", "--input", playertest::source_dir() + "/tests/player/tour.input",
             "--export", video, "--snapshot", frames, "--snapshot-every", "50"});
        ASSERT_EQ(result.status, 0) << result.err;
        Decoded decoded;
        ASSERT_EQ(decode(video, decoded), "") << name;
        EXPECT_EQ(decoded.width, 800);
        EXPECT_EQ(decoded.height, 600);
        EXPECT_EQ(decoded.rate.num, 30 * decoded.rate.den) << name;
        // The quit at frame 210 ends the tour: frames 0 to 209 were presented.
        ASSERT_EQ(decoded.frames.size(), 210u) << name;
        for (int shown : {0, 100, 150, 200}) {
            testsupport::RgbaImage expected;
            std::string error;
            ASSERT_TRUE(
                testsupport::read_png(frames + "/" + player::FrameDevice::snapshot_name(shown), expected, error))
                << error;
            EXPECT_GT(psnr(decoded.frames[std::size_t(shown)], expected.rgba), 30.0) << name << " frame " << shown;
        }
        // A frame of another moment differs by far more than the codec does.
        EXPECT_LT(psnr(decoded.frames[150], decoded.frames[200]), 25.0) << name;
        std::filesystem::remove_all(frames);
    }
}

}  // namespace
