#pragma once

#include <string>

struct CheckContext;
struct DeclaredObject;
struct SceneFile;
class ResourceChecker;

// The name of the object of scene that a key "Objects->NAME->..." belongs to
// (the longest such name: names may hold "->"), or "" for none.
std::string owner_of_key(const SceneFile& scene, const std::string& key);

// Reports on one object's own entry: keys no kind of its chain reads, values
// read otherwise than written, its link, its signal connections, its picture
// or font.
void check_object(CheckContext& context, const SceneFile& scene, const DeclaredObject& object,
                  ResourceChecker& resources);
