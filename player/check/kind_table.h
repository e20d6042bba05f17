#pragma once

#include <string>
#include <vector>

// What the checker knows about the keys, slots and signals of every object
// kind, in one table (kind_table.cpp): teaching the checker a new kind is one
// entry there.

// How a value is read, and so which texts read the way the author meant.
enum class ValueKind {
    Text,            // any text
    Float,           // atof
    Integer,         // atol
    Integer0,        // strtol, base 0
    Unsigned0,       // strtoul, base 0
    Color,           // strtoul, base 0, as 0xRRGGBBAA
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

struct KeyInfo {
    std::string key;  // after the object's prefix, e.g. "Image->image_file"
    ValueKind kind;
    bool required = false;  // the object fails to load when it is missing or empty
    std::string help;       // what it does, in one line (editors show it on hover)
};

struct KindInfo {
    std::string name;                  // the factory's type name
    std::string base;                  // kind whose keys, slots and signals it also has; "" for none
    std::vector<KeyInfo> keys;         // its own keys
    std::vector<std::string> slots;    // its own slot endings beyond the built-in ones ("_on_new_cycle")
    std::vector<std::string> signals;  // endings of the signals it raises ("time_out")
};

namespace kind_table {

// Teaches the checker (and the schema it writes) a host's own kind; a kind of
// the same name is replaced.
void add_kind(KindInfo kind);
// The table entry of a kind, or null for a kind the checker was never taught.
const KindInfo* find(const std::string& kind);
// Every kind the checker knows, the library's first, then the hosts'.
const std::vector<KindInfo>& kinds();
// The keys every object reads, whatever its kind.
const std::vector<KeyInfo>& common_keys();
// True when kind is, or derives from, base.
bool derives_from(const std::string& kind, const std::string& base);

// Every key an object of kind reads after its prefix: the common keys first,
// then those of its bases, then its own. Only the common keys for an unknown kind.
std::vector<KeyInfo> keys_of(const std::string& kind);
// Every slot ending an object of kind has: the seven built-in ones, then its bases' and its own.
std::vector<std::string> slots_of(const std::string& kind);
std::vector<std::string> signals_of(const std::string& kind);
// Names of every kind in the table (to tell "a key of another kind" from a typo).
std::vector<std::string> kind_names();

// Keys of one scene-list entry, of one object entry of a scene file and of
// one signal connection, after their numbered prefix.
const std::vector<KeyInfo>& list_entry_keys();
const std::vector<KeyInfo>& object_entry_keys();
const std::vector<KeyInfo>& connection_keys();
// Endings of a scene's own signals and of the library's global input signals.
const std::vector<std::string>& scene_signals();
const std::vector<std::string>& input_signals();

}  // namespace kind_table
