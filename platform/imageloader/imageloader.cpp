#include "services/imageloader.h"

#include "platform/imageloader/file_bytes.h"
#include "platform/imageloader/image_format.h"
#include "platform/imageloader/loaders.h"
#include "services/video.h"

namespace {

using imageloader::Decoder;
using imageloader::find_decoder;

// The last failure; kept until the next failure replaces it.
std::string& last_error() {
    static std::string text;
    return text;
}

bool fail(const std::string& file, const std::string& reason) {
    last_error() = "Failed to load image \"" + file + "\". Reason: " + reason;
    return false;
}

// Everything after choosing the loader: the device is checked before the file
// is read so that a misnamed device costs no decoding.
bool load(const std::string& loader, bool by_content, const std::string& video, const std::string& file,
          const std::string& scene, const std::string& name, const FileIO::FileManager* file_manager) {
    Decoder decode = by_content ? nullptr : find_decoder(loader);
    if (!by_content && !decode)
        return fail(file, "unknown image loader \"" + loader + "\" (known: " + imageloader::known_loaders() + ")");

    Video_Interface* device = video_get_interface(video);
    if (!device) return fail(file, "no video device \"" + video + "\": " + video_error());

    std::vector<std::uint8_t> bytes;
    std::string reason;
    if (!imageloader::read_file_bytes(file, file_manager, bytes, reason)) return fail(file, reason);

    if (by_content) {
        decode = find_decoder(imageloader::loader_for_content(bytes.data(), bytes.size()));
        if (!decode) return fail(file, "unrecognised image format (not PNG, JPEG, GIF, BMP or TGA)");
    }
    imageloader::DecodedImage image;
    if (!decode(bytes.data(), bytes.size(), image, reason)) return fail(file, reason);
    if (!device->create_image(name, scene, image.width, image.height, image.pixels.data()))
        return fail(file, "video device \"" + video + "\" refused the image: " + device->get_error());
    return true;
}

}  // namespace

bool imageloader_loadimage(std::string loader, std::string video, std::string file, std::string scene,
                           std::string name, FileIO::FileManager* file_manager, bool /*flag: no effect*/) {
    return load(loader, false, video, file, scene, name, file_manager);
}

bool imageloader_loadimage_noext(std::string video, std::string file, std::string scene, std::string name,
                                 FileIO::FileManager* file_manager, bool /*flag: no effect*/) {
    return load("", true, video, file, scene, name, file_manager);
}

std::string imageloader_error() { return last_error(); }
