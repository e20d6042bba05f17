#include "platform/textrenderer/utf8_check.h"

#include <cstdint>
#include <cstdio>

#include "platform/video/utf8_decode.h"

namespace textrenderer {

namespace {

std::string describe(const std::string& text, std::size_t offset, const char* what) {
    char byte[8];
    std::snprintf(byte, sizeof byte, "0x%02x", unsigned(std::uint8_t(text[offset])));
    return std::string("invalid UTF-8 at byte offset ") + std::to_string(offset) + " (" + byte + "): " + what;
}

}  // namespace

bool check_utf8(const std::string& text, std::string& problem) {
    for (std::size_t i = 0; i < text.size();) {
        const Utf8Sequence sequence = decode_utf8_at(text, i);
        const char* what = nullptr;
        switch (sequence.fault) {
            case Utf8Fault::none: i += sequence.length; continue;
            case Utf8Fault::stray_continuation: what = "continuation byte without a lead byte"; break;
            case Utf8Fault::unused_byte: what = "byte never used in UTF-8"; break;
            case Utf8Fault::cut_by_end: what = "sequence cut off by the end of the text"; break;
            case Utf8Fault::cut_short: what = "sequence cut off before its end"; break;
            case Utf8Fault::overlong: what = "overlong encoding"; break;
            case Utf8Fault::surrogate: what = "encoded surrogate"; break;
            case Utf8Fault::above_max: what = "code point above U+10FFFF"; break;
        }
        problem = describe(text, i, what);
        return false;
    }
    return true;
}

}  // namespace textrenderer
