#include "platform/imageloader/file_bytes.h"

#include <filesystem>
#include <fstream>

#include "services/fileio.h"

namespace imageloader {

namespace {

bool read_plain_file(const std::string& file, std::vector<std::uint8_t>& bytes, std::string& reason) {
    std::error_code error;
    const auto status = std::filesystem::status(file, error);
    if (error || !std::filesystem::exists(status)) {
        reason = "no such file";
        return false;
    }
    if (!std::filesystem::is_regular_file(status)) {
        reason = "not a regular file";
        return false;
    }
    const auto size = std::filesystem::file_size(file, error);
    if (error) {
        reason = "cannot read the file size: " + error.message();
        return false;
    }
    if (size > max_file_bytes) {
        reason = "file is larger than " + std::to_string(max_file_bytes) + " bytes";
        return false;
    }
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        reason = "cannot open the file";
        return false;
    }
    bytes.resize(std::size_t(size));
    in.read(reinterpret_cast<char*>(bytes.data()), std::streamsize(size));
    if (std::size_t(in.gcount()) != size) {
        bytes.clear();
        reason = "cannot read the whole file";
        return false;
    }
    return true;
}

}  // namespace

bool read_file_bytes(const std::string& file, const FileIO::FileManager* file_manager,
                     std::vector<std::uint8_t>& bytes, std::string& reason) {
    bytes.clear();
    if (file.empty()) {
        reason = "no file name given";
        return false;
    }
    if (!file_manager) return read_plain_file(file, bytes, reason);
    if (file_manager->read(file, bytes, reason)) return true;
    bytes.clear();
    return false;
}

}  // namespace imageloader
