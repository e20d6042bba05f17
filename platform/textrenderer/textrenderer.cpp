#include "services/textrenderer.h"

#include "platform/textrenderer/ttf_renderer.h"

namespace {

std::string& last_error() {
    static std::string text;
    return text;
}

}  // namespace

Text_Renderer* textrenderer_get(std::string type) {
    if (type == "ttf") {
        // Never destroyed: callers may keep the pointer until the process ends,
        // and FreeType must not be torn down under a late static destructor.
        static auto* renderer = new textrenderer::TtfRenderer();
        return renderer;
    }
    last_error() = "unknown text renderer \"" + type + "\" (known: ttf)";
    return nullptr;
}

std::string textrenderer_error() { return last_error(); }
