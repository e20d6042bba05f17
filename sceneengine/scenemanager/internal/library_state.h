#pragma once

#include <string>
#include <vector>

#include "sceneengine/scenemanager/storage.h"
#include "services/signals.h"

namespace FileIO { class FileManager; }
class Scene;

// The eight input signals of the library, named after the video device by
// init. The event pump raises all but activate and deactivate.
struct InputSignals {
    Signal activate;
    Signal deactivate;
    Signal mouse_press;
    Signal mouse_release;
    Signal mouse_move;
    Signal keyboard_press;
    Signal keyboard_release;
    Signal character;
};

// Everything the five entry points share. One object for the whole process,
// made on first use and destroyed when the library is unloaded.
struct LibraryState {
    // Scenes by name. Holds the pointers without owning them: the only place
    // that destroys a scene is load_scenes, when a later entry reuses a name.
    Storage<std::string, Scene*> scenes;
    std::string video_name;
    // Given to every scene that load_scenes makes and to every scene the
    // frame loop loads later; replaced by each load_scenes call.
    FileIO::FileManager* file_manager = nullptr;
    InputSignals input;
    // The names of the list load_scenes read last, in list order.
    std::vector<std::string> listed_scenes;
    std::string current_scene;
    std::string next_scene;
    // The scene each running frame loop holds, the innermost loop last (a
    // process_scene called from a slot nests). load_scenes refuses to destroy
    // any of them, so no loop and no bus call ever sees a freed scene.
    std::vector<Scene*> shown_scenes;
};

LibraryState& library_state();

// Registers the built-in object kinds and the "generic" scene kind.
void register_builtin_fabrics();

// Polls the library's video device exactly 1000 times and raises the input
// signal of every event polled; a quit event sets the next scene to "exit"
// and ends the polling. The polling also ends, silently, when a slot it
// called has taken the device out of the registry.
void pump_events(LibraryState& state);
