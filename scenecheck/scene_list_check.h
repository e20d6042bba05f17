#pragma once

struct CheckContext;

// Reads the scene list (context.list_file) as the library's load_scenes does,
// reports what in it would fail or be read otherwise than written, and fills
// context.scenes with the entries that are read. False when the list itself
// cannot be read.
bool check_scene_list(CheckContext& context);
