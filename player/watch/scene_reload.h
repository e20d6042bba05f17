#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class Scene;

namespace player {

class OverlayFiles;

// What reload_scene did.
struct SceneReload {
    enum class Result {
        reloaded,  // the scene now holds the objects of the new content
        restored,  // an object of the new content did not load; the previous content was loaded again
        partial,   // neither loaded whole: the scene holds the objects that did load
    };
    Result result = Result::reloaded;
    std::size_t objects = 0;            // objects the scene holds now
    std::vector<std::string> added;     // names it holds now and did not before
    std::vector<std::string> removed;   // names it held before and does not now
};

// Loads a scene again, in place, from content (the bytes of its scene file
// scene_file), while the frame loop and the scene table keep their pointers to
// the scene: the scene is deactivated, every object is taken out of it
// (remove_object) and destroyed, and the scene loads the content through
// files. A scene on screen is then activated and reinitialised again, as when
// it is switched to; one off screen is deactivated again, so that its new
// objects' slots are off the bus as after a switch away.
//
// All objects go, not only those the file no longer names: loading again
// over objects that stay would list their names twice and draw them twice.
// When the new content does not load whole and previous is given (the
// content the scene was loaded from before), that is loaded instead, so the
// screen keeps showing what it showed. The library writes its own lines
// about what failed.
SceneReload reload_scene(Scene& scene, OverlayFiles& files, const std::string& scene_file,
                         const std::vector<std::uint8_t>& content, const std::vector<std::uint8_t>* previous,
                         bool on_screen);

}  // namespace player
