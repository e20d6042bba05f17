#pragma once

// A video device for the failure paths that a real device never takes: it
// keeps images like any device, and can refuse sprites or lose them.

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "services/video.h"

namespace objecttest {

class StubDevice : public Video_Interface {
public:
    Event get_event() override { return Event{}; }
    bool update_screen() override { return true; }
    void show_mouse_cursor(bool) override {}
    std::int16_t get_screen_width() override { return 800; }
    std::int16_t get_screen_height() override { return 600; }
    void set_switch_a(bool) override {}
    void set_switch_b(bool) override {}
    void set_switch_c(bool) override {}
    void set_switch_d(bool) override {}

    bool create_image(std::string name, std::string scene, int width, int height,
                      const std::uint32_t* pixels) override {
        std::vector<std::uint32_t> copy(pixels, pixels + std::size_t(width) * std::size_t(height));
        images[{name, scene}] = std::make_unique<Video_Image>(name, scene, width, height, std::move(copy));
        return true;
    }
    Video_Image* get_image(std::string name, std::string scene) override {
        auto it = images.find({name, scene});
        return it == images.end() ? nullptr : it->second.get();
    }
    bool create_sprite(std::string sprite, std::string scene, std::string image, std::string image_scene,
                       bool) override {
        if (refuse_sprites) {
            error = "sprites refused";
            return false;
        }
        Video_Image* source = get_image(image, image_scene);
        const int width = sprite_width >= 0 ? sprite_width : (source ? source->get_width() : 0);
        const int height = sprite_height >= 0 ? sprite_height : (source ? source->get_height() : 0);
        sprites[{sprite, scene}] = std::make_unique<Video_Sprite>(image, image_scene, width, height);
        return true;
    }
    Video_Sprite* get_sprite(std::string sprite, std::string scene) override {
        if (lose_sprites) {
            error = "sprite lost";
            return nullptr;
        }
        auto it = sprites.find({sprite, scene});
        return it == sprites.end() ? nullptr : it->second.get();
    }
    bool draw_sprite(std::string sprite, std::string scene) override {
        drawn.push_back(sprite + "@" + scene);
        return true;
    }
    std::string get_error() override { return error; }

    bool refuse_sprites = false;
    bool lose_sprites = false;
    int sprite_width = -1;  // -1: the image's size
    int sprite_height = -1;
    std::string error;
    std::vector<std::string> drawn;
    std::map<std::pair<std::string, std::string>, std::unique_ptr<Video_Image>> images;
    std::map<std::pair<std::string, std::string>, std::unique_ptr<Video_Sprite>> sprites;
};

}  // namespace objecttest
