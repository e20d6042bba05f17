#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "services/fileio.h"

namespace player {

// The player's file layer: reads below its root exactly like
// FileIO::FileManager, except that one path at a time may be served from
// memory instead, while an Overlay returned by serve() lives.
//
// --watch needs this twice: the library loads a scene from exactly the bytes
// the player checked (the file may change again in between), and load_scenes
// is handed a list of only the scenes it does not hold yet.
class OverlayFiles : public FileIO::FileManager {
public:
    explicit OverlayFiles(std::string root);

    // Ends serving from memory when it goes. Movable, not copyable.
    class Overlay {
    public:
        Overlay(Overlay&& other) noexcept : files_(other.files_) { other.files_ = nullptr; }
        Overlay(const Overlay&) = delete;
        Overlay& operator=(const Overlay&) = delete;
        Overlay& operator=(Overlay&&) = delete;
        ~Overlay();

    private:
        friend class OverlayFiles;
        explicit Overlay(OverlayFiles* files) : files_(files) {}
        OverlayFiles* files_;
    };

    // Reads of path (compared as written, the way the library passes it on)
    // answer bytes until the overlay goes. One overlay at a time.
    [[nodiscard]] Overlay serve(std::string path, std::vector<std::uint8_t> bytes);

    bool read(const std::string& path, std::vector<std::uint8_t>& bytes, std::string& error) const override;

    // Reads from the disk even while an overlay serves the path.
    bool read_disk(const std::string& path, std::vector<std::uint8_t>& bytes, std::string& error) const;

private:
    bool serving_ = false;
    std::string served_path_;
    std::vector<std::uint8_t> served_bytes_;
};

}  // namespace player
