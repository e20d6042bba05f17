#include "platform/textrenderer/text_runs.h"

#include <algorithm>

namespace textrenderer {

namespace {

// Scripts that take the script of the text around them.
bool is_neutral(hb_script_t script) {
    return script == HB_SCRIPT_COMMON || script == HB_SCRIPT_INHERITED || script == HB_SCRIPT_UNKNOWN;
}

bool is_mark(hb_unicode_general_category_t category) {
    return category == HB_UNICODE_GENERAL_CATEGORY_NON_SPACING_MARK ||
           category == HB_UNICODE_GENERAL_CATEGORY_SPACING_MARK ||
           category == HB_UNICODE_GENERAL_CATEGORY_ENCLOSING_MARK;
}

// Format and control characters and variation selectors, which are never
// drawn as glyphs of their own.
bool is_invisible(char32_t code, hb_unicode_general_category_t category) {
    return category == HB_UNICODE_GENERAL_CATEGORY_FORMAT || category == HB_UNICODE_GENERAL_CATEGORY_CONTROL ||
           (code >= 0xfe00 && code <= 0xfe0f) || (code >= 0xe0100 && code <= 0xe01ef);
}

// The text is valid UTF-8: the renderer checks it first.
void decode(std::string_view line, RunScratch& scratch) {
    scratch.codes.clear();
    scratch.offsets.clear();
    for (std::size_t i = 0; i < line.size();) {
        const auto lead = std::uint8_t(line[i]);
        const std::size_t length = lead < 0x80 ? 1 : lead < 0xe0 ? 2 : lead < 0xf0 ? 3 : 4;
        FriBidiChar code = length == 1 ? lead : length == 2 ? lead & 0x1fu : length == 3 ? lead & 0x0fu : lead & 0x07u;
        for (std::size_t k = 1; k < length; ++k) code = (code << 6) | (std::uint8_t(line[i + k]) & 0x3fu);
        scratch.codes.push_back(code);
        scratch.offsets.push_back(i);
        i += length;
    }
    scratch.offsets.push_back(line.size());
}

// Code points below Hebrew are all left to right, and scripts there shape
// alike: a line of them that the chosen face covers is shaped as a whole.
bool chosen_face_draws_alone(const RunScratch& scratch, SizedFace& chosen) {
    return std::all_of(scratch.codes.begin(), scratch.codes.end(),
                       [&](FriBidiChar code) { return code < 0x590 && (code < 0x20 || chosen.has_char(code)); });
}

void choose_faces(RunScratch& scratch, SizedFace& chosen, FaceSource& fallback, std::u32string& missing) {
    hb_unicode_funcs_t* unicode = hb_unicode_funcs_get_default();
    scratch.faces.assign(scratch.codes.size(), &chosen);
    for (std::size_t i = 0; i < scratch.codes.size(); ++i) {
        const char32_t code = scratch.codes[i];
        const auto category = hb_unicode_general_category(unicode, code);
        const bool invisible = is_invisible(code, category);
        if (i > 0 && (invisible || (is_mark(category) && scratch.faces[i - 1]->has_char(code)))) {
            scratch.faces[i] = scratch.faces[i - 1];
        } else if (invisible || chosen.has_char(code)) {
            scratch.faces[i] = &chosen;
        } else if (SizedFace* other = fallback.face_for(code)) {
            scratch.faces[i] = other;
        } else if (missing.find(code) == std::u32string::npos) {
            missing.push_back(code);
        }
    }
}

// Neutral characters take the script before them, or at the line's start the first one after.
void resolve_scripts(RunScratch& scratch) {
    hb_unicode_funcs_t* unicode = hb_unicode_funcs_get_default();
    scratch.scripts.clear();
    hb_script_t last = HB_SCRIPT_INVALID;
    for (FriBidiChar code : scratch.codes) {
        const hb_script_t script = hb_unicode_script(unicode, code);
        if (!is_neutral(script)) last = script;
        scratch.scripts.push_back(is_neutral(script) ? last : script);
    }
    const auto first = std::find_if(scratch.scripts.begin(), scratch.scripts.end(),
                                    [](hb_script_t script) { return script != HB_SCRIPT_INVALID; });
    if (first != scratch.scripts.end()) std::fill(scratch.scripts.begin(), first, *first);
}

void resolve_levels(RunScratch& scratch) {
    const auto count = FriBidiStrIndex(scratch.codes.size());
    scratch.types.resize(scratch.codes.size());
    scratch.brackets.resize(scratch.codes.size());
    scratch.levels.assign(scratch.codes.size(), 0);
    fribidi_get_bidi_types(scratch.codes.data(), count, scratch.types.data());
    fribidi_get_bracket_types(scratch.codes.data(), count, scratch.types.data(), scratch.brackets.data());
    FriBidiParType direction = FRIBIDI_PAR_ON;  // from the line's first strong character
    if (!fribidi_get_par_embedding_levels_ex(scratch.types.data(), scratch.brackets.data(), count, &direction,
                                             scratch.levels.data()))
        std::fill(scratch.levels.begin(), scratch.levels.end(), 0);  // out of memory: left to right
}

// From the highest level down to the lowest odd one, each maximal sequence
// of runs at that level or above is reversed.
void reorder_visually(std::vector<TextRun>& runs) {
    int highest = 0, lowest_odd = 127;
    for (const TextRun& run : runs) {
        highest = std::max(highest, run.level);
        if (run.level % 2) lowest_odd = std::min(lowest_odd, run.level);
    }
    for (int level = highest; level >= lowest_odd; --level)
        for (auto first = runs.begin(); first != runs.end();) {
            if (first->level < level) {
                ++first;
                continue;
            }
            auto end = std::find_if(first, runs.end(), [level](const TextRun& run) { return run.level < level; });
            std::reverse(first, end);
            first = end;
        }
}

}  // namespace

void split_runs(std::string_view line, SizedFace& chosen, FaceSource& fallback, RunScratch& scratch,
                std::vector<TextRun>& runs, std::u32string& missing) {
    runs.clear();
    if (line.empty()) return;
    decode(line, scratch);
    if (chosen_face_draws_alone(scratch, chosen)) {
        runs.push_back({0, line.size(), &chosen, HB_SCRIPT_INVALID, HB_DIRECTION_INVALID, 0});
        return;
    }
    choose_faces(scratch, chosen, fallback, missing);
    resolve_scripts(scratch);
    resolve_levels(scratch);
    for (std::size_t i = 0; i < scratch.codes.size(); ++i) {
        const int level = scratch.levels[i];
        if (!runs.empty() && runs.back().face == scratch.faces[i] && runs.back().script == scratch.scripts[i] &&
            runs.back().level == level) {
            runs.back().end = scratch.offsets[i + 1];
            continue;
        }
        runs.push_back({scratch.offsets[i], scratch.offsets[i + 1], scratch.faces[i], scratch.scripts[i],
                        level % 2 ? HB_DIRECTION_RTL : HB_DIRECTION_LTR, level});
    }
    reorder_visually(runs);
}

}  // namespace textrenderer
