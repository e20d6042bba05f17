#include <algorithm>
#include <filesystem>
#include <string_view>

#include "platform/fileio/file_reading.h"
#include "services/fileio.h"

namespace FileIO {

namespace {

namespace fs = std::filesystem;

bool has_parent_component(std::string_view path) {
    std::size_t start = 0;
    while (start <= path.size()) {
        const std::size_t end = std::min(path.find('/', start), path.size());
        if (path.substr(start, end - start) == "..") return true;
        start = end + 1;
    }
    return false;
}

bool lies_below(const std::string& location, const std::string& root) {
    if (location == root) return true;
    const std::string folder = root.back() == '/' ? root : root + "/";
    return location.compare(0, folder.size(), folder) == 0;
}

}  // namespace

FileManager::FileManager(std::string root) {
    std::error_code error;
    if (root.empty()) return;
    const fs::path canonical = fs::canonical(root, error);
    if (!error && fs::is_directory(canonical, error) && !error) root_ = canonical.string();
}

FileManager::~FileManager() = default;

bool FileManager::resolve(const std::string& path, std::string& absolute, std::string& error) const {
    absolute.clear();
    if (root_.empty()) {
        error = path + ": refused, the file manager has no root folder (it did not exist when the manager was made)";
        return false;
    }
    if (path.empty()) {
        error = "empty path refused (paths are relative to " + root_ + ")";
        return false;
    }
    if (path.find('\0') != std::string::npos) {
        error = "path with a NUL byte refused";
        return false;
    }
    if (path.front() == '/') {
        error = path + ": absolute paths are refused (paths are relative to " + root_ + ")";
        return false;
    }
    if (has_parent_component(path)) {
        error = path + ": paths through \"..\" are refused";
        return false;
    }
    std::error_code failure;
    const fs::path location = fs::canonical(fs::path(root_) / path, failure);
    if (failure) {
        error = path + ": " + failure.message();
        return false;
    }
    if (!lies_below(location.string(), root_)) {
        error = path + ": refused, a link leads outside " + root_;
        return false;
    }
    if (fs::is_directory(location, failure)) {
        error = path + ": is a folder, not a file";
        return false;
    }
    absolute = location.string();
    return true;
}

bool FileManager::read(const std::string& path, std::vector<std::uint8_t>& bytes, std::string& error) const {
    bytes.clear();
    std::string absolute;
    if (!resolve(path, absolute, error)) return false;
    // The canonical path holds no link; refusing one at open time keeps a
    // link swapped in meanwhile from leading out of the root.
    return fileio::read_regular_file(absolute, path, bytes, error, false);
}

}  // namespace FileIO
