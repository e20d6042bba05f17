#pragma once

#include <string>
#include <vector>

#include "sceneengine/sceneobjects/kind_description.h"

// What the checker knows about the keys, slots and signals of every object
// kind and of the lists around them.

// The kinds' keys, slots and signals are the library's descriptions
// (kind_description.h), the host's kinds included once registered; the
// checker's own entries (a list entry, an object entry, a connection) use the
// same form.
using KeyInfo = KeyDescription;
using KindInfo = KindDescription;

namespace kind_table {

// The description of a kind, or null for a kind nobody described.
const KindInfo* find(const std::string& kind);
// True when kind is, or derives from, base.
bool derives_from(const std::string& kind, const std::string& base);

// Every key an object of kind reads after its prefix: the common keys first,
// then those of its bases, then its own. Only the common keys for an unknown kind.
std::vector<KeyInfo> keys_of(const std::string& kind);
// Every slot ending an object of kind has: the seven built-in ones, then its bases' and its own.
std::vector<std::string> slots_of(const std::string& kind);
std::vector<std::string> signals_of(const std::string& kind);
// Names of every described kind (to tell "a key of another kind" from a typo).
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
