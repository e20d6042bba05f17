#pragma once

#include <fribidi.h>
#include <hb.h>

#include <string>
#include <string_view>
#include <vector>

#include "platform/textrenderer/sized_face.h"

namespace textrenderer {

// Faces for the characters the chosen face lacks.
class FaceSource {
public:
    virtual ~FaceSource() = default;
    // The face that stands in for code; null when no installed face has it.
    virtual SizedFace* face_for(char32_t code) = 0;
};

// A stretch of a line shaped as one: one face, one script, one direction.
struct TextRun {
    std::size_t begin = 0;  // bytes of the line
    std::size_t end = 0;
    SizedFace* face = nullptr;
    // Both invalid: HarfBuzz guesses them, as for a left-to-right line that
    // the chosen face draws alone.
    hb_script_t script = HB_SCRIPT_INVALID;
    hb_direction_t direction = HB_DIRECTION_INVALID;
    int level = 0;  // bidirectional embedding level; odd is right to left
};

// Space split_runs reuses between calls, so that a warm render allocates nothing.
struct RunScratch {
    std::vector<FriBidiChar> codes;
    std::vector<std::size_t> offsets;  // byte offset of each code, and the line's end
    std::vector<SizedFace*> faces;
    std::vector<hb_script_t> scripts;
    std::vector<FriBidiCharType> types;
    std::vector<FriBidiBracketType> brackets;
    std::vector<FriBidiLevel> levels;
};

// Splits one line of valid UTF-8 into runs, in visual order from left to
// right: each character goes to the chosen face when it has a glyph, else to
// the face fallback finds, else to the chosen face (its missing-glyph box),
// and then its code point is added to missing unless already there. Marks,
// variation selectors and other invisible characters stay with the face of
// the character they follow. Directions follow the Unicode bidirectional
// algorithm with the line as its own paragraph.
void split_runs(std::string_view line, SizedFace& chosen, FaceSource& fallback, RunScratch& scratch,
                std::vector<TextRun>& runs, std::u32string& missing);

}  // namespace textrenderer
