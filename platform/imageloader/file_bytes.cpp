#include "platform/imageloader/file_bytes.h"

#include "platform/fileio/file_reading.h"
#include "services/fileio.h"

namespace imageloader {

bool read_file_bytes(const std::string& file, const FileIO::FileManager* file_manager,
                     std::vector<std::uint8_t>& bytes, std::string& reason) {
    bytes.clear();
    if (file.empty()) {
        reason = "no file name given";
        return false;
    }
    if (!file_manager) return fileio::read_whole_file(file, bytes, reason, max_file_bytes);
    if (file_manager->read(file, bytes, reason)) return true;
    bytes.clear();
    return false;
}

}  // namespace imageloader
