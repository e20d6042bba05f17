#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "services/export.h"

// Why the bytes at an offset start no well-formed UTF-8 sequence.
enum class Utf8Fault {
    none,
    stray_continuation,  // a continuation byte without a lead byte
    unused_byte,         // C0, C1, F5 to FF: never used in UTF-8
    cut_by_end,          // the text ends inside the sequence
    cut_short,           // a byte inside the sequence is no continuation byte
    overlong,
    surrogate,
    above_max,  // above U+10FFFF
};

// The sequence starting at text[at] (at < text.size()): its code point and
// length in bytes, or why it is none. Never reads past the text's end.
struct Utf8Sequence {
    std::int32_t point = 0;
    std::size_t length = 0;
    Utf8Fault fault = Utf8Fault::none;
};
Utf8Sequence decode_utf8_at(std::string_view text, std::size_t at);

// The code points of UTF-8 text, up to the first NUL. A byte that starts no
// well-formed sequence (a stray continuation byte, an overlong form, a
// surrogate, a value above U+10FFFF, a cut sequence) gives U+FFFD, and
// decoding goes on with the next byte, so no input is ever read past its end.
SERVICE_API std::vector<std::int32_t> decode_utf8(std::string_view text);
