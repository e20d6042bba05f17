#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace fileio {

// Files above this size are refused before they are read: nothing the
// services load needs more, and reading it would only exhaust memory.
inline constexpr std::uint64_t max_file_bytes = 1ull << 30;

// Reads the whole regular file at path; every service that loads a file reads
// it here. Files above max_bytes, folders, devices and pipes are refused (a
// pipe would block the host). With follow_links false a link as the last
// component is refused too. On failure bytes is empty and reason says why in
// a few words ("is a folder, not a file").
bool read_whole_file(const std::string& path, std::vector<std::uint8_t>& bytes, std::string& reason,
                     std::uint64_t max_bytes = max_file_bytes, bool follow_links = true);

// read_whole_file with the error as one line "shown: reason", shown being the
// name the caller knows the file by.
bool read_regular_file(const std::string& path, const std::string& shown, std::vector<std::uint8_t>& bytes,
                       std::string& error, bool follow_links = true);

}  // namespace fileio
