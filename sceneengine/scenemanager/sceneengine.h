#pragma once

#include <string>
#include <vector>

#include "services/export.h"

namespace FileIO { class FileManager; }
class Scene;

// The library's entry points. Call init, then load_scenes (once or more), then
// process_scene, all on one thread.

// Registers the built-in kinds, names the eight global input signals after the
// video device and turns on the device's switches.
SCENEENGINE_API void init(std::string video_name);

// Reads a scene list and makes one scene per entry. The file manager must live
// as long as scenes may still load. True when the whole list was read.
SCENEENGINE_API bool load_scenes(std::string list_file, std::string video_name, FileIO::FileManager* file_manager);

// The scene stored under name, or null. The library keeps ownership.
SCENEENGINE_API Scene* get_scene(std::string name);

// Runs the frame loop from the scene named, until "exit", a quit event, or a
// scene that fails to load or draw.
SCENEENGINE_API void process_scene(std::string first_scene);

// Asks the frame loop to show another scene (or "exit") at its next switch check.
SCENEENGINE_API void set_next_scene(std::string name);

// The scene names of the list load_scenes read last, in list order (empty
// before any list), for hosts that follow what plays; get_scene gives each
// scene and its file.
SCENEENGINE_API std::vector<std::string> get_scene_names();

// Deletes scene and the objects it holds, which the scene does not own: it is
// deactivated first, and each object's connections and slots leave the bus
// before the object is deleted. For scenes a host made itself; null does
// nothing. The scenes of the list go with release_scenes.
SCENEENGINE_API void delete_scene(Scene* scene);

// Deletes every scene of the list's table with its objects and empties the
// table, for a host at the end of its run. False, with nothing deleted, while
// a frame loop runs.
SCENEENGINE_API bool release_scenes();
