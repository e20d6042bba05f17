#include "platform/textrenderer/utf8_check.h"

#include <cstdint>
#include <cstdio>

namespace textrenderer {

namespace {

std::string describe(const std::string& text, std::size_t offset, const char* what) {
    char byte[8];
    std::snprintf(byte, sizeof byte, "0x%02x", unsigned(std::uint8_t(text[offset])));
    return std::string("invalid UTF-8 at byte offset ") + std::to_string(offset) + " (" + byte + "): " + what;
}

}  // namespace

bool check_utf8(const std::string& text, std::string& problem) {
    const std::size_t size = text.size();
    std::size_t i = 0;
    while (i < size) {
        const auto lead = std::uint8_t(text[i]);
        if (lead < 0x80) {
            ++i;
            continue;
        }
        std::size_t length;
        std::uint32_t code;
        if (lead >= 0xc2 && lead <= 0xdf)
            length = 2, code = lead & 0x1fu;
        else if (lead >= 0xe0 && lead <= 0xef)
            length = 3, code = lead & 0x0fu;
        else if (lead >= 0xf0 && lead <= 0xf4)
            length = 4, code = lead & 0x07u;
        else {
            problem = describe(text, i,
                               lead < 0xc0 ? "continuation byte without a lead byte" : "byte never used in UTF-8");
            return false;
        }
        if (i + length > size) {
            problem = describe(text, i, "sequence cut off by the end of the text");
            return false;
        }
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = std::uint8_t(text[i + k]);
            if ((next & 0xc0u) != 0x80u) {
                problem = describe(text, i, "sequence cut off before its end");
                return false;
            }
            code = (code << 6) | (next & 0x3fu);
        }
        if ((length == 3 && code < 0x800) || (length == 4 && code < 0x10000)) {
            problem = describe(text, i, "overlong encoding");
            return false;
        }
        if (code >= 0xd800 && code <= 0xdfff) {
            problem = describe(text, i, "encoded surrogate");
            return false;
        }
        if (code > 0x10ffff) {
            problem = describe(text, i, "code point above U+10FFFF");
            return false;
        }
        i += length;
    }
    return true;
}

}  // namespace textrenderer
