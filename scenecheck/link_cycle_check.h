#pragma once

struct CheckContext;
struct SceneFile;

// Reports objects of scene whose links lead back to themselves. The library
// places a linked object from where its link object was last drawn, so a
// cycle never settles: each frame moves every member from the others' last
// position and they drift off screen.
void check_link_cycles(CheckContext& context, const SceneFile& scene);
