#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace player {

// Writes presented frames as a video file that browsers play: WebM with VP9
// (".webm"), MP4 with H.264 (".mp4") or an animated WebP image (".webp"),
// encoded through FFmpeg's libraries at a fixed frame rate. The file is written under a temporary name beside the
// one asked for and renamed only by finish(), so an export that fails or is
// abandoned leaves nothing under that name.
class VideoExport {
public:
    // Why path cannot take an export, or "" when it can: its extension names
    // no supported container, or its folder does not exist.
    static std::string path_problem(const std::string& path);

    // Starts an export of width x height frames at fps a second (width and
    // height even). Null with error set when the encoder cannot start.
    static std::unique_ptr<VideoExport> start(const std::string& path, int width, int height, int fps,
                                              std::string& error);
    ~VideoExport();
    VideoExport(const VideoExport&) = delete;
    VideoExport& operator=(const VideoExport&) = delete;

    // Encodes one frame of width x height words 0xAARRGGBB, rows top to
    // bottom. False with error() set when encoding or writing fails.
    bool add_frame(const std::uint32_t* words);
    // Flushes the encoder, closes the file and gives it its name.
    bool finish();
    std::int64_t frames() const { return frames_; }
    const std::string& error() const { return error_; }

private:
    struct Codec;
    explicit VideoExport(std::string path);
    bool open(int width, int height, int fps);
    bool drain(bool flushing);
    bool fail(const std::string& what, int code);

    std::string path_, temporary_;
    std::unique_ptr<Codec> codec_;
    std::int64_t frames_ = 0;
    bool finished_ = false;
    std::string error_;
};

}  // namespace player
