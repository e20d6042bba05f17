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
#include <string_view>
#include <vector>

namespace quillbox {

inline constexpr std::size_t max_yaml_depth = 512;
// A scene of 100 000 pictures holds about 700 000 values; the byte cap below
// is what bounds the memory an alias bomb can take.
inline constexpr std::size_t max_yaml_values = 2'000'000;
inline constexpr std::size_t max_yaml_bytes = 64u * 1024 * 1024;

// Values flattened from YAML texts. Keys and values lie back to back in one
// byte buffer, so that flattening allocates per buffer growth, not per value.
struct FlatValues {
    struct Item {
        std::size_t key_offset = 0;
        std::size_t value_offset = 0;
        std::uint32_t key_length = 0;
        std::uint32_t value_length = 0;
        int line = 0;  // 1-based, of the value's first character
        int column = 0;
    };

    std::string_view key(const Item& item) const { return {bytes.data() + item.key_offset, item.key_length}; }
    std::string_view value(const Item& item) const { return {bytes.data() + item.value_offset, item.value_length}; }

    std::string bytes;
    std::vector<Item> items;  // in the order the values were read
};

struct YamlError {
    int line = 0;  // 1-based
    int column = 0;
    std::string reason;
};

// Appends the text's values to values: their bytes after values.bytes, their
// items after values.items. False with error filled on a malformed text or a
// guard hit; what was appended before the failure stays, for the caller to
// drop (truncating both back to their earlier sizes).
bool flatten_yaml(const std::vector<std::uint8_t>& text, FlatValues& values, YamlError& error);

}  // namespace quillbox
