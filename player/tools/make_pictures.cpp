// Writes the pictures of the example presentation as RGBA PNG files:
//   make_pictures FOLDER
// Every picture is drawn from shapes here (4 x 4 samples a pixel for smooth
// edges), so the presentation needs no picture from elsewhere.
#include <algorithm>
#include <cstdint>
#include <cmath>
#include <functional>
#include <iostream>
#include <string>
#include <vector>

#include "player/png_file.h"

namespace {

struct Color {
    float r, g, b, a;
};

Color rgb(unsigned hex, float alpha = 1.0f) {
    return {((hex >> 16) & 255) / 255.0f, ((hex >> 8) & 255) / 255.0f, (hex & 255) / 255.0f, alpha};
}

Color mix(Color a, Color b, float t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t, a.a + (b.a - a.a) * t};
}

using Inside = std::function<bool(float x, float y)>;

class Canvas {
public:
    Canvas(int width, int height) : width_(width), height_(height), pixels_(std::size_t(width) * height, {0, 0, 0, 0}) {}

    int width() const { return width_; }
    int height() const { return height_; }

    void vertical_gradient(Color top, Color bottom) {
        for (int y = 0; y < height_; ++y)
            for (int x = 0; x < width_; ++x) at(x, y) = mix(top, bottom, float(y) / float(height_ - 1));
    }

    // Paints color over the shape, weighted by how much of each pixel it covers.
    void fill(const Inside& inside, Color color) {
        constexpr int samples = 4;
        for (int y = 0; y < height_; ++y)
            for (int x = 0; x < width_; ++x) {
                int hits = 0;
                for (int sy = 0; sy < samples; ++sy)
                    for (int sx = 0; sx < samples; ++sx)
                        hits += inside(x + (sx + 0.5f) / samples, y + (sy + 0.5f) / samples);
                if (hits) blend(at(x, y), color, float(hits) / (samples * samples));
            }
    }

    bool write(const std::string& path) const {
        std::vector<std::uint8_t> rgba;
        rgba.reserve(pixels_.size() * 4);
        for (const Color& c : pixels_)
            for (float channel : {c.r, c.g, c.b, c.a})
                rgba.push_back(static_cast<std::uint8_t>(std::lround(std::clamp(channel, 0.0f, 1.0f) * 255)));
        std::string error;
        if (player::write_rgba_png(path, width_, height_, rgba, error)) return true;
        std::cerr << "make_pictures: " << error << std::endl;
        return false;
    }

private:
    Color& at(int x, int y) { return pixels_[std::size_t(y) * width_ + x]; }

    static void blend(Color& under, Color over, float coverage) {
        const float a = over.a * coverage;
        const float out = a + under.a * (1 - a);
        if (out <= 0) return;
        under.r = (over.r * a + under.r * under.a * (1 - a)) / out;
        under.g = (over.g * a + under.g * under.a * (1 - a)) / out;
        under.b = (over.b * a + under.b * under.a * (1 - a)) / out;
        under.a = out;
    }

    int width_, height_;
    std::vector<Color> pixels_;
};

Inside disc(float cx, float cy, float r) {
    return [=](float x, float y) { return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r; };
}

Inside ring(float cx, float cy, float outer, float inner) {
    return [=](float x, float y) {
        const float d = (x - cx) * (x - cx) + (y - cy) * (y - cy);
        return d <= outer * outer && d >= inner * inner;
    };
}

Inside rounded_box(float x1, float y1, float x2, float y2, float radius) {
    return [=](float x, float y) {
        if (x < x1 || x > x2 || y < y1 || y > y2) return false;
        const float nx = std::clamp(x, x1 + radius, x2 - radius), ny = std::clamp(y, y1 + radius, y2 - radius);
        return (x - nx) * (x - nx) + (y - ny) * (y - ny) <= radius * radius;
    };
}

// A thick line from (ax, ay) to (bx, by) with round ends.
Inside stroke(float ax, float ay, float bx, float by, float half_width) {
    return [=](float x, float y) {
        const float dx = bx - ax, dy = by - ay;
        const float t = std::clamp(((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy), 0.0f, 1.0f);
        const float px = ax + t * dx - x, py = ay + t * dy - y;
        return px * px + py * py <= half_width * half_width;
    };
}

Inside polygon(std::vector<std::pair<float, float>> points) {
    return [points = std::move(points)](float x, float y) {
        bool inside = false;
        for (std::size_t i = 0, j = points.size() - 1; i < points.size(); j = i++) {
            const auto [xi, yi] = points[i];
            const auto [xj, yj] = points[j];
            if ((yi > y) != (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi) inside = !inside;
        }
        return inside;
    };
}

Canvas background() {
    Canvas canvas(800, 600);
    canvas.vertical_gradient(rgb(0x1b2a49), rgb(0x3a1c4a));
    const float spots[][4] = {{120, 90, 70, 0.07f}, {690, 140, 110, 0.05f}, {610, 500, 90, 0.06f}, {90, 520, 60, 0.05f}};
    for (const auto& spot : spots) canvas.fill(disc(spot[0], spot[1], spot[2]), rgb(0xffffff, spot[3]));
    return canvas;
}

Canvas logo() {
    Canvas canvas(200, 200);
    canvas.fill(disc(100, 100, 96), rgb(0xf2a541));
    canvas.fill(ring(100, 100, 78, 62), rgb(0xfff1c1));
    canvas.fill(disc(100, 100, 40), rgb(0xe5603b));
    canvas.fill(polygon({{86, 76}, {86, 124}, {126, 100}}), rgb(0xfff1c1));
    return canvas;
}

// A round button: a disc with a light rim and a symbol drawn by symbol.
Canvas round_button(int size, unsigned face, const std::function<void(Canvas&, float c, float r)>& symbol) {
    Canvas canvas(size, size);
    const float c = size / 2.0f, r = size / 2.0f - 1;
    canvas.fill(disc(c, c, r), rgb(0xf4f4f4));
    canvas.fill(disc(c, c, r - size * 0.05f), rgb(face));
    symbol(canvas, c, r);
    return canvas;
}

void play_symbol(Canvas& canvas, float c, float r) {
    canvas.fill(polygon({{c - r * 0.3f, c - r * 0.45f}, {c - r * 0.3f, c + r * 0.45f}, {c + r * 0.5f, c}}),
                rgb(0xffffff));
}

void quit_symbol(Canvas& canvas, float c, float r) {
    const float d = r * 0.38f, w = r * 0.1f;
    canvas.fill(stroke(c - d, c - d, c + d, c + d, w), rgb(0xffffff));
    canvas.fill(stroke(c - d, c + d, c + d, c - d, w), rgb(0xffffff));
}

void back_symbol(Canvas& canvas, float c, float r) {
    canvas.fill(polygon({{c - r * 0.55f, c}, {c - r * 0.05f, c - r * 0.45f}, {c - r * 0.05f, c + r * 0.45f}}),
                rgb(0xffffff));
    canvas.fill(stroke(c - r * 0.1f, c, c + r * 0.5f, c, r * 0.13f), rgb(0xffffff));
}

Canvas frame(unsigned face) {
    Canvas canvas(220, 220);
    canvas.fill(rounded_box(0, 0, 220, 220, 28), rgb(0xf4f4f4));
    canvas.fill(rounded_box(6, 6, 214, 214, 23), rgb(face));
    return canvas;
}

Canvas landscape() {
    Canvas canvas(320, 200);
    canvas.vertical_gradient(rgb(0x7ec8f0), rgb(0xd9f0fb));
    canvas.fill(disc(250, 55, 28), rgb(0xffd34d));
    canvas.fill(polygon({{-10, 200}, {90, 70}, {180, 200}}), rgb(0x5b6e8c));
    canvas.fill(polygon({{100, 200}, {210, 95}, {330, 200}}), rgb(0x46597a));
    canvas.fill(polygon({{68, 98}, {90, 70}, {112, 98}, {100, 92}, {90, 100}, {80, 92}}), rgb(0xffffff));
    canvas.fill([](float, float y) { return y >= 160; }, rgb(0x4f9d4f));
    return canvas;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: make_pictures FOLDER" << std::endl;
        return 2;
    }
    const std::string folder = argv[1];
    const std::pair<const char*, std::function<Canvas()>> pictures[] = {
        {"background.png", background},
        {"logo.png", logo},
        {"play.png", [] { return round_button(180, 0x2e9e5b, play_symbol); }},
        {"play_hover.png", [] { return round_button(180, 0x48c47a, play_symbol); }},
        {"quit.png", [] { return round_button(120, 0xc0392b, quit_symbol); }},
        {"quit_hover.png", [] { return round_button(120, 0xe05a4b, quit_symbol); }},
        {"back.png", [] { return round_button(96, 0x2f6fb0, back_symbol); }},
        {"back_hover.png", [] { return round_button(96, 0x4a8fd6, back_symbol); }},
        {"frame.png", [] { return frame(0x46577a); }},
        {"frame_hover.png", [] { return frame(0x5d73a0); }},
        {"landscape.png", landscape},
    };
    for (const auto& [name, draw] : pictures)
        if (!draw().write(folder + "/" + name)) return 1;
    return 0;
}
