#include "scenecheck/object_check.h"

#include <algorithm>

#include "scenecheck/check_model.h"
#include "scenecheck/connection_check.h"
#include "scenecheck/key_names.h"
#include "scenecheck/resource_check.h"
#include "scenecheck/value_rules.h"
#include "sceneengine/scenemanager/scene_object_fabric.h"

namespace {

const std::string kSignals = "signals->signal";

std::vector<std::string> object_names(const SceneFile& scene) {
    std::vector<std::string> names;
    for (const DeclaredObject& object : scene.objects) names.push_back(object.name);
    return names;
}

std::vector<std::string> targets(const CheckContext& context) {
    std::vector<std::string> names;
    for (const ListedScene& listed : context.scenes) names.push_back(listed.name);
    names.push_back("exit");
    return names;
}

void check_value(CheckContext& context, const SceneFile& scene, const ConfigEntry& entry, ValueKind kind) {
    std::string said = quoted(entry.key) + " is " + quoted(entry.value);
    if (kind == ValueKind::LinkObject) {
        if (!entry.value.empty() && !scene.find(entry.value))
            context.report_blocking(scene.file, &entry, said + ": no object of the scene has that name" +
                                                      value_rules::did_you_mean(entry.value, object_names(scene)));
        return;
    }
    if (kind == ValueKind::SceneTarget) {
        if (entry.value != "exit" && !context.has_scene(entry.value))
            context.report_at(scene.file, &entry, said + ": no scene of the list has that name" +
                                                      value_rules::did_you_mean(entry.value, targets(context)));
        return;
    }
    if (kind == ValueKind::ImageLoader && entry.value.empty()) return;
    std::string why = value_rules::misread(kind, entry.value);
    if (why.empty()) return;
    // A word the library does not know there leaves the object unplaced or unloaded.
    const bool blocking = kind == ValueKind::CoordType || kind == ValueKind::VAlign || kind == ValueKind::HAlign ||
                          kind == ValueKind::ImageLoader;
    context.report.add(scene.file, entry.line, entry.column, said + ", " + why, blocking);
}

// The first part of rest when it names a kind that object's kind is not.
std::string foreign_kind(const std::string& rest, const std::string& type) {
    std::string part = rest.substr(0, rest.find("->"));
    if (part == rest || part == "SceneObject" || kind_table::derives_from(type, part) || part == type) return "";
    std::vector<std::string> kinds = kind_table::kind_names();
    bool is_kind = std::find(kinds.begin(), kinds.end(), part) != kinds.end() || SceneObjectFabric::_fabrics_.contains(part);
    return is_kind ? part : "";
}

void check_key(CheckContext& context, const SceneFile& scene, const DeclaredObject& object, const ConfigEntry& entry,
               const std::string& rest, const std::vector<KeyInfo>& known_keys) {
    if (const KeyInfo* info = key_names::find_key_info(known_keys, rest)) {
        check_value(context, scene, entry, info->kind);
        return;
    }
    // A kind the checker was never taught reads keys of its own name that it cannot judge.
    if (!kind_table::find(object.type) && rest.compare(0, object.type.size() + 2, object.type + "->") == 0) return;
    std::string other = foreign_kind(rest, object.type);
    if (!other.empty()) {
        context.report_at(scene.file, &entry, quoted(entry.key) + " is never read: " + quoted(object.name) +
                                                  " is of type " + quoted(object.type) + ", not " + quoted(other));
        return;
    }
    std::vector<std::string> known;
    for (const KeyInfo& info : known_keys) known.push_back(info.key);
    for (const KeyInfo& info : kind_table::connection_keys())
        known.push_back(kSignals + key_names::first_index(rest) + "->" + info.key);
    context.report_at(scene.file, &entry, "unknown key " + quoted(entry.key) + value_rules::did_you_mean(rest, known));
}

void check_link(CheckContext& context, const SceneFile& scene, const std::string& prefix) {
    const ConfigEntry* coord = scene.config.find(prefix + "SceneObject->coord_type");
    if (!coord || coord->value != "link") return;
    const ConfigEntry* link = scene.config.find(prefix + "SceneObject->link_object");
    if (!link || link->value.empty()) {
        context.report_blocking(scene.file, coord,
                          quoted(coord->key) + " is \"link\" but no link_object is given, so the object is never placed");
        return;
    }
    const DeclaredObject* linked = scene.find(link->value);
    if (!linked || !kind_table::find(linked->type)) return;
    if (!kind_table::derives_from(linked->type, "Image") && !kind_table::derives_from(linked->type, "Text"))
        context.report_at(scene.file, link,
                          quoted(link->key) + " is " + quoted(link->value) + ", a " + linked->type +
                              ", which has no picture: the object is placed against (0, 0)");
}

}  // namespace

std::string owner_of_key(const SceneFile& scene, const std::string& key) {
    const std::size_t start = 9;  // after "Objects->"
    std::string owner;
    for (std::size_t end = key.find("->", start); end != std::string::npos; end = key.find("->", end + 2)) {
        std::string name = key.substr(start, end - start);
        if (scene.find(name)) owner = name;
    }
    return owner;
}

void check_object(CheckContext& context, const SceneFile& scene, const DeclaredObject& object,
                  ResourceChecker& resources) {
    const std::string prefix = "Objects->" + object.name + "->";
    const std::vector<KeyInfo> known_keys = kind_table::keys_of(object.type);
    const std::vector<const ConfigEntry*>& keys = scene.keys_of(object.name);
    const ConfigEntry* anchor = keys.empty() ? object.name_entry : keys.front();
    for (const ConfigEntry* entry : keys) {
        std::string rest = entry->key.substr(prefix.size());
        if (rest.compare(0, kSignals.size(), kSignals) == 0) continue;  // connections are checked as a list
        check_key(context, scene, object, *entry, rest, known_keys);
    }
    for (const KeyInfo& info : known_keys) {
        const ConfigEntry* entry = scene.config.find(prefix + info.key);
        if (info.required && (!entry || entry->value.empty()))
            context.report_blocking(scene.file, entry ? entry : anchor,
                              quoted(prefix + info.key) + (entry ? " is empty" : " is missing") +
                                  ", so the object cannot load");
    }
    check_link(context, scene, prefix);
    check_connections(context, scene, object, prefix + kSignals);
    check_resources(context, scene, object, prefix, anchor, resources);
}
