#pragma once

#include <string>
#include <vector>

namespace testsupport {

// A font that a test's pixels depend on: the pattern a scene writes, the file
// (base name) fontconfig must resolve it to, and the Debian package shipping it.
struct ExpectedFont {
    std::string pattern, file, package;
};

// "" when every pattern resolves to its file, else a line naming the first that does not and the package to install:
// tests comparing pixels with reference pictures call it first, so a missing font reads as a missing package rather
// than as a count of differing pixels.
std::string missing_font_package(const std::vector<ExpectedFont>& fonts);

// The DejaVu faces that the example presentation uses.
const std::vector<ExpectedFont>& presentation_fonts();

}  // namespace testsupport
