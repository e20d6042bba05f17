#include "platform/textrenderer/font_lookup.h"

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
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

std::string string_of(FcPattern* pattern, const char* object) {
    FcChar8* value = nullptr;
    if (FcPatternGetString(pattern, object, 0, &value) != FcResultMatch) return "";
    return reinterpret_cast<const char*>(value);
}

// "DejaVu Sans Bold": family and style, the way font lists name a face.
std::string face_name(FcPattern* face) {
    const std::string style = string_of(face, FC_STYLE);
    return string_of(face, FC_FAMILY) + (style.empty() ? "" : " " + style);
}

// A weight or slant as a number: fontconfig keeps it as an integer, a double
// or, for variable fonts, a range (taken at its middle).
bool number_of(FcPattern* pattern, const char* object, double& number) {
    FcValue value;
    if (FcPatternGet(pattern, object, 0, &value) != FcResultMatch) return false;
    double low = 0, high = 0;
    switch (value.type) {
        case FcTypeInteger: number = value.u.i; return true;
        case FcTypeDouble: number = value.u.d; return true;
        case FcTypeRange:
            if (!FcRangeGetDouble(value.u.r, &low, &high)) return false;
            number = (low + high) / 2;
            return true;
        default: return false;
    }
}

bool has_family(FcPattern* face, const std::string& family) {
    FcChar8* name = nullptr;
    for (int i = 0; FcPatternGetString(face, FC_FAMILY, i, &name) == FcResultMatch; ++i)
        if (lower(reinterpret_cast<const char*>(name)) == lower(family)) return true;
    return false;
}

// Why the matched face is not what the pattern asked for, or "" when it is.
// fontconfig always answers with its nearest face: an upright face for an
// italic request, a regular one for bold, marked to be sheared or thickened
// (which this renderer does not do). Drawing that silently would show the
// author another style than the one written. Italic and oblique count as
// the same request, and weights within one step (book and regular) as equal.
std::string style_difference(FcPattern* requested, FcPattern* face) {
    FcBool embolden = FcFalse;
    if (FcPatternGetBool(face, FC_EMBOLDEN, 0, &embolden) == FcResultMatch && embolden)
        return "which is lighter than asked (there is no bold face)";
    FcMatrix* shear = nullptr;
    if (FcPatternGetMatrix(face, FC_MATRIX, 0, &shear) == FcResultMatch && (shear->xy != 0 || shear->yx != 0))
        return "which is upright, not italic (there is no slanted face)";
    FcChar8* family = nullptr;
    if (FcPatternGetString(requested, FC_FAMILY, 0, &family) == FcResultMatch) {
        const std::string wanted = reinterpret_cast<const char*>(family);
        if (!is_generic_family(wanted) && !has_family(face, wanted)) return "not of the family \"" + wanted + "\"";
    }
    double wanted = 0, found = 0;
    if (number_of(requested, FC_SLANT, wanted) && number_of(face, FC_SLANT, found) &&
        (wanted == FC_SLANT_ROMAN) != (found == FC_SLANT_ROMAN))
        return wanted == FC_SLANT_ROMAN ? "which is slanted, not upright" : "which is upright, not italic";
    constexpr double weight_step = 10;
    if (number_of(requested, FC_WEIGHT, wanted) && number_of(face, FC_WEIGHT, found) &&
        std::abs(wanted - found) > weight_step)
        return found < wanted ? "which is lighter than asked" : "which is heavier than asked";
    return "";
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
    // What the author wrote, before fontconfig adds its defaults and aliases.
    const Pattern requested(FcPatternDuplicate(pattern.get()), FcPatternDestroy);
    if (!requested || !FcConfigSubstitute(config, pattern.get(), FcMatchPattern)) {
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
    const std::string difference = style_difference(requested.get(), match.get());
    if (!difference.empty()) {
        reason = "Font \"" + font + "\" not found: the closest installed face is \"" + face_name(match.get()) +
                 "\" (" + reinterpret_cast<const char*>(path) + "), " + difference;
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
