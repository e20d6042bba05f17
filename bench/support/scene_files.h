#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

// Files the benchmarks make for themselves: pictures and scene files of any
// size, in a folder of their own that disappears with the program.
namespace bench {

class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::string str() const { return path_.string(); }
    // Writes bytes to a file below the folder; returns the full path.
    std::string write(const std::string& relative, const std::string& bytes) const;
    std::string write(const std::string& relative, const std::vector<std::uint8_t>& bytes) const;

private:
    std::filesystem::path path_;
};

// RGBA pixels (rows of width * 4 bytes) as PNG bytes; empty on failure.
std::vector<std::uint8_t> encode_png(int width, int height, const std::vector<std::uint8_t>& rgba);

// RGBA pixels with smooth colour gradients and every alpha from clear to
// opaque: compresses like a drawn picture and exercises every blending path.
std::vector<std::uint8_t> gradient_rgba(int width, int height, std::uint32_t seed);

// Where picture i of a generated scene stands and on which z_level; the
// plain loops of the benchmarks use the same values.
struct PicturePlacement {
    std::string name;
    float x = 0, y = 0;
    int z_level = 0;
};
PicturePlacement picture_placement(int index);

// A scene file whose count objects are pictures of the same file, each at
// picture_placement(i).
std::string picture_scene_yaml(int count, const std::string& picture_file);
// The same, object i showing the file picture_file_of(i).
std::string picture_scene_yaml(int count, const std::function<std::string(int)>& picture_file_of);
// A scene list of one preloaded (or not) scene.
std::string scene_list_yaml(const std::string& scene_name, const std::string& scene_file, bool preload);

// Reads a whole file; empty when it cannot.
std::string read_file(const std::string& path);

}  // namespace bench
