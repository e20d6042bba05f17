#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace FileIO { class FileManager; }

namespace imageloader {

// Files above this size are refused before they are read: no picture within
// the pixel budget needs more.
inline constexpr std::uintmax_t max_file_bytes = 512ull * 1024 * 1024;

// Reads a whole file through file_manager, or straight from the file system
// when it is null. False with a one-line reason on failure.
bool read_file_bytes(const std::string& file, const FileIO::FileManager* file_manager,
                     std::vector<std::uint8_t>& bytes, std::string& reason);

}  // namespace imageloader
