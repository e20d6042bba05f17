#include "platform/textrenderer/font_fallback.h"

#include <memory>

namespace textrenderer {

namespace {

bool is_file(const std::string& font) {
    FontFile file;
    std::string ignored;
    return !font.empty() && find_font_file(font, file, ignored) && file.path == font;
}

FcFontSet* sorted_fonts(const std::string& font) {
    FcConfig* config = font_config();
    if (!config) return nullptr;
    const std::string text = font.empty() || is_file(font) ? "sans-serif" : font;
    std::unique_ptr<FcPattern, decltype(&FcPatternDestroy)> pattern(
        FcNameParse(reinterpret_cast<const FcChar8*>(text.c_str())), FcPatternDestroy);
    if (!pattern || !FcConfigSubstitute(config, pattern.get(), FcMatchPattern)) return nullptr;
    FcDefaultSubstitute(pattern.get());
    FcResult result = FcResultNoMatch;
    // Trimmed: fonts that add no character to those before them are left out.
    return FcFontSort(config, pattern.get(), FcTrue, nullptr, &result);
}

}  // namespace

FallbackFonts::~FallbackFonts() { clear(); }

void FallbackFonts::clear() {
    for (auto& entry : by_font_)
        if (entry.second.fonts) FcFontSetDestroy(entry.second.fonts);
    by_font_.clear();
    answer_count_ = 0;
}

FallbackFonts::Candidates& FallbackFonts::candidates(const std::string& font) {
    auto found = by_font_.find(font);
    if (found == by_font_.end()) {
        found = by_font_.emplace(font, Candidates{sorted_fonts(font), {}}).first;
        ++answer_count_;
    }
    return found->second;
}

bool FallbackFonts::find(const std::string& font, char32_t code, FontFile& file) {
    Candidates& list = candidates(font);
    auto [answer, fresh] = list.answers.emplace(code, -1);
    if (fresh) {
        ++answer_count_;
        for (int i = 0; list.fonts && i < list.fonts->nfont; ++i) {
            FcCharSet* characters = nullptr;
            if (FcPatternGetCharSet(list.fonts->fonts[i], FC_CHARSET, 0, &characters) == FcResultMatch &&
                FcCharSetHasChar(characters, code)) {
                answer->second = i;
                break;
            }
        }
    }
    FcChar8* path = nullptr;
    if (answer->second < 0 ||
        FcPatternGetString(list.fonts->fonts[answer->second], FC_FILE, 0, &path) != FcResultMatch)
        return false;
    file.path = reinterpret_cast<const char*>(path);
    file.index = 0;
    FcPatternGetInteger(list.fonts->fonts[answer->second], FC_INDEX, 0, &file.index);  // stays 0 when absent
    return true;
}

}  // namespace textrenderer
