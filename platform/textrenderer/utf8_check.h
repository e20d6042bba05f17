#pragma once

#include <string>

namespace textrenderer {

// True when text is well-formed UTF-8: no stray continuation bytes, no
// truncated, overlong or surrogate sequences, nothing above U+10FFFF.
// Otherwise false with a problem text naming the first bad byte and its offset.
bool check_utf8(const std::string& text, std::string& problem);

}  // namespace textrenderer
