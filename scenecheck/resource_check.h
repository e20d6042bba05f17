#pragma once

#include <map>
#include <string>

#include "services/video.h"

namespace FileIO { class FileManager; }
struct CheckContext;
struct ConfigEntry;
struct DeclaredObject;
struct SceneFile;

// Tries pictures and fonts the way the library's kinds use them: pictures
// through the real image loader into a device, texts through the real text
// renderer. Each answer is "" when it works, else the service's reason.
// Answers are kept, so a picture used by many objects is decoded once.
class ResourceChecker {
public:
    // video names a device that exists while the checker is used; files must outlive it.
    ResourceChecker(std::string video, FileIO::FileManager* files);

    // loader "" chooses by the file's content.
    std::string picture_error(const std::string& file, const std::string& loader);
    std::string renderer_error(const std::string& type);
    // A short text in font at a usual size.
    std::string font_error(const std::string& type, const std::string& font);
    std::string text_error(const std::string& type, const std::string& font, const std::string& text, int size,
                           const VideoColor& color);

private:
    std::string next_image_name();

    std::string video_;
    FileIO::FileManager* files_;
    int images_ = 0;
    std::map<std::string, std::string> pictures_;
    std::map<std::string, std::string> fonts_;
};

// Reports a picture that an Image-like object cannot load, and a renderer,
// font or text that a Text-like object cannot render. anchor is where to
// point when the key itself is missing.
void check_resources(CheckContext& context, const SceneFile& scene, const DeclaredObject& object,
                     const std::string& prefix, const ConfigEntry* anchor, ResourceChecker& resources);
