// PanelSkins - what the level panel and its child panels cut their pictures
// from: the "level" sheet of the interface (sprite set 1) and the pieces of
// the skin table (ui/SkinTable.h) that lie on it, the eight panel-button
// skin pieces, the face quads of a panel button from an end piece and a
// joint piece, the panel's icons (sprite set 2) and its texts (the
// "level_interface" section).
//
// The window manager keeps the sheet loaded for the program's life; every
// skin is made from the sheet as it stands when asked for, so nothing here
// keeps a copy. A missing picture is null and the pieces cut from it draw
// nothing.
#pragma once

#include <array>

#include "base/Types.h"
#include "engine/DXLDrawTypes.h"
#include "ui/SkinRect.h"
#include "ui/SkinTable.h"

class KGETextSpriteW;
class Sprite;
struct DXLOUTLINE;

constexpr i32 kPanelSkinCount = 8;

// Cell flags of a panel button: which ends of its row it stands at.
constexpr u32 kCellFirst = 0x10;
constexpr u32 kCellLast = 0x20;

// The "level" sheet; null when it is not there.
Sprite* GetLevelSheet();
// The eight panel-button pieces on the sheet (end and joint pieces, in
// pairs: two pairs 80 high, two 54 high), each stepping to its state frames.
std::array<SKINRECT, kPanelSkinCount> GetPanelButtonSkins();
// A piece of the level sheet: all of it, sliced by its borders; or the
// columns [from, from + width) of its first frame, plain.
SKINRECT LevelSheetSkin(const SkinPiece& piece);
SKINRECT LevelSheetColumns(const SkinPiece& piece, i32 from, i32 width);

// The three face quads (left cap, stretched middle, right cap) of a button
// `width` wide in visual state `state`: with kCellFirst the left cap comes
// from the main (end) piece, else from the cap (joint) piece; likewise the
// right cap with kCellLast (reaching 2 pixels further). The whole height of
// the main piece, from y -1. Returns the quad after the three.
// With a band, only the rows [top, top + height) of the pieces, standing
// at those rows (height 0: three empty quads).
struct SkinBand {
  i32 top = 0;
  i32 height = -1;  // -1: the whole height
};
DXLQUAD* MakeSkinQuads(i32 width, i32 state, DXLQUAD* out, const SKINRECT& main, const SKINRECT& cap, u32 flags,
                       SkinBand band = {});

// A panel icon of the icon set ("ico_back", "ico_clear", ...), loaded;
// null when missing.
Sprite* FindPanelIcon(const wchar* name);
// A text of the "level_interface" section (never null: the key when missing).
const wchar* PanelText(const wchar* key);
// A text of any section, likewise.
const wchar* SectionText(const wchar* section, const wchar* key);
// A one-line text sprite in game font `font`, outlined when asked, with
// further text flags (kKGEFixedColor takes `colour`, kKGEMarkup reads
// mark-up); null when it cannot be made (also while that font is not loaded).
KGETextSpriteW* MakePanelText(const wchar* text, u32 font, const DXLOUTLINE* outline = nullptr, u32 flags = 0,
                              u32 colour = 0xFFFFFFFFu, u32 maxChars = 64);
// A one-line text in game font `font` laid out in a box w x h: the sprite is
// the box (what does not fit is cut at its edges), the text placed in it by
// the alignment flags (kKGEAlignCenter, kKGEVAlignCenter); null when it
// cannot be made.
KGETextSpriteW* MakeBoxText(const wchar* text, u32 font, i32 w, i32 h, u32 alignment = 0);
