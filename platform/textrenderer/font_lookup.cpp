#include "platform/textrenderer/font_lookup.h"

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <filesystem>
#include <memory>

namespace textrenderer {

FcConfig* font_config() {
    static FcConfig* config = FcInitLoadConfigAndFonts();
    return config;
}

namespace {

using Pattern = std::unique_ptr<FcPattern, decltype(&FcPatternDestroy)>;

std::string lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return text;
}

bool is_generic_family(const std::string& family) {
    static constexpr std::array<const char*, 10> generic{"sans-serif", "sans",    "serif",     "monospace", "mono",
                                                         "cursive",    "fantasy", "system-ui", "emoji",     "math"};
    const std::string name = lower(family);
    return std::any_of(generic.begin(), generic.end(), [&](const char* g) { return name == g; });
}

bool family_installed(FcConfig* config, const std::string& family) {
    Pattern query(FcPatternCreate(), FcPatternDestroy);
    if (!query) return false;
    FcPatternAddString(query.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    std::unique_ptr<FcObjectSet, decltype(&FcObjectSetDestroy)> objects(FcObjectSetBuild(FC_FAMILY, nullptr),
                                                                        FcObjectSetDestroy);
    std::unique_ptr<FcFontSet, decltype(&FcFontSetDestroy)> fonts(FcFontList(config, query.get(), objects.get()),
                                                                  FcFontSetDestroy);
    return fonts && fonts->nfont > 0;
}

bool looks_like_path(const std::string& font) {
    if (font.find('/') != std::string::npos) return true;
    std::error_code ignored;
    return std::filesystem::is_regular_file(font, ignored);
}

bool match_pattern(const std::string& font, FontFile& file, std::string& reason) {
    FcConfig* config = font_config();
    if (!config) {
        reason = "fontconfig could not load its configuration";
        return false;
    }
    const std::string text = font.empty() ? "sans-serif" : font;
    Pattern pattern(FcNameParse(reinterpret_cast<const FcChar8*>(text.c_str())), FcPatternDestroy);
    if (!pattern) {
        reason = "Font \"" + font + "\" is not a valid fontconfig pattern";
        return false;
    }
    FcChar8* family = nullptr;
    for (int i = 0; FcPatternGetString(pattern.get(), FC_FAMILY, i, &family) == FcResultMatch; ++i) {
        const std::string name = reinterpret_cast<const char*>(family);
        if (!is_generic_family(name) && !family_installed(config, name)) {
            reason = "Font \"" + font + "\" not found: no installed font family \"" + name + "\"";
            return false;
        }
    }
    if (!FcConfigSubstitute(config, pattern.get(), FcMatchPattern)) {
        reason = "Font \"" + font + "\": fontconfig ran out of memory";
        return false;
    }
    FcDefaultSubstitute(pattern.get());
    FcResult result = FcResultNoMatch;
    Pattern match(FcFontMatch(config, pattern.get(), &result), FcPatternDestroy);
    FcChar8* path = nullptr;
    if (!match || FcPatternGetString(match.get(), FC_FILE, 0, &path) != FcResultMatch) {
        reason = "Font \"" + font + "\" not found: fontconfig has no matching font";
        return false;
    }
    file.path = reinterpret_cast<const char*>(path);
    file.index = 0;
    FcPatternGetInteger(match.get(), FC_INDEX, 0, &file.index);  // stays 0 when absent
    return true;
}

}  // namespace

bool find_font_file(const std::string& font, FontFile& file, std::string& reason) {
    if (!font.empty() && looks_like_path(font)) {
        std::error_code error;
        if (!std::filesystem::is_regular_file(font, error)) {
            reason = "Font \"" + font + "\" not found: no such file";
            return false;
        }
        file.path = font;
        file.index = 0;
        return true;
    }
    return match_pattern(font, file, reason);
}

}  // namespace textrenderer
