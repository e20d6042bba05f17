#include "scenecheck/schema.h"

#include <cstdio>
#include <map>
#include <vector>

#include "scenecheck/kind_table.h"
#include "scenecheck/value_rules.h"

namespace {

// A JSON value, just enough to write the schema with stable key order.
struct Json {
    enum class Kind { text, raw, object, array } kind = Kind::object;
    std::string text;               // text: a string; raw: a literal (true, 0)
    std::vector<std::string> keys;  // object, in insertion order, with values
    std::vector<Json> values;
    std::vector<Json> items;  // array

    static Json string(std::string value) { return Json{Kind::text, std::move(value), {}, {}, {}}; }
    static Json literal(std::string value) { return Json{Kind::raw, std::move(value), {}, {}, {}}; }
    static Json array(std::vector<Json> values) { return Json{Kind::array, "", {}, {}, std::move(values)}; }
    Json& set(const std::string& key, Json value) {
        for (std::size_t i = 0; i < keys.size(); ++i)
            if (keys[i] == key) return values[i] = std::move(value);
        keys.push_back(key);
        values.push_back(std::move(value));
        return values.back();
    }
    Json& operator[](const std::string& key) {
        for (std::size_t i = 0; i < keys.size(); ++i)
            if (keys[i] == key) return values[i];
        return set(key, Json{});
    }
};

std::string quoted_json(const std::string& text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += char(c);
        } else if (c < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", c);
            out += escape;
        } else {
            out += char(c);
        }
    }
    return out + "\"";
}

void write(const Json& value, const std::string& indent, std::string& out) {
    switch (value.kind) {
        case Json::Kind::text: out += quoted_json(value.text); return;
        case Json::Kind::raw: out += value.text; return;
        case Json::Kind::array: {
            out += "[";
            for (std::size_t i = 0; i < value.items.size(); ++i) {
                if (i) out += ", ";
                write(value.items[i], indent, out);
            }
            out += "]";
            return;
        }
        case Json::Kind::object: {
            if (value.keys.empty()) {
                out += "{}";
                return;
            }
            out += "{\n";
            for (std::size_t i = 0; i < value.keys.size(); ++i) {
                out += indent + "  " + quoted_json(value.keys[i]) + ": ";
                write(value.values[i], indent + "  ", out);
                out += i + 1 < value.keys.size() ? ",\n" : "\n";
            }
            out += indent + "}";
            return;
        }
    }
}

// {"key": value}
Json single(const std::string& key, Json value) {
    Json object;
    object.set(key, std::move(value));
    return object;
}

Json reference(const std::string& definition) { return single("$ref", Json::string("#/$defs/" + definition)); }

// A number the engine reads whole, as YAML writes it or as a quoted string.
Json number(const char* json_type, const char* pattern) {
    Json as_text = single("type", Json::string("string"));
    as_text.set("pattern", Json::string(pattern));
    return single("anyOf", Json::array({single("type", Json::string(json_type)), as_text}));
}

Json words(ValueKind kind, bool allow_empty) {
    std::vector<Json> allowed;
    if (allow_empty) allowed.push_back(Json::string(""));
    for (const std::string& word : value_rules::words_of(kind)) allowed.push_back(Json::string(word));
    Json value;
    value.set("enum", Json::array(allowed));
    return value;
}

// The value schema of each kind of value, under $defs.
Json value_definitions() {
    Json defs;
    defs.set("text", single("type", Json::array({Json::string("string"), Json::string("number"), Json::string("boolean")})));
    // atof and strtol read a leading number and ignore the rest: only whole numbers pass.
    defs.set("float", number("number", "^\\s*[-+]?([0-9]+\\.?[0-9]*|\\.[0-9]+)([eE][-+]?[0-9]+)?$"));
    defs.set("integer", number("integer", "^\\s*[-+]?[0-9]+$"));
    // Base 0: a leading 0 means octal, which authors rarely mean.
    defs.set("integer0", number("integer", "^\\s*[-+]?(0|[1-9][0-9]*|0[xX][0-9a-fA-F]+)$"));
    Json color = number("integer", "^(0[xX][0-9a-fA-F]{8}|0|[1-9][0-9]*)$");
    color["anyOf"].items[0].set("minimum", Json::literal("0"));
    color["anyOf"].items[0].set("maximum", Json::literal("4294967295"));
    defs.set("color", color);
    // Only the exact word true switches on; YAML's own booleans are written so.
    defs.set("switch", single("anyOf", Json::array({single("type", Json::string("boolean")),
                                                   single("enum", Json::array({Json::string("true"),
                                                                               Json::string("false")}))})));
    defs.set("coord_type", words(ValueKind::CoordType, false));
    defs.set("v_align", words(ValueKind::VAlign, false));
    defs.set("h_align", words(ValueKind::HAlign, false));
    defs.set("image_loader", words(ValueKind::ImageLoader, true));
    defs.set("connect", words(ValueKind::ConnectMode, false));
    defs.set("connection_type", words(ValueKind::ConnectionType, false));
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

Json property(const KeyInfo& key) {
    Json value = reference(definition_of(key.kind));
    if (!key.help.empty()) value.set("description", Json::string(key.help));
    return value;
}

// A mapping of the given keys and nothing else, but for flat keys ("a->b"),
// which the configuration joins as written.
Json closed_mapping(const std::string& description) {
    Json mapping;
    mapping.set("type", Json::string("object"));
    if (!description.empty()) mapping.set("description", Json::string(description));
    mapping.set("properties", Json{});
    mapping.set("patternProperties", single("->", Json::literal("true")));
    mapping.set("additionalProperties", Json::literal("false"));
    return mapping;
}

void add_keys(Json& mapping, const std::vector<KeyInfo>& keys, const std::string& part = "") {
    std::vector<Json> required;
    for (const KeyInfo& key : keys) {
        std::string name = key.key.substr(part.size());
        mapping["properties"].set(name, property(key));
        if (key.required) required.push_back(Json::string(name));
    }
    if (!required.empty()) mapping.set("required", Json::array(required));
}

// "Object0", "signal12": numbered from 0, no leading zeros.
Json numbered(const std::string& prefix, const std::string& definition, const std::string& description) {
    Json list = closed_mapping(description);
    list["patternProperties"].set("^" + prefix + "(0|[1-9][0-9]*)$", reference(definition));
    return list;
}

Json object_definition() {
    Json object = closed_mapping("one object's own keys: SceneObject for every kind, then its kind's section");
    object["properties"].set("signals", numbered("signal", "connection",
                                                 "connections from signals to the object's own slots, from signal0 on"));
    Json common = closed_mapping("the keys every kind reads: placement, visibility, hit testing");
    add_keys(common, kind_descriptions::common_keys(), "SceneObject->");
    object["properties"].set("SceneObject", common);
    for (const std::string& name : kind_descriptions::names()) {
        const KindInfo& kind = *kind_descriptions::find(name);
        Json section = closed_mapping("the keys of a " + kind.name +
                                      (kind.base.empty() ? std::string() : " (a " + kind.base + " as well)"));
        add_keys(section, kind.keys, kind.name + "->");
        object["properties"].set(kind.name, section);
    }
    return object;
}

}  // namespace

std::string scene_schema() {
    Json defs = value_definitions();
    Json list_entry = closed_mapping("one scene of the list");
    add_keys(list_entry, kind_table::list_entry_keys());
    defs.set("list_entry", list_entry);
    Json object_entry = closed_mapping("one object of the scene");
    add_keys(object_entry, kind_table::object_entry_keys());
    defs.set("object_entry", object_entry);
    Json connection = closed_mapping("a signal connected to one of the object's slots");
    add_keys(connection, kind_table::connection_keys());
    defs.set("connection", connection);
    defs.set("object", object_definition());

    Json scene = closed_mapping("the scene's own settings and its list of objects");
    Json cursor = reference("integer");
    cursor.set("description", Json::string("0 hides the mouse pointer while the scene shows; anything else shows it"));
    scene["properties"].set("show_mouse_cursor", cursor);
    scene["properties"].set("Objects", numbered("Object", "object_entry",
                                                "the objects, from Object0 on; the list ends at the first gap"));

    Json objects;
    objects.set("type", Json::string("object"));
    objects.set("description", Json::string("each object's own keys, under its name"));
    objects.set("additionalProperties", reference("object"));

    Json root = closed_mapping("");
    root.set("$schema", Json::string("https://json-schema.org/draft/2020-12/schema"));
    root.set("title", Json::string("Scene list or scene file of the scene engine"));
    root.set("description", Json::string("A scene list (Scenes) or a scene file (Scene and Objects); made by scenecheck --schema"));
    root["properties"].set("Scenes", numbered("Scene", "list_entry", "the scenes, from Scene0 on; the list ends at the first gap"));
    root["properties"].set("Scene", scene);
    root["properties"].set("Objects", objects);
    root.set("$defs", defs);
    // $schema and the titles first, as people read it.
    Json ordered;
    for (const char* first : {"$schema", "title", "description"}) ordered.set(first, root[first]);
    for (std::size_t i = 0; i < root.keys.size(); ++i) ordered.set(root.keys[i], root.values[i]);
    std::string out;
    write(ordered, "", out);
    return out + "\n";
}
