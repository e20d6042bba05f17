#include "platform/imageloader/picture_cache.h"

#include <functional>

#include "platform/config/config_registry.h"

namespace imageloader {

std::size_t PictureCache::SourceHash::operator()(const PictureSource& source) const {
    std::size_t hash = std::hash<std::string>{}(source.file);
    for (std::size_t part : {std::hash<std::string>{}(source.root), std::hash<std::string>{}(source.loader),
                             std::hash<const void*>{}(source.file_manager)})
        hash ^= part + 0x9e3779b97f4a7c15ull + (hash << 6) + (hash >> 2);
    return hash;
}

std::uint64_t PictureCache::begin_use(const std::string& scene) {
    const quillbox::ConfigCreation& creation = quillbox::last_config_creation();
    const std::uint64_t load = creation.name == scene ? creation.count : 0;
    if (load != last_load_) {
        last_load_ = load;
        // A picture held by nothing but this cache is shown by no image.
        std::erase_if(entries_, [](const auto& entry) { return entry.second.picture.pixels.use_count() == 1; });
    }
    return load;
}

bool PictureCache::find_read_in_load(const PictureSource& source, std::uint64_t load, Picture& picture) {
    if (load == 0) return false;
    const auto found = entries_.find(source);
    if (found == entries_.end() || found->second.load != load) return false;
    picture = found->second.picture;
    return true;
}

bool PictureCache::find_same_bytes(const PictureSource& source, const std::vector<std::uint8_t>& bytes,
                                   std::uint64_t load, Picture& picture) {
    const auto found = entries_.find(source);
    if (found == entries_.end() || found->second.bytes != bytes) return false;
    found->second.load = load;
    picture = found->second.picture;
    return true;
}

void PictureCache::remember(const PictureSource& source, std::vector<std::uint8_t> bytes, std::uint64_t load,
                            const Picture& picture) {
    Entry& entry = entries_[source];
    entry.bytes = std::move(bytes);
    entry.picture = picture;
    entry.load = load;
}

PictureCache& picture_cache() {
    // Never destroyed: images may be loaded from static destructors.
    static PictureCache* const cache = new PictureCache;
    return *cache;
}

}  // namespace imageloader
