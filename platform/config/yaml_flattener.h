#pragma once

// Turns one YAML text into flat (key path, value) pairs.
//
// - Mapping keys nest: {Scene: {Objects: {Object0: {name: bg}}}} gives the key
//   "Scene->Objects->Object0->name". A key that holds "->" itself is joined as
//   it stands, so "Scene->Objects: {Object0: ...}" gives the same key.
// - Sequence items take their 0-based index as the key part: {Objects: [a, b]}
//   gives "Objects->0" = a and "Objects->1" = b.
// - Scalars are kept as the text written: TRUE stays TRUE, 010 stays 010, ~
//   stays ~; quoted and block scalars give their content. Tags are ignored.
// - Keys must be non-empty scalars; an empty key or a mapping or sequence used
//   as a key is an error. "<<" is an ordinary key.
// - Aliases are expanded: an alias of a scalar gives its text, an alias of a
//   mapping or sequence copies the values already flattened under its anchor
//   to the alias's place. An alias naming no anchor defined before it is an
//   error.
// - Several documents in one stream add up; an empty document gives nothing.
//   A document that is a single non-empty scalar is an error (it has no key).
// - Guards: nesting deeper than max_yaml_depth, more than max_yaml_values
//   values or more than max_yaml_bytes of keys and values (what an alias bomb
//   produces) stop the parse with an error; nothing recurses.
// Duplicate keys are all reported, in file order; whoever merges them decides.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace quillbox {

inline constexpr std::size_t max_yaml_depth = 512;
inline constexpr std::size_t max_yaml_values = 250'000;
inline constexpr std::size_t max_yaml_bytes = 64u * 1024 * 1024;

struct FlatValue {
    std::string key;
    std::string value;
    int line = 0;  // 1-based, of the value's first character
    int column = 0;
};

struct YamlError {
    int line = 0;  // 1-based
    int column = 0;
    std::string reason;
};

// False with error filled on a malformed text or a guard hit; values then
// holds what was read before the failure.
bool flatten_yaml(const std::vector<std::uint8_t>& text, std::vector<FlatValue>& values, YamlError& error);

}  // namespace quillbox
