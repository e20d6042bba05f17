#include "platform/imageloader/stb_completeness.h"

namespace imageloader {

namespace {

std::uint32_t get16(const std::uint8_t* p) { return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8); }
std::uint32_t get32(const std::uint8_t* p) { return get16(p) | (get16(p + 2) << 16); }

bool truncated(std::string& reason) {
    reason = "file is truncated";
    return false;
}

// Skips GIF data sub-blocks (length byte, bytes) up to the empty one.
bool skip_sub_blocks(const std::uint8_t* data, std::size_t size, std::size_t& at) {
    for (;;) {
        if (at >= size) return false;
        const std::size_t length = data[at++];
        if (length == 0) return true;
        at += length;
    }
}

}  // namespace

bool bmp_data_complete(const std::uint8_t* data, std::size_t size, std::string& reason) {
    if (size < 26) return truncated(reason);
    const std::uint64_t offset = get32(data + 10);
    const std::uint32_t info_size = get32(data + 14);
    std::uint64_t width, height, bits, compression = 0;
    if (info_size == 12) {  // the old OS/2 core header
        width = get16(data + 18), height = get16(data + 20), bits = get16(data + 24);
    } else {
        if (size < 34) return truncated(reason);
        const auto signed_height = std::int32_t(get32(data + 22));
        width = get32(data + 18);
        height = signed_height < 0 ? std::uint64_t(-std::int64_t(signed_height)) : std::uint64_t(signed_height);
        bits = get16(data + 28);
        compression = get32(data + 30);
    }
    if (compression != 0 && compression != 3) return true;  // compressed data has no fixed size
    if (width > 0xffffffffu || bits > 64) return true;      // nonsense the decoder refuses itself
    const std::uint64_t row_bytes = (width * bits + 31) / 32 * 4;
    if (offset + row_bytes * height > size) return truncated(reason);
    return true;
}

bool tga_data_complete(const std::uint8_t* data, std::size_t size, std::string& reason) {
    if (size < 18) return truncated(reason);
    const unsigned image_type = data[2];
    const std::uint64_t colormap_bytes = data[1] ? get16(data + 5) * std::uint64_t((data[7] + 7) / 8) : 0;
    const std::uint64_t pixels = std::uint64_t(get16(data + 12)) * get16(data + 14);
    const std::uint64_t pixel_bytes = (data[16] + 7) / 8;
    std::uint64_t at = 18 + std::uint64_t(data[0]) + colormap_bytes;
    if (image_type < 8) {
        if (at + pixels * pixel_bytes > size) return truncated(reason);
        return true;
    }
    // Run-length packets: a header byte, then one pixel (a run) or n pixels (raw).
    for (std::uint64_t done = 0; done < pixels;) {
        if (at >= size) return truncated(reason);
        const std::uint8_t header = data[at++];
        const std::uint64_t count = (header & 0x7fu) + 1;
        at += (header & 0x80u) ? pixel_bytes : pixel_bytes * count;
        done += count;
    }
    if (at > size) return truncated(reason);
    return true;
}

bool gif_data_complete(const std::uint8_t* data, std::size_t size, std::string& reason) {
    if (size < 13) return truncated(reason);
    std::size_t at = 13;
    if (data[10] & 0x80) at += 3u << ((data[10] & 7) + 1);  // global colour table
    for (;;) {
        if (at >= size) return truncated(reason);
        const std::uint8_t block = data[at++];
        if (block == 0x21) {  // extension: label, then sub-blocks
            ++at;
            if (!skip_sub_blocks(data, size, at)) return truncated(reason);
        } else if (block == 0x2c) {  // the first frame: descriptor, local colour table, code size, data
            if (at + 9 > size) return truncated(reason);
            const std::uint8_t flags = data[at + 8];
            at += 9;
            if (flags & 0x80) at += 3u << ((flags & 7) + 1);
            ++at;
            if (!skip_sub_blocks(data, size, at)) return truncated(reason);
            return true;
        } else {
            reason = "file has no picture";  // the trailer or an unknown block came first
            return false;
        }
    }
}

}  // namespace imageloader
