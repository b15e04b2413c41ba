// StartScreenArt - the pictures of the game's start: the two logos (an
// invented studio mark and the game's title picture, 800 x 600 on their
// background colours), the loading screen's bar, glow, panel and screen
// border, the language's "loading_logo" and "credits_farm", the seven
// cursors and the window icon. All drawn with cairo in ArtKit's palette, lit from the top left.
#pragma once

#include <string>
#include <vector>

#include "base/Types.h"

class LabelFont;
class PictureCanvas;

constexpr u32 kStudioBackground = 0x2E3A2A;  // deep moss
constexpr u32 kGameLogoBackground = 0x8FD3F4;  // morning sky

// The font must outlive the canvas (cairo's font caches go with it).
void DrawStudioMark(PictureCanvas& canvas, const LabelFont& font);
void DrawGameLogo(PictureCanvas& canvas, const LabelFont& font);
void DrawLoadingBar(PictureCanvas& canvas);    // "loading.tga"
void DrawBackGlow(PictureCanvas& canvas);      // "back_glow.tga", drawn 4 times its size
void DrawLoadingPanel(PictureCanvas& canvas);  // "loading_panel.tga", the bar's frame
void DrawScreenBorder(PictureCanvas& canvas);  // "screen_border.tga": fill columns, then 19 edge columns
void DrawLoadingLogo(PictureCanvas& canvas, const LabelFont& font);  // the language's "loading_logo"
void DrawTitleLogo(PictureCanvas& canvas, const LabelFont& font);    // the language's "logo", 512 x 256
void DrawCreditsFarm(PictureCanvas& canvas);  // the language's "credits_farm", a picture of the credits
void DrawWindowIcon(PictureCanvas& canvas);

struct CursorArt {
  const char* file;  // in "Cursors"
  i32 hotspotX, hotspotY;
};
constexpr u32 kCursorArtCount = 7;
extern const CursorArt kCursorArt[kCursorArtCount];
// Cursor `index` of kCursorArt on a 32 x 32 canvas.
void DrawCursor(PictureCanvas& canvas, u32 index);

// A cursor file (type 2, one 32-bit image with its AND mask) of the pixels
// (0xAARRGGBB, rows top to bottom, width and height below 256).
std::vector<u8> CursorFile(u32 width, u32 height, const std::vector<u32>& argb, i32 hotspotX, i32 hotspotY);
