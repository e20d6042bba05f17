#pragma once

#include <fontconfig/fontconfig.h>

#include <string>

namespace textrenderer {

// Where a font's face lives: a file and the index of the face inside it.
struct FontFile {
    std::string path;
    int index = 0;
};

// Resolves a font as the scene files write it:
// - empty: the default sans-serif face;
// - a path (it contains '/', or names an existing file): that file, face 0;
// - otherwise a fontconfig pattern such as "DejaVu Sans:bold". Its family must
//   be installed or be a generic one ("sans-serif", "serif", "monospace", ...):
//   an unknown family is an error rather than a silent fallback face, and so
//   is a face of another weight or slant than the pattern asks for (an
//   italic request where only the upright face is installed).
// False with a reason naming the font when it cannot be resolved.
bool find_font_file(const std::string& font, FontFile& file, std::string& reason);

// fontconfig's configuration and installed fonts, loaded on first use and kept
// for the life of the process; null when it cannot be loaded.
FcConfig* font_config();

}  // namespace textrenderer
