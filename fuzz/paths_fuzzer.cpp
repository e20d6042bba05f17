// Strings through the file layer: every path is either refused or resolves to
// a file inside the root.
#include <cstdlib>
#include <string>

#include "fuzz/fuzz_support.h"
#include "services/fileio.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string root = [] {
        const auto base = fuzz_folder() / "root";
        std::filesystem::create_directories(base / "inside");
        std::ofstream(base / "inside" / "file.txt") << "inside";
        std::ofstream(fuzz_folder() / "outside.txt") << "outside";
        std::error_code ignored;
        std::filesystem::create_symlink(fuzz_folder() / "outside.txt", base / "escape", ignored);
        std::filesystem::create_symlink(base / "inside" / "file.txt", base / "alias", ignored);
        return base.string();
    }();
    static FileIO::FileManager files(root);

    const std::string path(reinterpret_cast<const char*>(data), size);
    std::string absolute, error;
    if (files.resolve(path, absolute, error)) {
        const std::string prefix = files.get_root() + "/";
        if (absolute != files.get_root() && absolute.compare(0, prefix.size(), prefix) != 0) std::abort();
    } else if (error.empty()) {
        std::abort();  // a refusal always says why
    }
    std::vector<std::uint8_t> bytes;
    if (files.read(path, bytes, error)) {
        const std::string text(bytes.begin(), bytes.end());
        if (text == "outside") std::abort();  // the file outside the root was reached
    }
    return 0;
}
