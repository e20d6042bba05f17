#pragma once

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "scenecheck/kind_table.h"

// How the library turns configuration text into values, and where that reading
// departs from what the text says. Header-only so the rules can be tested alone.
namespace value_rules {

// Edits between a and b: insertions, deletions, substitutions and swaps of
// two neighbours (the commonest slip when typing), ignoring letter case, since
// a key written in the wrong case is still the nearest key.
inline std::size_t edit_distance(const std::string& a, const std::string& b) {
    auto same = [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    };
    const std::size_t width = b.size() + 1;
    std::vector<std::size_t> d((a.size() + 1) * width);
    for (std::size_t i = 0; i <= a.size(); ++i) d[i * width] = i;
    for (std::size_t j = 0; j <= b.size(); ++j) d[j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i)
        for (std::size_t j = 1; j <= b.size(); ++j) {
            std::size_t best = std::min({d[(i - 1) * width + j] + 1, d[i * width + j - 1] + 1,
                                         d[(i - 1) * width + j - 1] + (same(a[i - 1], b[j - 1]) ? 0 : 1)});
            if (i > 1 && j > 1 && same(a[i - 1], b[j - 2]) && same(a[i - 2], b[j - 1]))
                best = std::min(best, d[(i - 2) * width + j - 2] + 1);
            d[i * width + j] = best;
        }
    return d[a.size() * width + b.size()];
}

// The candidate nearest to word, when near enough to be a likely slip (at most
// a third of its length and at most three edits); "" otherwise. The first of
// equally near candidates wins, so callers list the likelier ones first.
inline std::string nearest(const std::string& word, const std::vector<std::string>& candidates) {
    std::string best;
    std::size_t best_distance = SIZE_MAX;
    for (const std::string& candidate : candidates) {
        if (candidate == word) continue;
        std::size_t distance = edit_distance(word, candidate);
        std::size_t limit = std::min<std::size_t>(3, std::max<std::size_t>(1, candidate.size() / 3));
        if (distance <= limit && distance < best_distance) best = candidate, best_distance = distance;
    }
    return best;
}

// "; did you mean "PREFIXx"?" when a candidate x is near word, else "". Only
// word and the candidates are compared: a long common prefix would make
// everything look near.
inline std::string did_you_mean(const std::string& word, const std::vector<std::string>& candidates,
                                const std::string& prefix = "") {
    std::string near = nearest(word, candidates);
    return near.empty() ? "" : "; did you mean \"" + prefix + near + "\"?";
}

inline std::string format_number(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%.9g", value);
    return text;
}

// Digits (with an optional sign) that base 0 reads as octal: "010", "-07".
inline bool reads_as_octal(const std::string& text) {
    std::size_t i = (!text.empty() && (text[0] == '+' || text[0] == '-')) ? 1 : 0;
    if (text.size() < i + 2 || text[i] != '0') return false;
    return std::all_of(text.begin() + long(i) + 1, text.end(), [](char c) { return c >= '0' && c <= '7'; });
}

// Why a number, as the library reads it, is not the number written: "" when
// the whole text is one number, else what it reads as instead.
inline std::string number_misread(ValueKind kind, const std::string& text) {
    const char* start = text.c_str();
    char* end = nullptr;
    errno = 0;
    std::string value;
    switch (kind) {
        case ValueKind::Float: value = format_number(std::strtod(start, &end)); break;
        case ValueKind::Integer: value = std::to_string(std::strtol(start, &end, 10)); break;
        case ValueKind::Integer0: value = std::to_string(int(std::strtol(start, &end, 0))); break;
        case ValueKind::Color: {
            unsigned long read = std::strtoul(start, &end, 0);
            value = std::to_string(std::uint32_t(read));
            // strtoul negates a leading minus instead of refusing it.
            if (text.find('-') != std::string::npos && end != start) return "which reads as " + value;
            // The library keeps the low 32 bits of what is read.
            if (read > 0xffffffffUL && *end == '\0') return "which reads as " + value + " (only 32 bits are kept)";
            break;
        }
        default: return "";
    }
    if (text.empty()) return "which reads as 0";
    if (end == start) return "which is no number and reads as 0";
    if (*end != '\0') return "which reads as " + value + " (reading stops at \"" + std::string(end) + "\")";
    if (errno == ERANGE) return "which is out of range";
    if ((kind == ValueKind::Integer0 || kind == ValueKind::Color) && reads_as_octal(text))
        return "which reads as " + value + " (a leading 0 means octal)";
    if (kind == ValueKind::Integer0 && std::strtol(start, nullptr, 0) != long(int(std::strtol(start, nullptr, 0))))
        return "which is out of range";
    return "";
}

// The words a value of kind may take, for the kinds that are a closed set.
inline const std::vector<std::string>& words_of(ValueKind kind) {
    static const std::vector<std::string> none;
    static const std::vector<std::string> coord = {"absolute", "link"};
    static const std::vector<std::string> vertical = {"top", "bottom", "center", "base_point"};
    static const std::vector<std::string> horizontal = {"left", "right", "center", "base_point"};
    static const std::vector<std::string> connect = {"on_load", "on_request"};
    static const std::vector<std::string> type = {"builtin", "custom"};
    static const std::vector<std::string> loaders = {"png", "jpg", "jpeg", "bmp", "tga", "gif"};
    switch (kind) {
        case ValueKind::CoordType: return coord;
        case ValueKind::VAlign: return vertical;
        case ValueKind::HAlign: return horizontal;
        case ValueKind::ConnectMode: return connect;
        case ValueKind::ConnectionType: return type;
        case ValueKind::ImageLoader: return loaders;
        default: return none;
    }
}

// Why a value of a closed set or a switch does not do what it says: "" when it does.
inline std::string word_misread(ValueKind kind, const std::string& text) {
    if (kind == ValueKind::Switch) {
        if (text == "true" || text == "false") return "";
        return "which reads as false: only \"true\" switches it on";
    }
    const std::vector<std::string>& words = words_of(kind);
    if (words.empty() || std::find(words.begin(), words.end(), text) != words.end()) return "";
    if (kind == ValueKind::ImageLoader && text.empty()) return "";  // the loader is then chosen by content
    std::string hint = did_you_mean(text, words);
    switch (kind) {
        case ValueKind::CoordType: return "which is no coordinate kind, so the object is never placed" + hint;
        case ValueKind::VAlign: return "which is no vertical alignment, so the object is never placed" + hint;
        case ValueKind::HAlign: return "which is no horizontal alignment, so the object is never placed" + hint;
        case ValueKind::ConnectMode: return "which makes an on-request connection" + hint;
        case ValueKind::ConnectionType: return "which has the effect of \"custom\"" + hint;
        case ValueKind::ImageLoader: return "which is no image loader" + hint;
        default: return "";
    }
}

// Why a colour that reads as written still hides the text or shows another
// colour: "" when it does not. Colours are 0xRRGGBBAA, so the last byte is
// the opacity, and six hex digits leave red at 0.
inline std::string color_misread(const std::string& text) {
    const auto bits = std::uint32_t(std::strtoul(text.c_str(), nullptr, 0));
    if ((bits & 0xffu) == 0) return "which is fully transparent (the last byte, the alpha, is 0), so the text is never seen";
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    if (hex && text.size() <= 8)
        return "which has " + std::to_string(text.size() - 2) + " hex digits: colours are 0xRRGGBBAA, so it reads as " +
               "red " + std::to_string(bits >> 24) + ", green " + std::to_string((bits >> 16) & 0xffu) + ", blue " +
               std::to_string((bits >> 8) & 0xffu) + ", alpha " + std::to_string(bits & 0xffu);
    return "";
}

// Either reading rule for a value of kind; "" when the value reads as written.
inline std::string misread(ValueKind kind, const std::string& text) {
    std::string why = number_misread(kind, text);
    if (why.empty() && kind == ValueKind::Color) return color_misread(text);
    return why.empty() ? word_misread(kind, text) : why;
}

}  // namespace value_rules
