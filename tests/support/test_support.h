#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "services/signals.h"
#include "services/video.h"

namespace testsupport {

// A slot that runs a function: lets a test react to a signal inline.
class FunctionSlot : public AbstractSlot {
public:
    explicit FunctionSlot(std::function<void(SlotArgs*)> body) : body_(std::move(body)) {}
    bool call(SlotArgs* args) override { return body_(args), true; }

private:
    std::function<void(SlotArgs*)> body_;
};

// A fresh folder under the system's temporary folder, removed with everything in it when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::string str() const { return path_.string(); }
    // Write a file below the folder, making folders as needed; return its full path.
    std::string write(const std::string& relative, const std::string& content) const {
        return write_bytes(relative, std::vector<std::uint8_t>(content.begin(), content.end()));
    }
    std::string write_bytes(const std::string& relative, const std::vector<std::uint8_t>& bytes) const;

private:
    std::filesystem::path path_;
};

// Captures what is written to std::cerr while it lives.
class StderrCapture {
public:
    StderrCapture();
    ~StderrCapture();
    StderrCapture(const StderrCapture&) = delete;
    StderrCapture& operator=(const StderrCapture&) = delete;
    std::string text() const { return buffer_.str(); }
    std::vector<std::string> lines() const;  // a last line without newline is kept
    void clear() { buffer_.str(""); }

private:
    std::ostringstream buffer_;
    std::streambuf* previous_;
};

inline bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// The whole file; empty when it cannot be read.
std::string read_file(const std::string& path);

// A device image's pixels, row after row; empty for no image.
std::vector<std::uint32_t> image_pixels(const Video_Image* image);

// Decoded RGBA pixels of a PNG file (rows of width * 4 bytes), or why the file could not be read or decoded.
struct RgbaImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgba;
    std::string error;
    std::uint32_t at(int x, int y) const;  // red, green, blue, alpha of one pixel
};
RgbaImage read_png(const std::string& path);
std::vector<std::uint8_t> encode_png(int width, int height, const std::vector<std::uint8_t>& rgba);  // for fixtures

// Empty when two PNG files show the same picture, each channel within 2 (rounding differences between builds of the
// font rasteriser and compositing; a misplaced object or glyph differs by far more); otherwise what differs.
std::string compare_pictures(const std::string& actual_path, const std::string& expected_path);

}  // namespace testsupport
