#pragma once

#include <string>

// A JSON Schema (draft 2020-12) for scene lists and scene files, made from
// the kinds' descriptions (the host kinds registered so far included). Editors that validate YAML against a schema use it to flag
// unknown keys, words the engine does not know and numbers it would misread,
// and show each key's help on hover. What needs more than one file or one
// value (links to objects, scene targets, pictures, fonts, gaps in numbered
// lists) is left to scenecheck.
std::string scene_schema();
