#pragma once

#include <fontconfig/fontconfig.h>

#include <map>
#include <string>
#include <unordered_map>

#include "platform/textrenderer/font_lookup.h"

namespace textrenderer {

// The installed faces that stand in for a font's missing characters:
// fontconfig's installed fonts sorted by closeness to the font's pattern (a
// font file is given the default sans-serif pattern's list), the first whose
// character set has the character taken. Lists and answers are kept per font
// as written until clear().
class FallbackFonts {
public:
    FallbackFonts() = default;
    ~FallbackFonts();
    FallbackFonts(const FallbackFonts&) = delete;
    FallbackFonts& operator=(const FallbackFonts&) = delete;

    // The closest installed face with a glyph for code; false when none has one.
    bool find(const std::string& font, char32_t code, FontFile& file);
    // Number of fonts and characters looked up, for the cache's bounds.
    std::size_t answers() const { return answer_count_; }
    void clear();

private:
    struct Candidates {
        FcFontSet* fonts = nullptr;                 // sorted, best first; null when fontconfig has none
        std::unordered_map<char32_t, int> answers;  // index into fonts, -1 for none
    };
    Candidates& candidates(const std::string& font);

    std::map<std::string, Candidates> by_font_;
    std::size_t answer_count_ = 0;
};

}  // namespace textrenderer
