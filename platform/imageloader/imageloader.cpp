#include "services/imageloader.h"

#include <memory>

#include "platform/imageloader/file_bytes.h"
#include "platform/imageloader/image_format.h"
#include "platform/imageloader/loaders.h"
#include "platform/imageloader/picture_cache.h"
#include "services/fileio.h"
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

// Decodes bytes into a picture whose pixels images may share.
bool decode_picture(Decoder decode, const std::vector<std::uint8_t>& bytes, imageloader::Picture& picture,
                    std::string& reason) {
    if (!decode) {
        decode = find_decoder(imageloader::loader_for_content(bytes.data(), bytes.size()));
        if (!decode) {
            reason = "unrecognised image format (not PNG, JPEG, GIF, BMP or TGA)";
            return false;
        }
    }
    imageloader::DecodedImage image;
    if (!decode(bytes.data(), bytes.size(), image, reason)) return false;
    picture.width = image.width;
    picture.height = image.height;
    picture.pixels = std::make_shared<const std::vector<std::uint32_t>>(std::move(image.pixels));
    return true;
}

// Everything after choosing the loader: the device is checked before the file
// is read so that a misnamed device costs no decoding. A file already decoded
// is not decoded again (see picture_cache.h).
bool load(const std::string& loader, bool by_content, const std::string& video, const std::string& file,
          const std::string& scene, const std::string& name, const FileIO::FileManager* file_manager) {
    Decoder decode = by_content ? nullptr : find_decoder(loader);
    if (!by_content && !decode)
        return fail(file, "unknown image loader \"" + loader + "\" (known: " + imageloader::known_loaders() + ")");

    Video_Interface* device = video_get_interface(video);
    if (!device) return fail(file, "no video device \"" + video + "\": " + video_error());

    imageloader::PictureCache& cache = imageloader::picture_cache();
    const std::uint64_t this_load = cache.begin_use(scene);
    const imageloader::PictureSource source{file_manager, file_manager ? file_manager->get_root() : std::string(),
                                            file, by_content ? std::string() : loader};
    imageloader::Picture picture;
    if (!cache.find_read_in_load(source, this_load, picture)) {
        std::vector<std::uint8_t> bytes;
        std::string reason;
        if (!imageloader::read_file_bytes(file, file_manager, bytes, reason)) return fail(file, reason);
        if (!cache.find_same_bytes(source, bytes, this_load, picture)) {
            if (!decode_picture(decode, bytes, picture, reason)) return fail(file, reason);
            cache.remember(source, std::move(bytes), this_load, picture);
        }
    }
    if (!device->create_shared_image(name, scene, picture.width, picture.height, picture.pixels))
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
