#include "scenecheck/schema.h"

#include <nlohmann/json.hpp>

#include <vector>

#include "scenecheck/kind_table.h"
#include "scenecheck/value_rules.h"

namespace {

// Objects keep their keys in the order written, as people read a schema.
using Json = nlohmann::ordered_json;

Json reference(const std::string& definition) { return {{"$ref", "#/$defs/" + definition}}; }

// A number the engine reads whole, as YAML writes it or as a quoted string.
Json number(Json as_number, const char* pattern) {
    return {{"anyOf", {std::move(as_number), {{"type", "string"}, {"pattern", pattern}}}}};
}

Json words(ValueKind kind, bool allow_empty) {
    Json allowed = Json::array();
    if (allow_empty) allowed.push_back("");
    for (const std::string& word : value_rules::words_of(kind)) allowed.push_back(word);
    return {{"enum", allowed}};
}

// The value schema of each kind of value, under $defs.
Json value_definitions() {
    Json defs;
    defs["text"] = {{"type", {"string", "number", "boolean"}}};
    // atof and strtol read a leading number and ignore the rest: only whole numbers pass.
    defs["float"] = number({{"type", "number"}}, "^\\s*[-+]?([0-9]+\\.?[0-9]*|\\.[0-9]+)([eE][-+]?[0-9]+)?$");
    defs["integer"] = number({{"type", "integer"}}, "^\\s*[-+]?[0-9]+$");
    // Base 0: a leading 0 means octal, which authors rarely mean.
    defs["integer0"] = number({{"type", "integer"}}, "^\\s*[-+]?(0|[1-9][0-9]*|0[xX][0-9a-fA-F]+)$");
    defs["color"] = number({{"type", "integer"}, {"minimum", 0}, {"maximum", 4294967295u}},
                           "^(0[xX][0-9a-fA-F]{8}|0|[1-9][0-9]*)$");
    // Only the exact word true switches on; YAML's own booleans are written so.
    defs["switch"] = {{"anyOf", {{{"type", "boolean"}}, {{"enum", {"true", "false"}}}}}};
    defs["coord_type"] = words(ValueKind::CoordType, false);
    defs["v_align"] = words(ValueKind::VAlign, false);
    defs["h_align"] = words(ValueKind::HAlign, false);
    defs["image_loader"] = words(ValueKind::ImageLoader, true);
    defs["connect"] = words(ValueKind::ConnectMode, false);
    defs["connection_type"] = words(ValueKind::ConnectionType, false);
    return defs;
}

std::string definition_of(ValueKind kind) {
    switch (kind) {
        case ValueKind::Float: return "float";
        case ValueKind::Integer: return "integer";
        case ValueKind::Integer0: return "integer0";
        case ValueKind::Color: return "color";
        case ValueKind::Switch: return "switch";
        case ValueKind::CoordType: return "coord_type";
        case ValueKind::VAlign: return "v_align";
        case ValueKind::HAlign: return "h_align";
        case ValueKind::ImageLoader: return "image_loader";
        case ValueKind::ConnectMode: return "connect";
        case ValueKind::ConnectionType: return "connection_type";
        default: return "text";
    }
}

// A mapping of the given keys and nothing else, but for flat keys ("a->b"),
// which the configuration joins as written.
Json closed_mapping(const std::string& description) {
    Json mapping = {{"type", "object"}};
    if (!description.empty()) mapping["description"] = description;
    mapping["properties"] = Json::object();
    mapping["patternProperties"] = {{"->", true}};
    mapping["additionalProperties"] = false;
    return mapping;
}

void add_keys(Json& mapping, const std::vector<KeyInfo>& keys, const std::string& part = "") {
    Json required = Json::array();
    for (const KeyInfo& key : keys) {
        const std::string name = key.key.substr(part.size());
        Json property = reference(definition_of(key.kind));
        if (!key.help.empty()) property["description"] = key.help;
        mapping["properties"][name] = property;
        if (key.required) required.push_back(name);
    }
    if (!required.empty()) mapping["required"] = required;
}

// "Object0", "signal12": numbered from 0, no leading zeros.
Json numbered(const std::string& prefix, const std::string& definition, const std::string& description) {
    Json list = closed_mapping(description);
    list["patternProperties"]["^" + prefix + "(0|[1-9][0-9]*)$"] = reference(definition);
    return list;
}

Json object_definition() {
    Json object = closed_mapping("one object's own keys: SceneObject for every kind, then its kind's section");
    object["properties"]["signals"] =
        numbered("signal", "connection", "connections from signals to the object's own slots, from signal0 on");
    Json common = closed_mapping("the keys every kind reads: placement, visibility, hit testing");
    add_keys(common, kind_descriptions::common_keys(), "SceneObject->");
    object["properties"]["SceneObject"] = common;
    for (const std::string& name : kind_descriptions::names()) {
        const KindInfo& kind = *kind_descriptions::find(name);
        Json section = closed_mapping("the keys of a " + kind.name +
                                      (kind.base.empty() ? std::string() : " (a " + kind.base + " as well)"));
        add_keys(section, kind.keys, kind.name + "->");
        object["properties"][kind.name] = section;
    }
    return object;
}

Json entry_definition(const std::string& description, const std::vector<KeyInfo>& keys) {
    Json entry = closed_mapping(description);
    add_keys(entry, keys);
    return entry;
}

}  // namespace

std::string scene_schema() {
    Json defs = value_definitions();
    defs["list_entry"] = entry_definition("one scene of the list", kind_table::list_entry_keys());
    defs["object_entry"] = entry_definition("one object of the scene", kind_table::object_entry_keys());
    defs["connection"] =
        entry_definition("a signal connected to one of the object's slots", kind_table::connection_keys());
    defs["object"] = object_definition();

    Json scene = closed_mapping("the scene's own settings and its list of objects");
    Json cursor = reference("integer");
    cursor["description"] = "0 hides the mouse pointer while the scene shows; anything else shows it";
    scene["properties"]["show_mouse_cursor"] = cursor;
    scene["properties"]["Objects"] =
        numbered("Object", "object_entry", "the objects, from Object0 on; the list ends at the first gap");

    Json root = {{"$schema", "https://json-schema.org/draft/2020-12/schema"},
                 {"title", "Scene list or scene file of the scene engine"},
                 {"description", "A scene list (Scenes) or a scene file (Scene and Objects); made by scenecheck --schema"}};
    root.update(closed_mapping(""));
    root["properties"]["Scenes"] =
        numbered("Scene", "list_entry", "the scenes, from Scene0 on; the list ends at the first gap");
    root["properties"]["Scene"] = scene;
    root["properties"]["Objects"] = {{"type", "object"},
                                     {"description", "each object's own keys, under its name"},
                                     {"additionalProperties", reference("object")}};
    root["$defs"] = defs;
    return root.dump(2) + "\n";
}
