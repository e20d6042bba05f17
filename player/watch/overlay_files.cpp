#include "player/watch/overlay_files.h"

#include <utility>

namespace player {

OverlayFiles::OverlayFiles(std::string root) : FileIO::FileManager(std::move(root)) {}

OverlayFiles::Overlay::~Overlay() {
    if (!files_) return;
    files_->serving_ = false;
    files_->served_path_.clear();
    files_->served_bytes_.clear();
}

OverlayFiles::Overlay OverlayFiles::serve(std::string path, std::vector<std::uint8_t> bytes) {
    serving_ = true;
    served_path_ = std::move(path);
    served_bytes_ = std::move(bytes);
    return Overlay(this);
}

bool OverlayFiles::read(const std::string& path, std::vector<std::uint8_t>& bytes, std::string& error) const {
    if (serving_ && path == served_path_) {
        bytes = served_bytes_;
        return true;
    }
    return read_disk(path, bytes, error);
}

bool OverlayFiles::read_disk(const std::string& path, std::vector<std::uint8_t>& bytes, std::string& error) const {
    return FileIO::FileManager::read(path, bytes, error);
}

}  // namespace player
