#include "scenecheck/key_reference.h"

#include <string>
#include <vector>

#include "sceneengine/sceneobjects/kind_description.h"

namespace {

const char* reading_of(ValueKind kind) {
    switch (kind) {
        case ValueKind::Text: return "text";
        case ValueKind::Float: return "number (atof)";
        case ValueKind::Integer: return "whole number (atol)";
        case ValueKind::Integer0: return "whole number (strtol base 0: 0x hex, leading 0 octal), kept as int";
        case ValueKind::Color: return "colour 0xRRGGBBAA (strtoul base 0), low 32 bits kept";
        case ValueKind::Switch: return "switch: on only for the exact word true";
        case ValueKind::CoordType: return "absolute or link";
        case ValueKind::VAlign: return "top, bottom, center or base_point";
        case ValueKind::HAlign: return "left, right, center or base_point";
        case ValueKind::LinkObject: return "another object of the scene";
        case ValueKind::ImageFile: return "picture file";
        case ValueKind::ImageLoader: return "image loader (empty: chosen from the content)";
        case ValueKind::Font: return "font file or fontconfig pattern (empty: default sans-serif)";
        case ValueKind::Renderer: return "text renderer type";
        case ValueKind::SceneTarget: return "scene of the list, or exit";
        case ValueKind::SceneType: return "scene kind";
        case ValueKind::ObjectType: return "object kind";
        case ValueKind::ConnectMode: return "on_load or on_request";
        case ValueKind::ConnectionType: return "builtin or custom";
    }
    return "text";
}

void print_keys(std::ostream& out, const std::vector<KeyDescription>& keys) {
    for (const KeyDescription& key : keys) {
        out << "  " << key.key << ": " << reading_of(key.kind);
        if (key.required)
            out << "; required";
        else
            out << "; default \"" << key.default_value << "\"";
        out << "\n";
    }
}

void print_names(std::ostream& out, const char* what, const std::vector<std::string>& names) {
    if (names.empty()) return;
    out << "  " << what << ":";
    for (const std::string& name : names) out << " " << name;
    out << "\n";
}

}  // namespace

void print_key_reference(std::ostream& out) {
    out << "Every kind (keys under Objects->NAME->):\n";
    print_keys(out, kind_descriptions::common_keys());
    print_names(out, "slots", kind_descriptions::common_slots());
    for (const std::string& name : kind_descriptions::names()) {
        const KindDescription* kind = kind_descriptions::find(name);
        out << "\n" << name;
        if (!kind->base.empty()) out << " (and every key, slot and signal of " << kind->base << ")";
        out << ":\n";
        print_keys(out, kind->keys);
        print_names(out, "slots", kind->slots);
        print_names(out, "signals", kind->signals);
    }
}
