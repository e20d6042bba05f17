#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "services/export.h"

// How the "ttf" text renderer laid out its last text, for checking tools and
// tests: where each run (a stretch of one face, script and direction) went,
// and which characters no installed face has, drawn as the chosen face's
// missing-glyph box.
struct TtfRunPlace {
    std::size_t line = 0;   // line of the text, from 0
    std::size_t begin = 0;  // bytes of that line the run shapes
    std::size_t end = 0;
    int left = 0;  // image columns the run's advances span: [left, right)
    int right = 0;
    bool right_to_left = false;
};

struct TtfLayout {
    std::vector<TtfRunPlace> runs;  // line by line, each line's runs from left to right
    std::u32string missing;         // each such character once, in the order of first use
};

// The layout of the last text the "ttf" renderer rendered: complete when that
// render succeeded. The reference stays valid for the process; the content
// changes with the next render.
SERVICE_API const TtfLayout& ttf_last_layout();
