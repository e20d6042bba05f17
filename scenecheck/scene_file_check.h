#pragma once

struct CheckContext;
struct SceneFile;
class ResourceChecker;

// Reads a scene file (scene.file) as the library's load_scene does, fills
// scene.objects and reports on the file's own keys and its object list.
void read_scene_file(CheckContext& context, SceneFile& scene);

// Reports on the entries of the objects of a scene file that has been read:
// their keys and values, links, signal connections, pictures and fonts. Needs
// every scene file read first, since connections name objects of other scenes.
void check_scene_objects(CheckContext& context, const SceneFile& scene, ResourceChecker& resources);
