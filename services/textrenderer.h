#pragma once

#include <string>

#include "services/export.h"
#include "services/video.h"

// Renders UTF-8 text into an image of a video device.
class SERVICE_API Text_Renderer {
public:
    virtual ~Text_Renderer() = default;

    // Shapes text (lines split on "\n") in font (a file path or a fontconfig
    // pattern; empty: the default sans-serif face) at size pixels and colour,
    // and hands the result to the device named video as the image
    // (image_name, image_scene). flag is passed through. False with
    // get_error() set.
    virtual bool render_text(std::string video, std::string font, std::string text, VideoColor color, int size,
                             std::string image_name, std::string image_scene, bool flag) = 0;
    virtual std::string get_error() = 0;
};

// The renderer of a type ("ttf"); null with textrenderer_error() naming the type.
// Renderers live as long as the process.
SERVICE_API Text_Renderer* textrenderer_get(std::string type);
SERVICE_API std::string textrenderer_error();
