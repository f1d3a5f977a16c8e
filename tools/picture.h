// Pictures the command makes itself: the built-in test picture, text in a
// small bitmap font, and contact sheets.
#pragma once

#include <string>

#include "files.h"

namespace tool {

// 96×64 pixel art drawn in code: sprites, text, diagonals, a gradient, a
// checkerboard, circles and a transparent corner.
Picture BuiltinPicture();

// Opaque canvas of one colour.
Picture Canvas(int width, int height, uint32_t rgb);
void FillRect(Picture& p, int x, int y, int w, int h, uint32_t rgb, uint8_t alpha = 255);
// Text in a 5×7 font (letters are shown upper-case), each font pixel a
// `size`×`size` square; returns the width drawn.
int DrawText(Picture& p, int x, int y, const std::string& text, uint32_t rgb, int size = 1);
int TextWidth(const std::string& text, int size = 1);
// Copies `src` into `dst` at (x, y), clipped; a picture with alpha is
// composed over a checkerboard and leaves `dst` opaque.
void Blit(Picture& dst, const Picture& src, int x, int y);

}  // namespace tool
