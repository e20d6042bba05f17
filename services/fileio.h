#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "services/export.h"

namespace FileIO {

// The host's file layer: reads files below one root folder and nowhere else.
// Paths are relative to the root. Absolute paths, paths through "..", and links
// that lead out of the root are refused with a text that names the path.
// The library only hands a FileManager* on to the services; it never calls it.
class SERVICE_API FileManager {
public:
    explicit FileManager(std::string root);
    virtual ~FileManager();

    // Reads the whole file into bytes. On failure returns false, leaves bytes
    // empty and puts a one-line reason naming the path into error.
    virtual bool read(const std::string& path, std::vector<std::uint8_t>& bytes, std::string& error) const;

    // The absolute, canonical root folder (empty when the root does not exist).
    const std::string& get_root() const { return root_; }

    // Resolves a path below the root to an absolute path without reading it.
    // Same refusals as read().
    bool resolve(const std::string& path, std::string& absolute, std::string& error) const;

private:
    std::string root_;
};

}  // namespace FileIO
