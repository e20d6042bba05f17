#include "player/input_script.h"

#include <charconv>
#include <cmath>
#include <istream>
#include <limits>

namespace player {
namespace {

std::vector<std::string_view> split_words(std::string_view line) {
    std::vector<std::string_view> words;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r')) ++i;
        std::size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') ++i;
        if (i > start) words.push_back(line.substr(start, i - start));
    }
    return words;
}

template <class Int>
bool read_integer(std::string_view word, Int low, Int high, Int& value) {
    Int parsed{};
    auto [end, status] = std::from_chars(word.data(), word.data() + word.size(), parsed);
    if (status != std::errc() || end != word.data() + word.size()) return false;
    if (parsed < low || parsed > high) return false;
    value = parsed;
    return true;
}

bool read_coordinate(std::string_view word, float& value) {
    double parsed = 0;
    auto [end, status] = std::from_chars(word.data(), word.data() + word.size(), parsed);
    if (status != std::errc() || end != word.data() + word.size()) return false;
    // Infinities and NaN would poison the hit tests; huge values would overflow the float.
    if (!std::isfinite(parsed) || std::fabs(parsed) > std::numeric_limits<float>::max()) return false;
    value = float(parsed);
    return true;
}

struct Kind {
    const char* word;
    EVENT_TYPE type;
    int numbers;       // numbers after the word
    int optional = 0;  // of which this many may be left out
};

// The words of the format and the event types they stand for.
constexpr Kind kinds[] = {
    {"key", EVENT_KEY_PRESS, 1},        {"keyup", EVENT_KEY_RELEASE, 1},   {"press", EVENT_MOUSE_PRESS, 3},
    {"release", EVENT_MOUSE_RELEASE, 3}, {"move", EVENT_MOUSE_MOVE, 3, 1}, {"char", EVENT_CHARACTER, 1},
    {"quit", EVENT_QUIT, 0},
};

const Kind* find_kind(std::string_view word) {
    for (const Kind& kind : kinds)
        if (word == kind.word) return &kind;
    return nullptr;
}

const Kind* find_kind(int type) {
    for (const Kind& kind : kinds)
        if (type == kind.type) return &kind;
    return nullptr;
}

std::string usage_of(const Kind& kind) {
    switch (kind.type) {
        case EVENT_MOUSE_PRESS: case EVENT_MOUSE_RELEASE: return std::string("FRAME ") + kind.word + " X Y BUTTON";
        case EVENT_MOUSE_MOVE: return "FRAME move X Y [BUTTON]";
        case EVENT_QUIT: return "FRAME quit";
        default: return std::string("FRAME ") + kind.word + " CODE";
    }
}

// Appended piece by piece: g++ 12 at -O3 mistakes "literal" + string for an
// overlapping copy (-Wrestrict).
std::string quoted(std::string_view word) { return std::string("\"").append(word).append("\""); }

std::string shortest(float value) {
    char buffer[32];
    auto [end, status] = std::to_chars(buffer, buffer + sizeof buffer, value);
    if (status != std::errc()) return "0";
    return std::string(buffer, end);
}

}  // namespace

bool parse_event_line(std::string_view line, ScriptedEvent& event, std::string& error) {
    const std::vector<std::string_view> words = split_words(line);
    if (words.empty()) {
        error = "empty event line";
        return false;
    }
    std::int64_t frame = 0;
    if (!read_integer<std::int64_t>(words[0], 0, std::numeric_limits<std::int64_t>::max(), frame)) {
        error = "the frame " + quoted(words[0]) + " is not a whole number from 0 up";
        return false;
    }
    if (words.size() < 2) {
        error = "frame " + std::string(words[0]) + " has no event";
        return false;
    }
    const Kind* kind = find_kind(words[1]);
    if (!kind) {
        error = "unknown event " + quoted(words[1]) + " (expected press, release, move, key, keyup, char or quit)";
        return false;
    }
    const int given = int(words.size()) - 2;
    if (given > kind->numbers || given < kind->numbers - kind->optional) {
        error = "wrong number of values for " + quoted(kind->word) + " (expected " + usage_of(*kind) + ")";
        return false;
    }

    Event parsed;
    parsed.type = kind->type;
    if (is_mouse_event(kind->type)) {
        if (!read_coordinate(words[2], parsed.x) || !read_coordinate(words[3], parsed.y)) {
            error = "bad coordinate in " + quoted(kind->word) + " (expected finite numbers: " + usage_of(*kind) + ")";
            return false;
        }
        if (given == 3 && !read_integer<std::int32_t>(words[4], 0, std::numeric_limits<std::int32_t>::max(),
                                                       parsed.button)) {
            error = "bad mouse button " + quoted(words[4]) + " (expected a whole number from 0 up)";
            return false;
        }
    } else if (kind->type != EVENT_QUIT) {
        std::int32_t code = 0;
        if (!read_integer<std::int32_t>(words[2], std::numeric_limits<std::int32_t>::min(),
                                        std::numeric_limits<std::int32_t>::max(), code)) {
            error = "bad code " + quoted(words[2]) + " for " + quoted(kind->word) + " (expected a whole number)";
            return false;
        }
        (kind->type == EVENT_CHARACTER ? parsed.character : parsed.key) = code;
    }
    event.frame = frame;
    event.event = parsed;
    return true;
}

bool parse_script(std::istream& in, const std::string& source_name, std::vector<ScriptedEvent>& events,
                  std::string& error) {
    std::vector<ScriptedEvent> parsed;
    std::string line;
    int number = 0;
    float pointer_x = 0, pointer_y = 0;
    while (std::getline(in, line)) {
        ++number;
        std::string_view content(line);
        if (auto hash = content.find('#'); hash != std::string_view::npos) content = content.substr(0, hash);
        if (split_words(content).empty()) continue;

        ScriptedEvent event;
        std::string reason;
        if (!parse_event_line(content, event, reason)) {
            error = source_name + ":" + std::to_string(number) + ": " + reason;
            events.clear();
            return false;
        }
        if (!parsed.empty() && event.frame < parsed.back().frame) {
            error = source_name + ":" + std::to_string(number) + ": frame " + std::to_string(event.frame) +
                    " comes after frame " + std::to_string(parsed.back().frame) + " of line " +
                    std::to_string(parsed.back().line) + " (frames must not go backwards)";
            events.clear();
            return false;
        }
        event.line = number;
        if (is_mouse_event(event.event.type)) {
            event.event.dx = event.event.x - pointer_x;
            event.event.dy = event.event.y - pointer_y;
            pointer_x = event.event.x;
            pointer_y = event.event.y;
        }
        parsed.push_back(event);
    }
    if (in.bad()) {
        error = source_name + ": read error after line " + std::to_string(number);
        events.clear();
        return false;
    }
    events = std::move(parsed);
    return true;
}

std::string format_event_line(std::int64_t frame, const Event& event) {
    const Kind* kind = find_kind(int(event.type));
    if (!kind) return "";
    std::string line = std::to_string(frame) + " " + kind->word;
    switch (event.type) {
        case EVENT_MOUSE_PRESS: case EVENT_MOUSE_RELEASE:
            line.append(" ").append(shortest(event.x)).append(" ").append(shortest(event.y));
            line.append(" ").append(std::to_string(event.button));
            break;
        case EVENT_MOUSE_MOVE:
            line.append(" ").append(shortest(event.x)).append(" ").append(shortest(event.y));
            if (event.button != 0) line.append(" ").append(std::to_string(event.button));
            break;
        case EVENT_CHARACTER: line.append(" ").append(std::to_string(event.character)); break;
        case EVENT_QUIT: break;
        default: line.append(" ").append(std::to_string(event.key)); break;
    }
    return line;
}

}  // namespace player
