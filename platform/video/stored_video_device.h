#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>

#include "services/export.h"
#include "services/video.h"

// Limits of a device image. The width limit comes from the image's 16-bit row
// pitch; the pixel budget (64 mebipixels, 256 MiB of device pixels) keeps one
// image from exhausting memory, and keeps width * height * 4 far inside
// std::size_t.
inline constexpr int video_image_max_width = 65535;
inline constexpr std::uint64_t video_image_pixel_budget = 64ull * 1024 * 1024;

// The part of a video device that every backend shares: images and sprites
// named by (name, scene), and the text of the last failure. A backend adds
// the screen, drawing and input by implementing draw_placed and the rest of
// Video_Interface.
//
// Ownership and lifetimes:
// - Images and sprites belong to the device and live until it is destroyed;
//   nothing removes them earlier.
// - A Video_Image* or Video_Sprite* handed out stays valid, at the same
//   address, for the device's whole life. Replacing an image or a sprite of
//   the same name rebuilds it in place, so a caller that kept an old handle
//   sees the new one instead of freed memory. Pixel pointers taken from an
//   image (get_pixels) last only until that image is replaced.
// - A sprite shows its image by name. Replacing that image with one of
//   another size resizes the sprite at once (base and position are kept), so
//   the sprite's rectangle always matches the pixels drawn.
//
// Every failure sets get_error(); a success leaves the last failure's text.
class SERVICE_API StoredVideoDevice : public Video_Interface {
public:
    StoredVideoDevice();
    ~StoredVideoDevice() override;
    StoredVideoDevice(const StoredVideoDevice&) = delete;
    StoredVideoDevice& operator=(const StoredVideoDevice&) = delete;

    // Refuses a width or height below 1, a width above video_image_max_width,
    // more than video_image_pixel_budget pixels and a null pixel pointer.
    bool create_image(std::string name, std::string scene, int width, int height,
                      const std::uint32_t* pixels) override;
    // The same limits; the image shows the pixels without a copy. Refuses
    // fewer than width x height of them.
    bool create_shared_image(std::string name, std::string scene, int width, int height,
                             Video_Pixels pixels) override;
    Video_Image* get_image(std::string name, std::string scene) override;
    // The flag is accepted and not used. A new sprite, and a replaced one,
    // starts at position (0, 0) with base (0, 0).
    bool create_sprite(std::string sprite, std::string scene, std::string image, std::string image_scene,
                       bool flag) override;
    Video_Sprite* get_sprite(std::string sprite, std::string scene) override;
    // Finds the sprite and its image and hands both to draw_placed.
    bool draw_sprite(std::string sprite, std::string scene) final;
    std::string get_error() override;

protected:
    // Draws one sprite into the frame being built. The image is the one the
    // sprite shows and has the sprite's size. False with set_error(reason) on
    // failure; draw_sprite puts the sprite's names before the reason.
    virtual bool draw_placed(const Video_Sprite& sprite, const Video_Image& image) = 0;
    // Called after an image was replaced in place (same address, new pixels),
    // so that a backend can drop what it made from the old pixels.
    virtual void image_replaced(const Video_Image& image);

    void set_error(std::string text);

private:
    struct Key {
        std::string name, scene;
        bool operator==(const Key&) const = default;
    };
    struct KeyHash {
        std::size_t operator()(const Key& key) const;
    };
    struct SpriteEntry {
        std::unique_ptr<Video_Sprite> sprite;
        Video_Image* image;  // owned by images_, never freed before the device
        const Key* key = nullptr;     // this entry's key in sprites_
        SpriteEntry* next = nullptr;  // the sprite asked for after this one last time
    };

    // False with the reason set when an image of that size is refused.
    bool check_image_size(const std::string& what, int width, int height);
    // Puts image under (name, scene), replacing one of that name in place.
    void store_image(std::string name, std::string scene, Video_Image image);
    void resize_sprites_of(const Video_Image* image);
    // The sprite of that key, or null. A frame asks for the same sprites in
    // the same order as the frame before, and asks again for the sprite it
    // just asked for (get_sprite, then draw_sprite): each entry remembers
    // which one followed it, so that the usual question costs two string
    // comparisons instead of a hash lookup, and the entries a few places
    // ahead are fetched from memory early.
    SpriteEntry* find_sprite(Key& key);
    void walk_ahead_from(SpriteEntry* entry);

    std::unordered_map<Key, std::unique_ptr<Video_Image>, KeyHash> images_;
    std::unordered_map<Key, SpriteEntry, KeyHash> sprites_;
    SpriteEntry* last_sprite_ = nullptr;  // the sprite asked for last
    SpriteEntry* ahead_ = nullptr;        // a few entries after it on the remembered order
    std::string error_;
};
