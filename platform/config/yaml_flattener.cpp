#include "platform/config/yaml_flattener.h"

#include <yaml.h>

#include <algorithm>
#include <charconv>
#include <string_view>
#include <unordered_map>

namespace quillbox {

namespace {

std::string_view text_of(const yaml_char_t* data, std::size_t length) {
    return std::string_view(reinterpret_cast<const char*>(data), length);
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

// One open mapping or sequence. Frames are reused from one collection to the
// next, so their strings keep their buffers.
struct Frame {
    bool mapping = true;
    std::size_t prefix_length = 0;  // its key path is path_.substr(0, prefix_length)
    bool has_key = false;           // mapping: a key was read, its value comes next
    std::string key;
    std::size_t next_index = 0;  // sequence: index of the next item
    std::string anchor;
    std::size_t begin = 0;  // first output value of this collection
};

// The part a node adds to its parent's key path: a mapping key or a sequence
// index. Empty for the document's root.
class KeyPart {
public:
    void set(std::string_view text) { text_ = text; }
    void set_index(std::size_t index) {
        const auto end = std::to_chars(digits_, digits_ + sizeof digits_, index).ptr;
        text_ = std::string_view(digits_, std::size_t(end - digits_));
    }
    std::string_view text() const { return text_; }

private:
    char digits_[24];
    std::string_view text_;
};

class Flattener {
public:
    Flattener(FlatValues& values, YamlError& error)
        : values_(values), error_(error), first_item_(values.items.size()) {}

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

    static std::size_t joined_length(std::string_view prefix, std::string_view part) {
        return prefix.size() + (prefix.empty() ? 0 : 2) + part.size();
    }

    static void append_joined(std::string& out, std::string_view prefix, std::string_view part) {
        out.append(prefix);
        if (!prefix.empty()) out.append("->", 2);
        out.append(part);
    }

    // Appends one value whose key is prefix "->" part. The views may point
    // into values_.bytes: room is made first, so appending never moves them.
    bool emit(std::string_view prefix, std::string_view part, std::string_view value, int line, int column,
              const yaml_mark_t& mark) {
        if (values_.items.size() - first_item_ >= max_yaml_values)
            return fail(mark, "more than " + std::to_string(max_yaml_values) + " values (an alias expanding too far?)");
        const std::size_t key_length = joined_length(prefix, part);
        bytes_ += key_length + value.size();
        if (bytes_ > max_yaml_bytes)
            return fail(mark, "more than " + std::to_string(max_yaml_bytes >> 20) +
                                  " MiB of keys and values (an alias expanding too far?)");
        std::string& out = values_.bytes;
        const std::size_t needed = out.size() + key_length + value.size();
        if (needed > out.capacity()) {
            // Views into the buffer are taken again after it moved.
            const char* old = out.data();
            const std::ptrdiff_t prefix_at = inside(prefix, old, out.size());
            const std::ptrdiff_t part_at = inside(part, old, out.size());
            const std::ptrdiff_t value_at = inside(value, old, out.size());
            out.reserve(std::max(needed, out.capacity() * 2));
            if (prefix_at >= 0) prefix = std::string_view(out.data() + prefix_at, prefix.size());
            if (part_at >= 0) part = std::string_view(out.data() + part_at, part.size());
            if (value_at >= 0) value = std::string_view(out.data() + value_at, value.size());
        }
        FlatValues::Item item;
        item.key_offset = out.size();
        item.key_length = std::uint32_t(key_length);
        append_joined(out, prefix, part);
        item.value_offset = out.size();
        item.value_length = std::uint32_t(value.size());
        out.append(value);
        item.line = line;
        item.column = column;
        values_.items.push_back(item);
        return true;
    }

    // Offset of view within the buffer at base, or -1 when it lies elsewhere.
    static std::ptrdiff_t inside(std::string_view view, const char* base, std::size_t size) {
        if (view.empty() || view.data() < base || view.data() >= base + size) return -1;
        return view.data() - base;
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
            frame.key.assign(text_of(event.data.scalar.value, event.data.scalar.length));
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
        KeyPart part;
        if (depth_ > 0) {
            Frame& parent = stack_[depth_ - 1];
            if (parent.mapping) {
                if (!parent.has_key) return read_key(event, parent);
                part.set(parent.key);
                parent.has_key = false;
            } else {
                part.set_index(parent.next_index++);
            }
        }
        switch (event.type) {
            case YAML_SCALAR_EVENT: return scalar(event, part.text());
            case YAML_ALIAS_EVENT: return alias(event, part.text());
            default: return start_collection(event, part.text());
        }
    }

    bool scalar(const yaml_event_t& event, std::string_view part) {
        const std::string_view text = text_of(event.data.scalar.value, event.data.scalar.length);
        if (event.data.scalar.anchor != nullptr) remember_scalar(event);
        if (depth_ == 0) {
            if (text.empty()) return true;  // an empty document
            return fail(event.start_mark,
                        "the document is the single value \"" + std::string(text) + "\", not a mapping of keys");
        }
        return emit(path_, part, text, int(event.start_mark.line) + 1, int(event.start_mark.column) + 1,
                    event.start_mark);
    }

    bool alias(const yaml_event_t& event, std::string_view part) {
        const Anchor* found = find_anchor(event);
        if (found == nullptr) return false;
        const Anchor anchor = *found;
        if (anchor.scalar) return emit(path_, part, anchor.text, anchor.line, anchor.column, event.start_mark);
        // Copy the values flattened under the anchor, re-rooted at the
        // alias's own path. By index: emit() may move the buffers.
        std::string path;
        path.reserve(joined_length(path_, part));
        append_joined(path, path_, part);
        const std::size_t skip = anchor.prefix_length == 0 ? 0 : anchor.prefix_length + 2;
        for (std::size_t i = anchor.begin; i < anchor.end; ++i) {
            const FlatValues::Item item = values_.items[i];
            const std::string_view key = values_.key(item).substr(skip);
            if (!emit(path, key, values_.value(item), item.line, item.column, event.start_mark)) return false;
        }
        return true;
    }

    bool start_collection(const yaml_event_t& event, std::string_view part) {
        if (depth_ >= max_yaml_depth)
            return fail(event.start_mark, "nesting deeper than " + std::to_string(max_yaml_depth) + " levels");
        const bool mapping = event.type == YAML_MAPPING_START_EVENT;
        const yaml_char_t* anchor = mapping ? event.data.mapping_start.anchor : event.data.sequence_start.anchor;
        // The part may be the parent frame's key: extend the path before the
        // stack may grow and move the frames.
        if (depth_ > 0) {
            if (!path_.empty()) path_.append("->", 2);
            path_.append(part);
        } else {
            path_.clear();
        }
        if (depth_ == stack_.size()) stack_.emplace_back();
        Frame& frame = stack_[depth_++];
        frame.mapping = mapping;
        frame.prefix_length = path_.size();
        frame.has_key = false;
        frame.next_index = 0;
        if (anchor != nullptr)
            frame.anchor.assign(reinterpret_cast<const char*>(anchor));
        else
            frame.anchor.clear();
        frame.begin = values_.items.size();
        return true;
    }

    bool end_collection() {
        Frame& frame = stack_[depth_ - 1];
        if (!frame.anchor.empty()) {
            Anchor& anchor = anchors_[frame.anchor];
            anchor = Anchor{};
            anchor.scalar = false;
            anchor.begin = frame.begin;
            anchor.end = values_.items.size();
            anchor.prefix_length = frame.prefix_length;
        }
        --depth_;
        path_.resize(depth_ == 0 ? 0 : stack_[depth_ - 1].prefix_length);
        return true;
    }

    FlatValues& values_;
    YamlError& error_;
    const std::size_t first_item_;  // values of earlier texts are not counted against the caps
    std::string path_;              // key path of the innermost open collection
    std::vector<Frame> stack_;      // frames [0, depth_) are open
    std::size_t depth_ = 0;
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

bool flatten_yaml(const std::vector<std::uint8_t>& text, FlatValues& values, YamlError& error) {
    ParserHandle parser;
    if (!parser.ready()) {
        error = YamlError{1, 1, "cannot start the YAML parser"};
        return false;
    }
    static const unsigned char nothing = 0;  // libyaml wants a non-null input even when it is empty
    yaml_parser_set_input_string(parser.get(), text.empty() ? &nothing : text.data(), text.size());
    // Room for what a text usually flattens to (keys grow into full paths),
    // reserved once: growing by doubling would copy tens of megabytes for a
    // scene of many objects. Untouched room costs no memory.
    values.bytes.reserve(values.bytes.size() + text.size() * 2);
    values.items.reserve(values.items.size() + text.size() / 16);
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
