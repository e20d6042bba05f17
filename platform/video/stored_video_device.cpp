#include "platform/video/stored_video_device.h"

#include <cstring>
#include <functional>
#include <memory>
#include <new>
#include <utility>
#include <vector>

namespace {

std::string quoted(const std::string& text) { return "\"" + text + "\""; }

// Video_Sprite's image names are const members, so a sprite cannot be
// assigned to; a replacement is built in the old sprite's own storage
// instead, and every handle a caller kept reads the new sprite. The strings
// arrive as rvalues and are only moved, so nothing can throw between the
// destruction and the construction.
Video_Sprite* rebuild_sprite(Video_Sprite* old, std::string image, std::string image_scene, int width,
                             int height) {
    std::destroy_at(old);
    return std::construct_at(old, std::move(image), std::move(image_scene), width, height);
}

}  // namespace

std::size_t StoredVideoDevice::KeyHash::operator()(const Key& key) const {
    const std::size_t a = std::hash<std::string>{}(key.name);
    const std::size_t b = std::hash<std::string>{}(key.scene);
    return a ^ (b + 0x9e3779b97f4a7c15ull + (a << 6) + (a >> 2));
}

StoredVideoDevice::StoredVideoDevice() = default;
StoredVideoDevice::~StoredVideoDevice() = default;

bool StoredVideoDevice::check_image_size(const std::string& what, int width, int height) {
    if (width < 1 || height < 1) {
        set_error(what + "size " + std::to_string(width) + "x" + std::to_string(height) + " is not at least 1x1");
        return false;
    }
    if (width > video_image_max_width) {
        set_error(what + "width " + std::to_string(width) + " is above the limit of " +
                  std::to_string(video_image_max_width));
        return false;
    }
    const std::uint64_t count = std::uint64_t(width) * std::uint64_t(height);
    if (count > video_image_pixel_budget) {
        set_error(what + std::to_string(width) + "x" + std::to_string(height) + " is " + std::to_string(count) +
                  " pixels, above the budget of " + std::to_string(video_image_pixel_budget));
        return false;
    }
    return true;
}

bool StoredVideoDevice::create_image(std::string name, std::string scene, int width, int height,
                                     const std::uint32_t* pixels) {
    const std::string what = "Can't create image " + quoted(name) + " of scene " + quoted(scene) + ": ";
    if (!check_image_size(what, width, height)) return false;
    if (!pixels) {
        set_error(what + "no pixels were given");
        return false;
    }
    const std::size_t count = std::size_t(width) * std::size_t(height);
    std::vector<std::uint32_t> copy;
    try {
        copy.assign(pixels, pixels + count);
    } catch (const std::bad_alloc&) {
        set_error(what + "out of memory for " + std::to_string(count) + " pixels");
        return false;
    }
    Video_Image image(name, scene, width, height, std::move(copy));
    store_image(std::move(name), std::move(scene), std::move(image));
    return true;
}

bool StoredVideoDevice::create_shared_image(std::string name, std::string scene, int width, int height,
                                            Video_Pixels pixels) {
    const std::string what = "Can't create image " + quoted(name) + " of scene " + quoted(scene) + ": ";
    if (!check_image_size(what, width, height)) return false;
    if (!pixels || pixels->size() < std::size_t(width) * std::size_t(height)) {
        set_error(what + (pixels ? "fewer pixels than its size" : "no pixels were given"));
        return false;
    }
    Video_Image image(name, scene, width, height, std::move(pixels));
    store_image(std::move(name), std::move(scene), std::move(image));
    return true;
}

void StoredVideoDevice::store_image(std::string name, std::string scene, Video_Image image) {
    Key key{std::move(name), std::move(scene)};
    auto found = images_.find(key);
    if (found == images_.end()) {
        images_.emplace(std::move(key), std::make_unique<Video_Image>(std::move(image)));
        return;
    }
    Video_Image& stored = *found->second;
    const bool resized = stored.get_width() != image.get_width() || stored.get_height() != image.get_height();
    stored = std::move(image);
    if (resized) resize_sprites_of(&stored);
    image_replaced(stored);
}

void StoredVideoDevice::resize_sprites_of(const Video_Image* image) {
    for (auto& [key, entry] : sprites_) {
        if (entry.image != image) continue;
        Video_Sprite* sprite = entry.sprite.get();
        const double base_x = sprite->get_base_x(), base_y = sprite->get_base_y();
        const double x = sprite->get_x(), y = sprite->get_y();
        std::string name = sprite->image_name, scene = sprite->image_scene;  // copies made before the rebuild
        sprite = rebuild_sprite(sprite, std::move(name), std::move(scene), image->get_width(), image->get_height());
        sprite->set_base(base_x, base_y);
        sprite->set_position(x, y);
        entry.sprite.release();
        entry.sprite.reset(sprite);
    }
}

Video_Image* StoredVideoDevice::get_image(std::string name, std::string scene) {
    Key key{std::move(name), std::move(scene)};
    auto found = images_.find(key);
    if (found != images_.end()) return found->second.get();
    set_error("No image " + quoted(key.name) + " of scene " + quoted(key.scene));
    return nullptr;
}

bool StoredVideoDevice::create_sprite(std::string sprite, std::string scene, std::string image,
                                      std::string image_scene, bool /*flag*/) {
    auto found_image = images_.find(Key{image, image_scene});
    if (found_image == images_.end()) {
        set_error("Can't create sprite " + quoted(sprite) + " of scene " + quoted(scene) + ": no image " +
                  quoted(image) + " of scene " + quoted(image_scene));
        return false;
    }
    Video_Image* shown = found_image->second.get();
    Key key{std::move(sprite), std::move(scene)};
    auto found = sprites_.find(key);
    if (found == sprites_.end()) {
        auto made = std::make_unique<Video_Sprite>(std::move(image), std::move(image_scene), shown->get_width(),
                                                   shown->get_height());
        const auto added = sprites_.emplace(std::move(key), SpriteEntry{std::move(made), shown}).first;
        added->second.key = &added->first;
        return true;
    }
    SpriteEntry& entry = found->second;
    Video_Sprite* rebuilt = rebuild_sprite(entry.sprite.get(), std::move(image), std::move(image_scene),
                                           shown->get_width(), shown->get_height());
    entry.sprite.release();
    entry.sprite.reset(rebuilt);
    entry.image = shown;
    return true;
}

namespace {

// How many entries ahead of the one asked for are fetched from memory.
constexpr int fetch_distance = 4;

// Names are short: compared inline, eight bytes at a time, rather than
// through a call to memcmp.
bool same_text(const std::string& a, const std::string& b) {
    const std::size_t size = a.size();
    if (size != b.size()) return false;
    const char* x = a.data();
    const char* y = b.data();
    std::size_t i = 0;
    for (; i + 8 <= size; i += 8) {
        std::uint64_t u, v;
        std::memcpy(&u, x + i, 8);
        std::memcpy(&v, y + i, 8);
        if (u != v) return false;
    }
    for (; i < size; ++i)
        if (x[i] != y[i]) return false;
    return true;
}

bool is_named(const std::string& name, const std::string& scene, const std::string& key_name,
              const std::string& key_scene) {
    return same_text(name, key_name) && same_text(scene, key_scene);
}

}  // namespace

void StoredVideoDevice::walk_ahead_from(SpriteEntry* entry) {
    ahead_ = entry;
    for (int step = 0; step < fetch_distance && ahead_; ++step) {
        ahead_ = ahead_->next;
        if (ahead_) __builtin_prefetch(ahead_);
    }
}

StoredVideoDevice::SpriteEntry* StoredVideoDevice::find_sprite(Key& key) {
    SpriteEntry* last = last_sprite_;
    if (last && is_named(key.name, key.scene, last->key->name, last->key->scene)) return last;
    SpriteEntry* expected = last ? last->next : nullptr;
    if (expected && is_named(key.name, key.scene, expected->key->name, expected->key->scene)) {
        last_sprite_ = expected;
        if (SpriteEntry* near = ahead_) {
            // Fetched a few calls ago: its sprite and image can be asked for now.
            __builtin_prefetch(near->sprite.get());
            __builtin_prefetch(near->image);
            ahead_ = near->next;
            if (ahead_) __builtin_prefetch(ahead_);
        } else {
            walk_ahead_from(expected);
        }
        return expected;
    }
    const auto found = sprites_.find(key);
    if (found == sprites_.end()) return nullptr;
    SpriteEntry* entry = &found->second;
    if (last) last->next = entry;
    last_sprite_ = entry;
    walk_ahead_from(entry);
    return entry;
}

Video_Sprite* StoredVideoDevice::get_sprite(std::string sprite, std::string scene) {
    Key key{std::move(sprite), std::move(scene)};
    if (SpriteEntry* entry = find_sprite(key)) return entry->sprite.get();
    set_error("No sprite " + quoted(key.name) + " of scene " + quoted(key.scene));
    return nullptr;
}

bool StoredVideoDevice::draw_sprite(std::string sprite, std::string scene) {
    Key key{std::move(sprite), std::move(scene)};
    SpriteEntry* entry = find_sprite(key);
    if (!entry) {
        set_error("Can't draw sprite " + quoted(key.name) + " of scene " + quoted(key.scene) + ": no such sprite");
        return false;
    }
    if (draw_placed(*entry->sprite, *entry->image)) return true;
    set_error("Can't draw sprite " + quoted(key.name) + " of scene " + quoted(key.scene) + ": " + error_);
    return false;
}

std::string StoredVideoDevice::get_error() { return error_; }

void StoredVideoDevice::image_replaced(const Video_Image&) {}

void StoredVideoDevice::set_error(std::string text) { error_ = std::move(text); }
