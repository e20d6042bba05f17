#include "platform/config/config_registry.h"

#include <memory>
#include <unordered_map>

#include "platform/config/quillbox_config.h"

namespace quillbox {

namespace {

struct Registry {
    std::unordered_map<std::string, std::unique_ptr<QuillboxConfig>> configs;
    std::string last_error;
    ConfigCreation last_creation;
};

// Never destroyed, so configurations may still be used from static destructors.
Registry& registry() {
    static Registry* const state = new Registry;
    return *state;
}

}  // namespace

void set_config_error(std::string text) { registry().last_error = std::move(text); }

const ConfigCreation& last_config_creation() { return registry().last_creation; }

}  // namespace quillbox

using quillbox::registry;

bool config_create(std::string name, std::string backend, int /*flag: no meaning for this backend*/) {
    if (backend != "quillbox") {
        quillbox::set_config_error("unknown configuration backend \"" + backend + "\" for \"" + name +
                                   "\"; the backend is \"quillbox\"");
        return false;
    }
    quillbox::ConfigCreation& creation = registry().last_creation;
    ++creation.count;
    creation.name = name;
    auto& slot = registry().configs[name];
    if (slot)
        slot->clear();  // same pointer for whoever holds it, no keys of the previous use
    else
        slot = std::make_unique<quillbox::QuillboxConfig>();
    return true;
}

Config_Interface* config_get_interface(std::string name) {
    const auto& configs = registry().configs;
    const auto it = configs.find(name);
    if (it != configs.end()) return it->second.get();
    quillbox::set_config_error("no configuration named \"" + name + "\"");
    return nullptr;
}

void config_remove(std::string name) { registry().configs.erase(name); }

std::string config_error() { return registry().last_error; }
