#pragma once

#include <string>
#include <utility>
#include <vector>

#include "services/export.h"

class Config_Interface;

// What each object kind reads from its scene file and what it offers on the
// signal bus, written once: the kinds' loaders take their keys and defaults
// from here, and scenecheck checks scene files against the same text.

// How a value's text is read, and so which texts read the way the author meant.
enum class ValueKind {
    Text,            // any text
    Float,           // atof
    Integer,         // atol
    Integer0,        // strtol, base 0, kept as int (wraps)
    Color,           // strtoul, base 0, kept as 32 bits 0xRRGGBBAA (wraps)
    Switch,          // on only for the exact word "true"
    CoordType,       // "absolute" or "link"
    VAlign,          // "top", "bottom", "center", "base_point"
    HAlign,          // "left", "right", "center", "base_point"
    LinkObject,      // an object of the same scene
    ImageFile,       // a picture below the file root
    ImageLoader,     // "" or a loader of the image loader service
    Font,            // a font file or fontconfig pattern
    Renderer,        // a text renderer type
    SceneTarget,     // a scene of the list, or "exit"
    SceneType,       // a registered scene factory
    ObjectType,      // a registered object factory
    ConnectMode,     // "on_load" or "on_request"
    ConnectionType,  // "builtin" or "custom"
};

// One key, after the object's storage prefix ("Image->image_file").
struct KeyDescription {
    std::string key;
    ValueKind kind = ValueKind::Text;
    std::string default_value;  // what a missing key reads as
    bool required = false;      // the object fails to load when it is missing or empty
    std::string help;           // what it does, in one line (editors show it on hover)
};

// One kind: its own keys in the order its load reads them, its slot endings
// beyond the seven every object has ("_on_new_cycle") and the endings of the
// signals it raises ("time_out"). A kind also has its base's keys, slots and
// signals, and every kind has the common "SceneObject->" keys.
struct KindDescription {
    std::string name;
    std::string base;  // "" for none
    std::vector<KeyDescription> keys;
    std::vector<std::string> slots;
    std::vector<std::string> signals;
};

namespace kind_descriptions {

// The keys every object reads, in reading order.
SCENEENGINE_API const std::vector<KeyDescription>& common_keys();
// The seven slot endings every object has, in the order of its slot table.
SCENEENGINE_API const std::vector<std::string>& common_slots();
// The description of a built-in kind or of one a host added; null for any other name.
SCENEENGINE_API const KindDescription* find(const std::string& kind);
// Every described kind: the built-in ones, then the hosts', in the order added.
SCENEENGINE_API std::vector<std::string> names();
// Adds a host kind's description; a name already described keeps its first.
SCENEENGINE_API void add(KindDescription description);

// The entry of keys named key (a text read as "" when keys lack it).
SCENEENGINE_API const KeyDescription& key_of(const std::vector<KeyDescription>& keys, const std::string& key);

}  // namespace kind_descriptions

// Reads the described keys of one object: each under the object's storage
// prefix, with the default its description gives.
class SCENEENGINE_API DescribedKeys {
public:
    DescribedKeys(Config_Interface* config, std::string prefix, const std::vector<KeyDescription>& keys)
        : config_(config), prefix_(std::move(prefix)), keys_(keys) {}

    std::string text(const std::string& key) const;
    // The leading number of the text (atof), 0 when there is none.
    float number(const std::string& key) const;
    // On only for the exact word "true": "True", "TRUE" and "1" are off.
    bool on(const std::string& key) const;

private:
    Config_Interface* config_;
    std::string prefix_;
    const std::vector<KeyDescription>& keys_;
};
