#include "tests/support/font_check.h"

#include <fontconfig/fontconfig.h>

#include <filesystem>

namespace testsupport {

std::string missing_font_package(const std::vector<ExpectedFont>& fonts) {
    for (const ExpectedFont& font : fonts) {
        // Resolved as the text renderer asks for it.
        FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(font.pattern.c_str()));
        FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
        FcDefaultSubstitute(pattern);
        FcResult result = FcResultNoMatch;
        FcPattern* match = FcFontMatch(nullptr, pattern, &result);
        std::string file = "nothing";
        FcChar8* path = nullptr;
        if (match && FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch)
            file = std::filesystem::path(reinterpret_cast<const char*>(path)).filename().string();
        if (match) FcPatternDestroy(match);
        FcPatternDestroy(pattern);
        if (file != font.file)
            return "font \"" + font.pattern + "\" resolves to \"" + file + "\", not \"" + font.file +
                   "\": install the package " + font.package + " (scripts/setup does)";
    }
    return "";
}

const std::vector<ExpectedFont>& presentation_fonts() {
    static const std::vector<ExpectedFont> fonts{
        {"DejaVu Sans", "DejaVuSans.ttf", "fonts-dejavu-core"},
        {"DejaVu Sans:bold", "DejaVuSans-Bold.ttf", "fonts-dejavu-core"},
        {"DejaVu Sans:italic", "DejaVuSans-Oblique.ttf", "fonts-dejavu-extra"},
    };
    return fonts;
}

}  // namespace testsupport
