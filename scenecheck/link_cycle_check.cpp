#include "scenecheck/link_cycle_check.h"

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "scenecheck/check_model.h"

namespace {

// The object an object is linked to, for the objects that are placed by a link.
std::map<std::string, const ConfigEntry*> links_of(const SceneFile& scene) {
    std::map<std::string, const ConfigEntry*> links;
    for (const DeclaredObject& object : scene.objects) {
        if (!object.read || scene.find(object.name) != &object) continue;
        const std::string prefix = "Objects->" + object.name + "->SceneObject->";
        if (scene.config.value(prefix + "coord_type", "absolute") != "link") continue;
        const ConfigEntry* link = scene.config.find(prefix + "link_object");
        if (link && scene.find(link->value)) links[object.name] = link;
    }
    return links;
}

}  // namespace

void check_link_cycles(CheckContext& context, const SceneFile& scene) {
    const auto links = links_of(scene);
    std::map<std::string, int> state;  // 1: on the path being followed, 2: done
    for (const auto& [start, ignored] : links) {
        std::vector<std::string> path;
        std::string name = start;
        while (!state[name]) {
            state[name] = 1;
            path.push_back(name);
            auto link = links.find(name);
            if (link == links.end()) break;
            name = link->second->value;
        }
        if (state[name] == 1 && links.count(name)) {
            // The path from name's first appearance on is the cycle; report it at its first member.
            auto first = std::find(path.begin(), path.end(), name);
            std::string cycle;
            for (auto it = first; it != path.end(); ++it) cycle += quoted(*it) + " -> ";
            const ConfigEntry* at = links.at(name);
            context.report_at(scene.file, at,
                              quoted(at->key) + " is " + quoted(at->value) + ": the objects " + cycle + quoted(name) +
                                  " are linked in a cycle, so each frame places each from the other's last position "
                                  "and they drift");
        }
        for (const std::string& member : path) state[member] = 2;
    }
}
