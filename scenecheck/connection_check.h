#pragma once

#include <string>

struct CheckContext;
struct DeclaredObject;
struct SceneFile;

// Reports on the signal connections of one object (the list under prefix,
// "Objects->NAME->signals->signal"): entries the loader never reads or skips,
// sources that name nothing, signals the source never raises, slots the
// object does not have.
void check_connections(CheckContext& context, const SceneFile& scene, const DeclaredObject& object,
                       const std::string& prefix);
