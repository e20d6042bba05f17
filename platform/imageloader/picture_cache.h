#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "services/video.h"

namespace FileIO { class FileManager; }

namespace imageloader {

// Which picture a load asks for: the file as the caller names it, below which
// file layer (its root too: another manager may later be made at the same
// address), read by which loader ("" chooses by content).
struct PictureSource {
    const FileIO::FileManager* file_manager = nullptr;
    std::string root;
    std::string file;
    std::string loader;
    bool operator==(const PictureSource&) const = default;
};

struct Picture {
    int width = 0;
    int height = 0;
    Video_Pixels pixels;
};

// Pictures decoded before, so that objects showing the same file share one
// decoded copy. A file is read once per scene load: a scene load starts by
// creating the configuration named after the scene, so while that creation
// is the last one and the picture's scene has its name, what was read since
// is still taken as the file's content. Outside such a load every use reads
// the file again, and a picture is decoded again only when the bytes differ
// from the ones it was decoded from. When a new load starts, the pictures no
// device image shows any more are forgotten.
//
// Not thread safe: one thread loads at a time.
class PictureCache {
public:
    // Starts a use for an image of scene; returns the load it belongs to
    // (0: none known).
    std::uint64_t begin_use(const std::string& scene);
    // The picture, when its file was read during the load under way.
    bool find_read_in_load(const PictureSource& source, std::uint64_t load, Picture& picture);
    // The picture, when it was decoded from exactly these bytes.
    bool find_same_bytes(const PictureSource& source, const std::vector<std::uint8_t>& bytes, std::uint64_t load,
                         Picture& picture);
    // Keeps a picture just decoded from bytes, replacing the source's last one.
    void remember(const PictureSource& source, std::vector<std::uint8_t> bytes, std::uint64_t load,
                  const Picture& picture);

private:
    struct SourceHash {
        std::size_t operator()(const PictureSource& source) const;
    };
    struct Entry {
        std::vector<std::uint8_t> bytes;  // what the picture was decoded from
        Picture picture;
        std::uint64_t load = 0;  // the load that last read the file
    };

    std::unordered_map<PictureSource, Entry, SourceHash> entries_;
    std::uint64_t last_load_ = 0;
};

PictureCache& picture_cache();

}  // namespace imageloader
