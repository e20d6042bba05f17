#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <unistd.h>

#include "services/video.h"

// A private folder for one fuzzer process, so that inputs can be handed to the
// services as files the way hosts hand them.
inline const std::filesystem::path& fuzz_folder() {
    static const std::filesystem::path folder = [] {
        auto path = std::filesystem::temp_directory_path() / ("scene-fuzz-" + std::to_string(::getpid()));
        std::filesystem::create_directories(path);
        return std::filesystem::canonical(path);
    }();
    return folder;
}

// Writes the bytes to name inside the fuzz folder and returns the full path.
inline std::string fuzz_write(const std::string& name, const std::uint8_t* data, std::size_t size) {
    const auto path = fuzz_folder() / name;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), std::streamsize(size));
    return path.string();
}

// Silences the error stream: the services report every bad input there, which
// would drown the fuzzer's own output.
inline void fuzz_quiet_stderr() {
    static std::ostringstream quiet;
    std::cerr.rdbuf(quiet.rdbuf());
    quiet.str("");
}

// A small headless device named "fuzz", made once per process.
inline bool fuzz_device() {
    static const bool made = [] {
        VideoSettings settings;
        settings.width = 64;
        settings.height = 64;
        return video_create("fuzz", settings);
    }();
    return made;
}
