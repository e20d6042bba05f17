#pragma once

#include <string>
#include <vector>

namespace testsupport {

// A font that a test's pixels depend on: the pattern a scene writes, the file
// fontconfig must resolve it to, and the Debian package that ships that file.
struct ExpectedFont {
    std::string pattern;
    std::string file;  // base name, e.g. "DejaVuSans-Oblique.ttf"
    std::string package;
};

// "" when every pattern resolves to its file; otherwise one line naming the
// first that does not, the file it got and the package to install. Tests that
// compare pixels with reference pictures call it first, so a missing font
// reads as a missing package rather than as a count of differing pixels.
std::string missing_font_package(const std::vector<ExpectedFont>& fonts);

// The DejaVu faces that the example presentation uses.
const std::vector<ExpectedFont>& presentation_fonts();

}  // namespace testsupport
