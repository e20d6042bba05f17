// Bytes as a YAML file through load_file, then every key read back.
#include <cstdlib>

#include "fuzz/fuzz_support.h"
#include "services/config.h"
#include "services/fileio.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz_quiet_stderr();

    fuzz_write("input.yaml", data, size);
    static FileIO::FileManager files(fuzz_folder().string());
    if (!config_create("fuzz", "quillbox", 0)) std::abort();
    Config_Interface* config = config_get_interface("fuzz");
    if (!config) std::abort();
    config->load_file("input.yaml", &files);
    for (const std::string& key : config->get_keys()) {
        ConfigPosition position;
        if (!config->get_position(key, &position)) std::abort();  // every listed key has a position
        (void)config->get_value(key, "");
    }
    (void)config->get_value("Scene->Objects->Object0->name", "");
    return 0;
}
