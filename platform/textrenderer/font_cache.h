#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <tuple>

#include "platform/textrenderer/font_fallback.h"
#include "platform/textrenderer/font_lookup.h"
#include "platform/textrenderer/sized_face.h"

namespace textrenderer {

// Faces by (font file, face index, pixel size), each opened once and kept
// with its glyphs, so that rendering the same font again costs no file access
// and no glyph rasterising. Fallback faces, found for characters a font
// lacks, are kept the same way. Memory stays bounded: past max_faces faces,
// past max_fallback_answers characters looked up, or past max_glyph_bytes of
// glyph bitmaps, trim() lets everything go and the next render starts cold.
// A font file is read once: changing it on disk during the run changes
// nothing until the cache lets it go.
class FontCache {
public:
    static constexpr std::size_t max_faces = 32;
    static constexpr std::size_t max_glyph_bytes = 64u * 1024 * 1024;
    static constexpr std::size_t max_fallback_answers = 64u * 1024;
    // Larger font files are refused (the biggest collections hold a few tens of MiB).
    static constexpr std::uintmax_t max_font_file_bytes = 128u * 1024 * 1024;

    FontCache();
    ~FontCache();
    FontCache(const FontCache&) = delete;
    FontCache& operator=(const FontCache&) = delete;

    // The face of font at size pixels; null with a reason naming the font.
    // The pointer stays valid until the next trim().
    SizedFace* get(const std::string& font, int size, std::string& reason);
    // The installed face that stands in for font where it lacks code, at size
    // pixels; null when no installed face has the character or the one that
    // has it cannot be opened. Valid as long as get()'s pointers.
    SizedFace* fallback(const std::string& font, char32_t code, int size);
    // Frees what the limits above no longer allow. Call between renders only.
    void trim();

private:
    FT_Library library_ = nullptr;
    FontBytes read_font(const std::string& path, std::string& reason);
    SizedFace* open_face(const FontFile& file, int size, std::string& reason);

    std::map<std::string, FontFile> files_;  // fontconfig answers, by font as written
    std::map<std::string, FontBytes> bytes_;  // font files read, by path
    std::map<std::tuple<std::string, int, int>, std::unique_ptr<SizedFace>, std::less<>> faces_;  // by path, index, size
    FallbackFonts fallbacks_;
};

}  // namespace textrenderer
