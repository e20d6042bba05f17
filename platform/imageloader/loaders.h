#pragma once

// The image loaders behind imageloader_loadimage and imageloader_loadimage_noext.
//
// Implemented:
//  [x] "png": every colour type and bit depth, interlaced, tRNS (libspng);
//      ancillary chunks capped at 16 MiB each, 64 MiB in all.
//  [x] "jpg" and "jpeg": baseline and progressive, grey, colour and CMYK
//      (TurboJPEG); a file the decoder warns about is refused.
//  [x] "bmp", "tga", "gif" (stb_image); GIF shows its first frame only.
//  [x] Names match exactly: "PNG" or "Jpg" is an unknown loader.
//  [x] By content: the file's first bytes choose the loader, never its name.
//  [x] Limits, checked from the header before any pixel is decoded: at most
//      65535 pixels wide (the device's 16-bit row pitch) and 64 megapixels in
//      all (a GIF canvas 16 megapixels); files above 512 MiB are not read.
//  [x] A cut file is refused, never shown with made-up rows.
//  [x] Every failure leaves the device as it was and imageloader_error() as
//      "Failed to load image \"FILE\". Reason: ..." on one line; the text
//      stays until the next failure.
// Not implemented:
//  [ ] Colour management: ICC profiles and gamma chunks are ignored.
//  [ ] Animation: later GIF frames and APNG frames are not read.
//  [ ] Thread safety: one thread loads at a time.

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/imageloader/decoded_image.h"

namespace imageloader {

using Decoder = bool (*)(const std::uint8_t* data, std::size_t size, DecodedImage& image, std::string& reason);

// The decoder of a loader name, or null when there is none of that name.
Decoder find_decoder(const std::string& loader);

// The loader names, for messages: "png, jpg, jpeg, bmp, tga, gif".
const char* known_loaders();

}  // namespace imageloader
