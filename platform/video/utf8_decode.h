#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "services/export.h"

// The code points of UTF-8 text, up to the first NUL. A byte that starts no
// well-formed sequence (a stray continuation byte, an overlong form, a
// surrogate, a value above U+10FFFF, a cut sequence) gives U+FFFD, and
// decoding goes on with the next byte, so no input is ever read past its end.
SERVICE_API std::vector<std::int32_t> decode_utf8(std::string_view text);
