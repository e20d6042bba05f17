#include "player/export/video_export.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <system_error>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/error.h>
#include <libavutil/frame.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

namespace player {
namespace fs = std::filesystem;

namespace {

struct Container {
    const char* extension;
    const char* format;   // libavformat's muxer
    const char* encoder;  // libavcodec's encoder
};
// VP9 in WebM and H.264 in MP4: what every current browser plays; an
// animated WebP is an image, which pages and READMEs show inline.
constexpr Container containers[] = {
    {".webm", "webm", "libvpx-vp9"}, {".mp4", "mp4", "libx264"}, {".webp", "webp", "libwebp_anim"}};

const Container* container_of(const std::string& path) {
    std::string extension = fs::path(path).extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    for (const Container& container : containers)
        if (extension == container.extension) return &container;
    return nullptr;
}

// 4:2:0 YUV, which every player decodes, where the encoder takes it.
AVPixelFormat pixel_format_of(const AVCodec* encoder) {
    for (const AVPixelFormat* format = encoder->pix_fmts; format && *format != AV_PIX_FMT_NONE; ++format)
        if (*format == AV_PIX_FMT_YUV420P) return *format;
    return encoder->pix_fmts ? encoder->pix_fmts[0] : AV_PIX_FMT_YUV420P;
}

std::string av_text(int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

}  // namespace

struct VideoExport::Codec {
    AVFormatContext* format = nullptr;
    AVCodecContext* encoder = nullptr;
    AVStream* stream = nullptr;
    AVFrame* frame = nullptr;
    AVPacket* packet = nullptr;
    SwsContext* scaler = nullptr;
    int width = 0, height = 0;

    ~Codec() {
        sws_freeContext(scaler);
        av_packet_free(&packet);
        av_frame_free(&frame);
        avcodec_free_context(&encoder);
        if (format && format->pb) avio_closep(&format->pb);
        avformat_free_context(format);
    }
};

std::string VideoExport::path_problem(const std::string& path) {
    if (!container_of(path))
        return "--export wants a file ending in .webm (VP9), .mp4 (H.264) or .webp (animated image), not \"" +
               path + "\"";
    const fs::path folder = fs::path(path).has_parent_path() ? fs::path(path).parent_path() : fs::path(".");
    std::error_code error;
    if (!fs::is_directory(folder, error)) return "--export: the folder \"" + folder.string() + "\" does not exist";
    if (fs::is_directory(path, error)) return "--export: \"" + path + "\" is a folder";
    return "";
}

VideoExport::VideoExport(std::string path)
    : path_(std::move(path)), temporary_(path_ + ".part" + fs::path(path_).extension().string()),
      codec_(std::make_unique<Codec>()) {}

VideoExport::~VideoExport() {
    codec_.reset();  // closes the file before it is removed
    std::error_code ignored;
    if (!finished_) fs::remove(temporary_, ignored);
}

std::unique_ptr<VideoExport> VideoExport::start(const std::string& path, int width, int height, int fps,
                                                std::string& error) {
    error = path_problem(path);
    if (!error.empty()) return nullptr;
    if (width % 2 || height % 2) {
        error = "--export needs an even width and height (the video stores colour at half resolution), not " +
                std::to_string(width) + "x" + std::to_string(height);
        return nullptr;
    }
    av_log_set_level(AV_LOG_ERROR);  // the encoders' statistics are no news for the user
    std::unique_ptr<VideoExport> video(new VideoExport(path));
    if (!video->open(width, height, fps)) {
        error = video->error_;
        return nullptr;
    }
    return video;
}

bool VideoExport::fail(const std::string& what, int code) {
    error_ = "cannot export \"" + path_ + "\": " + what + (code < 0 ? ": " + av_text(code) : "");
    return false;
}

bool VideoExport::open(int width, int height, int fps) {
    const Container& container = *container_of(path_);
    Codec& c = *codec_;
    c.width = width, c.height = height;
    int status = avformat_alloc_output_context2(&c.format, nullptr, container.format, temporary_.c_str());
    if (status < 0 || !c.format) return fail("no muxer", status);
    const AVCodec* encoder = avcodec_find_encoder_by_name(container.encoder);
    if (!encoder) return fail(std::string("FFmpeg has no encoder ") + container.encoder, 0);
    c.stream = avformat_new_stream(c.format, nullptr);
    c.encoder = avcodec_alloc_context3(encoder);
    c.frame = av_frame_alloc();
    c.packet = av_packet_alloc();
    if (!c.stream || !c.encoder || !c.frame || !c.packet) return fail("out of memory", AVERROR(ENOMEM));

    c.encoder->width = width;
    c.encoder->height = height;
    c.encoder->time_base = AVRational{1, fps};
    c.encoder->framerate = AVRational{fps, 1};
    c.encoder->pix_fmt = pixel_format_of(encoder);
    c.encoder->gop_size = fps * 2;  // a key frame every two seconds, for seeking
    if (c.format->oformat->flags & AVFMT_GLOBALHEADER) c.encoder->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    // Slides are mostly still: a constant quality keeps text sharp at a small size.
    if (encoder->id == AV_CODEC_ID_VP9) {
        av_opt_set(c.encoder->priv_data, "deadline", "realtime", 0);
        av_opt_set_int(c.encoder->priv_data, "cpu-used", 8, 0);
        av_opt_set_int(c.encoder->priv_data, "crf", 30, 0);
        av_opt_set_int(c.encoder->priv_data, "row-mt", 1, 0);
        c.encoder->bit_rate = 0;
    } else if (encoder->id == AV_CODEC_ID_H264) {
        av_opt_set(c.encoder->priv_data, "preset", "veryfast", 0);
        av_opt_set(c.encoder->priv_data, "crf", "20", 0);
    } else {
        av_opt_set_int(c.encoder->priv_data, "lossless", 0, 0);
        c.encoder->global_quality = 60 * FF_QP2LAMBDA;  // WebP quality 60
    }
    if ((status = avcodec_open2(c.encoder, encoder, nullptr)) < 0) return fail("the encoder does not start", status);
    if ((status = avcodec_parameters_from_context(c.stream->codecpar, c.encoder)) < 0)
        return fail("the stream cannot be described", status);
    c.stream->time_base = c.encoder->time_base;
    c.stream->avg_frame_rate = c.encoder->framerate;

    c.frame->format = c.encoder->pix_fmt;
    c.frame->width = width;
    c.frame->height = height;
    if ((status = av_frame_get_buffer(c.frame, 0)) < 0) return fail("out of memory", status);
    // Frame words 0xAARRGGBB lie in memory as B, G, R, A.
    c.scaler = sws_getContext(width, height, AV_PIX_FMT_BGRA, width, height, c.encoder->pix_fmt, SWS_BILINEAR,
                              nullptr, nullptr, nullptr);
    if (!c.scaler) return fail("no colour conversion", 0);

    if ((status = avio_open(&c.format->pb, temporary_.c_str(), AVIO_FLAG_WRITE)) < 0)
        return fail("cannot write \"" + temporary_ + "\"", status);
    AVDictionary* options = nullptr;
    av_dict_set(&options, "movflags", "faststart", 0);  // MP4: playable while it downloads
    av_dict_set(&options, "loop", "0", 0);              // WebP: loops for ever, as animated images do
    status = avformat_write_header(c.format, &options);
    av_dict_free(&options);
    if (status < 0) return fail("cannot write the header", status);
    return true;
}

bool VideoExport::drain(bool flushing) {
    Codec& c = *codec_;
    for (;;) {
        const int status = avcodec_receive_packet(c.encoder, c.packet);
        if (status == AVERROR(EAGAIN) || (flushing && status == AVERROR_EOF)) return true;
        if (status < 0) return fail("encoding failed", status);
        av_packet_rescale_ts(c.packet, c.encoder->time_base, c.stream->time_base);
        c.packet->stream_index = c.stream->index;
        const int written = av_interleaved_write_frame(c.format, c.packet);
        if (written < 0) return fail("cannot write a frame", written);
    }
}

bool VideoExport::add_frame(const std::uint32_t* words) {
    if (!error_.empty() || finished_) return false;
    Codec& c = *codec_;
    int status = av_frame_make_writable(c.frame);
    if (status < 0) return fail("out of memory", status);
    const auto* source = reinterpret_cast<const std::uint8_t*>(words);
    const int source_stride = c.width * 4;
    sws_scale(c.scaler, &source, &source_stride, 0, c.height, c.frame->data, c.frame->linesize);
    c.frame->pts = frames_++;
    if ((status = avcodec_send_frame(c.encoder, c.frame)) < 0) return fail("encoding failed", status);
    return drain(false);
}

bool VideoExport::finish() {
    if (!error_.empty() || finished_) return error_.empty();
    Codec& c = *codec_;
    int status = avcodec_send_frame(c.encoder, nullptr);
    if (status < 0) return fail("encoding failed", status);
    if (!drain(true)) return false;
    if ((status = av_write_trailer(c.format)) < 0) return fail("cannot finish the file", status);
    if ((status = avio_closep(&c.format->pb)) < 0) return fail("cannot close the file", status);
    std::error_code error;
    fs::rename(temporary_, path_, error);
    if (error) return fail("cannot rename \"" + temporary_ + "\": " + error.message(), 0);
    finished_ = true;
    return true;
}

}  // namespace player
