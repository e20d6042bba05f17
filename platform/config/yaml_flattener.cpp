#include "platform/config/yaml_flattener.h"

#include <yaml.h>

#include <string_view>
#include <unordered_map>

namespace quillbox {

namespace {

std::string text_of(const yaml_char_t* data, std::size_t length) {
    return std::string(reinterpret_cast<const char*>(data), length);
}

// What an anchor stands for: the text of a scalar, or the values flattened
// under a mapping or sequence, kept as a range of the output (no copy).
struct Anchor {
    bool scalar = true;
    std::string text;
    int line = 0;
    int column = 0;
    std::size_t begin = 0;
    std::size_t end = 0;
    std::size_t prefix_length = 0;  // length of the collection's own key path
};

// One open mapping or sequence.
struct Frame {
    bool mapping = true;
    std::size_t prefix_length = 0;  // its key path is path_.substr(0, prefix_length)
    bool has_key = false;           // mapping: a key was read, its value comes next
    std::string key;
    std::size_t next_index = 0;  // sequence: index of the next item
    std::string anchor;
    std::size_t begin = 0;  // first output value of this collection
};

class Flattener {
public:
    Flattener(std::vector<FlatValue>& values, YamlError& error) : values_(values), error_(error) {}

    // False once an error is recorded.
    bool feed(const yaml_event_t& event) {
        switch (event.type) {
            case YAML_DOCUMENT_START_EVENT:
                anchors_.clear();  // anchors do not reach across documents
                return true;
            case YAML_SCALAR_EVENT:
            case YAML_ALIAS_EVENT:
            case YAML_MAPPING_START_EVENT:
            case YAML_SEQUENCE_START_EVENT:
                return node(event);
            case YAML_MAPPING_END_EVENT:
            case YAML_SEQUENCE_END_EVENT:
                return end_collection();
            default:
                return true;
        }
    }

private:
    bool fail(const yaml_mark_t& mark, std::string reason) {
        error_.line = int(mark.line) + 1;
        error_.column = int(mark.column) + 1;
        error_.reason = std::move(reason);
        return false;
    }

    static std::string join(const std::string& prefix, std::string_view part) {
        std::string key;
        key.reserve(prefix.size() + 2 + part.size());
        key = prefix;
        if (!key.empty()) key += "->";
        key += part;
        return key;
    }

    bool emit(std::string key, std::string value, int line, int column, const yaml_mark_t& mark) {
        if (values_.size() >= max_yaml_values)
            return fail(mark, "more than " + std::to_string(max_yaml_values) + " values (an alias expanding too far?)");
        bytes_ += key.size() + value.size();
        if (bytes_ > max_yaml_bytes)
            return fail(mark, "more than " + std::to_string(max_yaml_bytes >> 20) +
                                  " MiB of keys and values (an alias expanding too far?)");
        values_.push_back(FlatValue{std::move(key), std::move(value), line, column});
        return true;
    }

    const Anchor* find_anchor(const yaml_event_t& event) {
        const auto* name = reinterpret_cast<const char*>(event.data.alias.anchor);
        const auto it = anchors_.find(name);
        if (it != anchors_.end()) return &it->second;
        fail(event.start_mark, std::string("alias *") + name + " names no anchor defined before it");
        return nullptr;
    }

    bool read_key(const yaml_event_t& event, Frame& frame) {
        if (event.type == YAML_SCALAR_EVENT) {
            frame.key = text_of(event.data.scalar.value, event.data.scalar.length);
            if (event.data.scalar.anchor != nullptr) remember_scalar(event);
        } else if (event.type == YAML_ALIAS_EVENT) {
            const Anchor* anchor = find_anchor(event);
            if (anchor == nullptr) return false;
            if (!anchor->scalar) return fail(event.start_mark, "a mapping or sequence cannot be a key");
            frame.key = anchor->text;
        } else {
            return fail(event.start_mark, "a mapping or sequence cannot be a key");
        }
        if (frame.key.empty()) return fail(event.start_mark, "empty key");
        frame.has_key = true;
        return true;
    }

    void remember_scalar(const yaml_event_t& event) {
        Anchor& anchor = anchors_[reinterpret_cast<const char*>(event.data.scalar.anchor)];
        anchor = Anchor{};
        anchor.text = text_of(event.data.scalar.value, event.data.scalar.length);
        anchor.line = int(event.start_mark.line) + 1;
        anchor.column = int(event.start_mark.column) + 1;
    }

    bool node(const yaml_event_t& event) {
        std::string path;
        if (!stack_.empty()) {
            Frame& parent = stack_.back();
            if (parent.mapping) {
                if (!parent.has_key) return read_key(event, parent);
                path = join(path_, parent.key);
                parent.has_key = false;
            } else {
                path = join(path_, std::to_string(parent.next_index++));
            }
        }
        switch (event.type) {
            case YAML_SCALAR_EVENT: return scalar(event, std::move(path));
            case YAML_ALIAS_EVENT: return alias(event, path);
            default: return start_collection(event, std::move(path));
        }
    }

    bool scalar(const yaml_event_t& event, std::string path) {
        std::string text = text_of(event.data.scalar.value, event.data.scalar.length);
        if (event.data.scalar.anchor != nullptr) remember_scalar(event);
        if (stack_.empty()) {
            if (text.empty()) return true;  // an empty document
            return fail(event.start_mark, "the document is the single value \"" + text + "\", not a mapping of keys");
        }
        return emit(std::move(path), std::move(text), int(event.start_mark.line) + 1,
                    int(event.start_mark.column) + 1, event.start_mark);
    }

    bool alias(const yaml_event_t& event, const std::string& path) {
        const Anchor* found = find_anchor(event);
        if (found == nullptr) return false;
        const Anchor anchor = *found;
        if (anchor.scalar) return emit(path, anchor.text, anchor.line, anchor.column, event.start_mark);
        // Copy the values flattened under the anchor, re-rooted at path. By
        // index: emit() may move the vector.
        const std::size_t skip = anchor.prefix_length == 0 ? 0 : anchor.prefix_length + 2;
        for (std::size_t i = anchor.begin; i < anchor.end; ++i) {
            std::string key = join(path, std::string_view(values_[i].key).substr(skip));
            std::string value = values_[i].value;
            if (!emit(std::move(key), std::move(value), values_[i].line, values_[i].column, event.start_mark))
                return false;
        }
        return true;
    }

    bool start_collection(const yaml_event_t& event, std::string path) {
        if (stack_.size() >= max_yaml_depth)
            return fail(event.start_mark, "nesting deeper than " + std::to_string(max_yaml_depth) + " levels");
        const bool mapping = event.type == YAML_MAPPING_START_EVENT;
        const yaml_char_t* anchor = mapping ? event.data.mapping_start.anchor : event.data.sequence_start.anchor;
        Frame frame;
        frame.mapping = mapping;
        frame.prefix_length = path.size();
        if (anchor != nullptr) frame.anchor = reinterpret_cast<const char*>(anchor);
        frame.begin = values_.size();
        path_ = std::move(path);
        stack_.push_back(std::move(frame));
        return true;
    }

    bool end_collection() {
        Frame& frame = stack_.back();
        if (!frame.anchor.empty()) {
            Anchor& anchor = anchors_[frame.anchor];
            anchor = Anchor{};
            anchor.scalar = false;
            anchor.begin = frame.begin;
            anchor.end = values_.size();
            anchor.prefix_length = frame.prefix_length;
        }
        stack_.pop_back();
        path_.resize(stack_.empty() ? 0 : stack_.back().prefix_length);
        return true;
    }

    std::vector<FlatValue>& values_;
    YamlError& error_;
    std::string path_;  // key path of the innermost open collection
    std::vector<Frame> stack_;
    std::unordered_map<std::string, Anchor> anchors_;
    std::size_t bytes_ = 0;
};

// libyaml's reader reports a byte offset instead of a mark.
void position_of_offset(const std::vector<std::uint8_t>& text, std::size_t offset, YamlError& error) {
    error.line = 1;
    error.column = 1;
    for (std::size_t i = 0; i < offset && i < text.size(); ++i) {
        if (text[i] == '\n') {
            ++error.line;
            error.column = 1;
        } else {
            ++error.column;
        }
    }
}

YamlError parser_error(const yaml_parser_t& parser, const std::vector<std::uint8_t>& text) {
    YamlError error;
    if (parser.error == YAML_MEMORY_ERROR) {
        error.reason = "out of memory while parsing";
        position_of_offset(text, parser.offset, error);
        return error;
    }
    error.reason = parser.problem != nullptr ? parser.problem : "malformed YAML";
    if (parser.error == YAML_READER_ERROR) {
        position_of_offset(text, parser.problem_offset, error);
        return error;
    }
    error.line = int(parser.problem_mark.line) + 1;
    error.column = int(parser.problem_mark.column) + 1;
    if (parser.context != nullptr)
        error.reason += std::string(" (") + parser.context + " at line " +
                        std::to_string(parser.context_mark.line + 1) + ", column " +
                        std::to_string(parser.context_mark.column + 1) + ")";
    return error;
}

class ParserHandle {
public:
    ParserHandle() : ready_(yaml_parser_initialize(&parser_) != 0) {}
    ~ParserHandle() {
        if (ready_) yaml_parser_delete(&parser_);
    }
    ParserHandle(const ParserHandle&) = delete;
    ParserHandle& operator=(const ParserHandle&) = delete;
    bool ready() const { return ready_; }
    yaml_parser_t* get() { return &parser_; }

private:
    yaml_parser_t parser_{};
    bool ready_;
};

class EventHandle {
public:
    EventHandle() = default;
    ~EventHandle() { yaml_event_delete(&event_); }
    EventHandle(const EventHandle&) = delete;
    EventHandle& operator=(const EventHandle&) = delete;
    yaml_event_t* get() { return &event_; }

private:
    yaml_event_t event_{};
};

}  // namespace

bool flatten_yaml(const std::vector<std::uint8_t>& text, std::vector<FlatValue>& values, YamlError& error) {
    ParserHandle parser;
    if (!parser.ready()) {
        error = YamlError{1, 1, "cannot start the YAML parser"};
        return false;
    }
    static const unsigned char nothing = 0;  // libyaml wants a non-null input even when it is empty
    yaml_parser_set_input_string(parser.get(), text.empty() ? &nothing : text.data(), text.size());
    Flattener flattener(values, error);
    for (;;) {
        EventHandle event;
        if (!yaml_parser_parse(parser.get(), event.get())) {
            error = parser_error(*parser.get(), text);
            return false;
        }
        if (event.get()->type == YAML_STREAM_END_EVENT) return true;
        if (!flattener.feed(*event.get())) return false;
    }
}

}  // namespace quillbox
