#include "platform/video/utf8_decode.h"

Utf8Sequence decode_utf8_at(std::string_view text, std::size_t at) {
    const auto lead = static_cast<unsigned char>(text[at]);
    Utf8Sequence sequence;
    if (lead < 0x80) {
        sequence.point = lead;
        sequence.length = 1;
        return sequence;
    }
    std::size_t length = 0;
    std::int32_t point = 0;
    if (lead >= 0xC2 && lead <= 0xDF)  // C0 and C1 could only start overlong forms
        length = 2, point = lead & 0x1F;
    else if (lead >= 0xE0 && lead <= 0xEF)
        length = 3, point = lead & 0x0F;
    else if (lead >= 0xF0 && lead <= 0xF4)  // beyond F4 lies above U+10FFFF
        length = 4, point = lead & 0x07;
    else {
        sequence.fault = lead < 0xC0 ? Utf8Fault::stray_continuation : Utf8Fault::unused_byte;
        return sequence;
    }
    if (at + length > text.size()) {
        sequence.fault = Utf8Fault::cut_by_end;
        return sequence;
    }
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[at + i]);
        if ((next & 0xC0) != 0x80) {
            sequence.fault = Utf8Fault::cut_short;
            return sequence;
        }
        point = (point << 6) | (next & 0x3F);
    }
    if ((length == 3 && point < 0x800) || (length == 4 && point < 0x10000))
        sequence.fault = Utf8Fault::overlong;
    else if (point >= 0xD800 && point <= 0xDFFF)
        sequence.fault = Utf8Fault::surrogate;
    else if (point > 0x10FFFF)
        sequence.fault = Utf8Fault::above_max;
    else
        sequence.point = point, sequence.length = length;
    return sequence;
}

std::vector<std::int32_t> decode_utf8(std::string_view text) {
    std::vector<std::int32_t> points;
    std::size_t at = 0;
    while (at < text.size() && text[at] != '\0') {
        const Utf8Sequence sequence = decode_utf8_at(text, at);
        if (sequence.fault != Utf8Fault::none) {
            points.push_back(0xFFFD);
            ++at;
            continue;
        }
        points.push_back(sequence.point);
        at += sequence.length;
    }
    return points;
}
