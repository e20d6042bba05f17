#pragma once

class Video_Interface;
class Video_Sprite;

// Whether the point (x, y) hits the sprite: inside its rectangle, edges
// included, and, when alpha is asked for, over a pixel of its image that is at
// least half opaque ((pixel & mask) < 255). The pixel read always stays inside
// the image: a point on the right or bottom edge reads the last column or row,
// and a rectangle of zero width or height, a coordinate that is not a number
// or a missing image never hits.
bool sprite_hit_test(Video_Interface* video, Video_Sprite* sprite, float x, float y, bool alpha);
