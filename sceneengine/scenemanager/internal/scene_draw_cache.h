#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class SceneObject;

// What a scene's draw derived when it last rebuilt its drawing order: one
// entry per entry of the drawing order, with the object already looked up,
// and the inputs it was derived from. The scene keeps it while its object
// list, object table and z-level table stay as they were and the drawing
// order is still the one built (a derived scene may rewrite it between
// frames), so that a frame neither rebuilds the order nor looks objects up by
// name, and nothing tells a kept order from a rebuilt one.
//
// Scene holds it through Scene::DrawCache; a copy starts empty: entries
// point into the drawing order of the scene that built them.
class SceneDrawCache {
public:
    struct Entry {
        const std::string* name;  // the name as stored in the drawing order
        std::size_t list_index;   // where the name stands in object_list
        int z_level;
        SceneObject* object;      // null for a null pointer in the table
        bool in_table;            // false: the table had no entry under the name
    };

    std::vector<Entry> entries;
    std::vector<std::string> object_list;  // the object list the order was built from
    std::uint64_t objects_revision = 0;
    std::uint64_t z_levels_revision = 0;
    bool built = false;
};
