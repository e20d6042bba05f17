#include "platform/video/utf8_decode.h"

namespace {

// Length of the sequence a lead byte starts, or 0 for a byte that starts none.
int sequence_length(unsigned char lead) {
    if (lead < 0x80) return 1;
    if (lead >= 0xC2 && lead <= 0xDF) return 2;  // C0 and C1 could only start overlong forms
    if (lead >= 0xE0 && lead <= 0xEF) return 3;
    if (lead >= 0xF0 && lead <= 0xF4) return 4;  // beyond F4 lies above U+10FFFF
    return 0;
}

// The code point of a complete, well-formed sequence at `at`, or -1.
std::int32_t decode_at(std::string_view text, std::size_t at, int length) {
    if (length == 0 || at + std::size_t(length) > text.size()) return -1;
    const int lead_bits = length == 1 ? 0x7F : 0xFF >> (length + 1);  // the bits after the length marker
    std::int32_t value = static_cast<unsigned char>(text[at]) & lead_bits;
    for (int i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[at + std::size_t(i)]);
        if ((next & 0xC0) != 0x80) return -1;
        value = (value << 6) | (next & 0x3F);
    }
    static constexpr std::int32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (value < smallest[length] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return -1;
    return value;
}

}  // namespace

std::vector<std::int32_t> decode_utf8(std::string_view text) {
    std::vector<std::int32_t> points;
    std::size_t at = 0;
    while (at < text.size() && text[at] != '\0') {
        const int length = sequence_length(static_cast<unsigned char>(text[at]));
        const std::int32_t value = decode_at(text, at, length);
        if (value < 0) {
            points.push_back(0xFFFD);
            ++at;
            continue;
        }
        points.push_back(value);
        at += std::size_t(length);
    }
    return points;
}
