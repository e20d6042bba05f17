#include "platform/textrenderer/font_cache.h"

namespace textrenderer {

FontCache::FontCache() {
    if (FT_Init_FreeType(&library_)) library_ = nullptr;  // get() reports it
}

FontCache::~FontCache() {
    faces_.clear();  // faces go before their library
    if (library_) FT_Done_FreeType(library_);
}

SizedFace* FontCache::get(const std::string& font, int size, std::string& reason) {
    const auto key = std::make_pair(font, size);
    if (auto found = faces_.find(key); found != faces_.end()) return found->second.get();
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
    auto face = SizedFace::open(library_, file->second.path, file->second.index, size, why);
    if (!face) {
        reason = "Font \"" + font + "\" (" + file->second.path + ") cannot be opened: " + why;
        files_.erase(file);  // the file may be fixed or replaced before the next try
        return nullptr;
    }
    return faces_.emplace(key, std::move(face)).first->second.get();
}

void FontCache::trim() {
    if (faces_.size() > max_faces) {
        faces_.clear();
        return;
    }
    std::size_t bytes = 0;
    for (const auto& entry : faces_) bytes += entry.second->cached_bytes();
    if (bytes > max_glyph_bytes)
        for (auto& entry : faces_) entry.second->clear_glyphs();
}

}  // namespace textrenderer
