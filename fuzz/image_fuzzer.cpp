// Bytes through the image loader into a headless device, with the size guard on.
#include <cstdlib>

#include "fuzz/fuzz_support.h"
#include "services/fileio.h"
#include "services/imageloader.h"
#include "services/video.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz_quiet_stderr();

    if (!fuzz_device()) std::abort();
    static FileIO::FileManager files(fuzz_folder().string());
    fuzz_write("input.img", data, size);

    if (imageloader_loadimage_noext("fuzz", "input.img", "s", "picture", &files, true)) {
        const Video_Image* image = video_get_interface("fuzz")->get_image("picture", "s");
        if (!image || image->get_width() < 1 || image->get_height() < 1) std::abort();
        volatile std::uint32_t last = image->get_pixels()[std::size_t(image->get_height() - 1) * image->get_pitch() +
                                                           std::size_t(image->get_width() - 1)];
        (void)last;
    } else if (imageloader_error().empty()) {
        std::abort();  // a failure always says why
    }
    for (const char* loader : {"png", "jpg", "bmp", "tga", "gif"})
        (void)imageloader_loadimage(loader, "fuzz", "input.img", "s", "picture", &files, true);
    return 0;
}
