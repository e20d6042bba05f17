#include "platform/textrenderer/font_cache.h"

#include "platform/fileio/file_reading.h"

namespace textrenderer {

FontCache::FontCache() {
    if (FT_Init_FreeType(&library_)) library_ = nullptr;  // get() reports it
}

FontCache::~FontCache() {
    faces_.clear();  // faces go before their library
    if (library_) FT_Done_FreeType(library_);
}

SizedFace* FontCache::get(const std::string& font, int size, std::string& reason) {
    if (!library_) {
        reason = "FreeType could not be initialised";
        return nullptr;
    }
    auto file = files_.find(font);
    if (file == files_.end()) {
        FontFile resolved;
        if (!find_font_file(font, resolved, reason)) return nullptr;
        file = files_.emplace(font, resolved).first;
    }
    std::string why;
    SizedFace* face = open_face(file->second, size, why);
    if (!face) {
        const std::string& path = file->second.path;
        reason = "Font \"" + font + "\"" + (path == font ? "" : " (" + path + ")") + " cannot be opened: " + why;
        bytes_.erase(file->second.path);  // the file may be fixed or replaced before the next try
        files_.erase(file);
    }
    return face;
}

SizedFace* FontCache::fallback(const std::string& font, char32_t code, int size) {
    FontFile file;
    std::string ignored;
    return library_ && fallbacks_.find(font, code, file) ? open_face(file, size, ignored) : nullptr;
}

SizedFace* FontCache::open_face(const FontFile& file, int size, std::string& reason) {
    if (auto found = faces_.find(std::tie(file.path, file.index, size)); found != faces_.end())
        return found->second.get();
    FontBytes bytes = read_font(file.path, reason);
    auto face = bytes ? SizedFace::open(library_, bytes, file.index, size, reason) : nullptr;
    if (!face) return nullptr;
    return faces_.emplace(std::make_tuple(file.path, file.index, size), std::move(face)).first->second.get();
}

FontBytes FontCache::read_font(const std::string& path, std::string& reason) {
    if (auto found = bytes_.find(path); found != bytes_.end()) return found->second;
    auto bytes = std::make_shared<std::vector<std::uint8_t>>();
    if (!fileio::read_whole_file(path, *bytes, reason, max_font_file_bytes)) return nullptr;
    return bytes_.emplace(path, std::move(bytes)).first->second;
}

void FontCache::trim() {
    if (faces_.size() > max_faces || fallbacks_.answers() > max_fallback_answers) {
        faces_.clear();
        bytes_.clear();
        files_.clear();
        fallbacks_.clear();
        return;
    }
    std::size_t bytes = 0;
    for (const auto& entry : faces_) bytes += entry.second->cached_bytes();
    if (bytes > max_glyph_bytes)
        for (auto& entry : faces_) entry.second->clear_glyphs();
}

}  // namespace textrenderer
