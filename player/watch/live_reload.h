#pragma once

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "player/watch/folder_watch.h"

class Scene;

namespace player {

class OverlayFiles;

// sceneplay --watch: follows the scene list and the scene files on disk while
// the presentation plays, and brings the changes onto the screen between two
// frames.
//
//  - The file of a loaded scene changed: the scene is loaded again in place
//    (reload_scene) from the new content; the one on screen shows it from the
//    next frame on, one off screen when it is switched to. Content that does
//    not parse (tried first in a scratch configuration) or cannot be read
//    leaves the scene as it is, with one line saying so. A scene not loaded
//    yet reads the new content when first shown.
//  - The list changed: its entries whose names the library does not hold
//    yet become scenes (load_scenes is served a list of only those). Scenes
//    held already stay as they are, the one on screen too.
//
// A file counts as changed only when its content differs from what was last
// seen, so saving the same content again, or several events for one save,
// do nothing; and each problem is told once per change.
class LiveReload {
public:
    struct Setup {
        OverlayFiles* files = nullptr;  // the layer the library reads through; must outlive this
        std::string list;               // the scene list, as given to load_scenes
        std::string video_name;         // as given to load_scenes
        std::ostream* report = nullptr; // one line per change ("frame N: ..."); null: silent
        std::ostream* errors = nullptr; // problems, one line each
        std::function<std::int64_t()> frame;                      // the frame being drawn next
        std::function<void(const std::string& scene)> scene_added; // a scene joined the table
        std::function<void()> shown_reloaded;  // the scene on screen has new objects (or reloaded old ones)
    };

    explicit LiveReload(Setup setup);
    LiveReload(const LiveReload&) = delete;
    LiveReload& operator=(const LiveReload&) = delete;

    // Notes the list and the files of the scenes the library holds (as the
    // list it read last names them) and starts watching their folders. False
    // with a reason when the system offers no file watching; a folder that
    // cannot be watched is only told on the error stream.
    bool start(std::string& error);

    // Acts on what changed since the last call. shown is the scene on screen.
    // Runs between frames, never while the library draws or dispatches.
    void poll(const std::string& shown);

private:
    struct Content {
        bool readable = false;
        std::vector<std::uint8_t> bytes;
        std::string error;  // why it could not be read
        bool operator==(const Content&) const = default;
    };

    Content read(const std::string& file) const;
    void track_file(const std::string& file);
    void track_scene(const std::string& scene, const std::string& file);
    bool refresh(const std::string& file);
    void list_changed();
    void scene_file_changed(const std::string& file, const std::string& shown);
    void reload(Scene& scene, bool on_screen);
    void tell(const std::string& line) const;
    void complain(const std::string& line) const;

    Setup setup_;
    FolderWatch watch_;
    std::map<std::string, Content> files_;                      // file -> content last seen
    std::map<std::string, std::set<std::string>> locations_;    // absolute location -> files
    std::map<std::string, std::string> scene_files_;            // scene -> its file
    std::map<std::string, std::vector<std::uint8_t>> loaded_from_;  // scene -> content it last loaded whole
};

}  // namespace player
