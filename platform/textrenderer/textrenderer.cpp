#include "services/textrenderer.h"

#include "platform/textrenderer/ttf_layout.h"
#include "platform/textrenderer/ttf_renderer.h"

namespace {

std::string& last_error() {
    static std::string text;
    return text;
}

textrenderer::TtfRenderer* ttf_renderer() {
    // Never destroyed: callers may keep the pointer until the process ends,
    // and FreeType must not be torn down under a late static destructor.
    static auto* renderer = new textrenderer::TtfRenderer();
    return renderer;
}

}  // namespace

Text_Renderer* textrenderer_get(std::string type) {
    if (type == "ttf") return ttf_renderer();
    last_error() = "unknown text renderer \"" + type + "\" (known: ttf)";
    return nullptr;
}

std::string textrenderer_error() { return last_error(); }

const TtfLayout& ttf_last_layout() { return ttf_renderer()->last_layout(); }
