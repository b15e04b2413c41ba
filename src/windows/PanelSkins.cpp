#include "windows/PanelSkins.h"

#include <algorithm>

#include "content/ContentArchive.h"
#include "engine/DXLTexture.h"
#include "gametext/GameLanguage.h"
#include "gametext/GameLanguageHost.h"
#include "gametext/KGEBaseTextSprite.h"
#include "resources/GameDraw.h"
#include "resources/ResourceServices.h"
#include "resources/Sprite.h"
#include "resources/SpriteSet.h"
#include "ui/WindowManager.h"

namespace {

DXLTexture* SheetTexture() {
  Sprite* sheet = GetLevelSheet();
  return sheet ? sheet->GetTexture() : nullptr;
}

}  // namespace

Sprite* GetLevelSheet() {
  WindowManager* manager = GetWindowManager();
  return manager ? manager->GetInterfaceSprite(u"level") : nullptr;
}

std::array<SKINRECT, kPanelSkinCount> GetPanelButtonSkins() {
  static constexpr const SkinPiece* kPieces[kPanelSkinCount] = {
      &skins::kCellEnd, &skins::kCellJoin, &skins::kToolEnd,     &skins::kToolJoin,
      &skins::kFillEnd, &skins::kFillJoin, &skins::kToolFillEnd, &skins::kToolFillJoin};
  DXLTexture* sheet = SheetTexture();
  std::array<SKINRECT, kPanelSkinCount> out;
  for (i32 i = 0; i < kPanelSkinCount; ++i) out[static_cast<size_t>(i)] = FrameSkinOf(*kPieces[i], sheet);
  return out;
}

SKINRECT LevelSheetSkin(const SkinPiece& piece) { return SkinOf(piece, SheetTexture()); }

SKINRECT LevelSheetColumns(const SkinPiece& piece, i32 from, i32 width) {
  return ColumnsOf(piece, from, width, SheetTexture());
}

DXLQUAD* MakeSkinQuads(i32 width, i32 state, DXLQUAD* out, const SKINRECT& main, const SKINRECT& cap, u32 flags,
                       SkinBand band) {
  const SKINRECT& leftSkin = (flags & kCellFirst) ? main : cap;
  const SKINRECT& rightSkin = (flags & kCellLast) ? main : cap;
  const i32 rightEdge = (flags & kCellLast) ? width + 3 : width + 1;
  const i32 top = std::clamp(band.top, 0, main.height);
  const i32 h = band.height < 0 ? main.height - top : std::min(band.height, main.height - top);
  const i32 y = top - 1;
  const i32 sy = main.y + top + state * main.stepY;
  const i32 leftWidth = leftSkin.left;
  const i32 rightWidth = rightSkin.rightBorder;
  const i32 rightX = rightEdge - 1 - rightWidth;
  const i32 middleX = leftWidth - 1;
  DXLTexture* texture = main.image;
  if (!texture || h <= 0) {
    for (i32 i = 0; i < 3; ++i) out[i] = DXLQUAD{};
    return out + 3;
  }
  texture->MakeQuadPartInt(out, -1, y, leftSkin.x + state * leftSkin.stepX, sy, leftWidth, h, 0xFFFFFFFFu);
  const i32 middleWidth = rightX > middleX ? rightX - middleX : 0;
  texture->MakeQuadPartScaledInt(out + 1, middleX, y, middleWidth, h, main.x + main.left + state * main.stepX, sy,
                                 main.middleWidth, h, 0xFFFFFFFFu);
  texture->MakeQuadPartInt(out + 2, rightX, y, rightSkin.right - rightWidth + state * rightSkin.stepX, sy, rightWidth,
                           h, 0xFFFFFFFFu);
  return out + 3;
}

// Looked up at each use rather than once for the program's life: an icon
// belongs to its sprite set, which goes with the world that read it (the
// tests build one a case), and a pointer kept past it would dangle.
Sprite* FindPanelIcon(const wchar* name) {
  Sprite* sprite = name ? GetSpriteByName(kIconSpriteSet, name) : nullptr;
  if (sprite) {
    sprite->Init();
    if (!sprite->IsLoaded()) sprite = nullptr;
  }
  return sprite;
}

const wchar* SectionText(const wchar* section, const wchar* key) {
  const GameLanguage* language = GetGameLanguage();
  const wchar* text = language ? language->GetTextByName(section, key, true) : nullptr;
  return text ? text : key;
}

const wchar* PanelText(const wchar* key) { return SectionText(u"level_interface", key); }

KGETextSpriteW* MakePanelText(const wchar* text, u32 font, const DXLOUTLINE* outline, u32 flags, u32 colour,
                              u32 maxChars) {
  KGETEXTPARAMS params{};
  params.flags = kKGEOwnCopy | kKGESingleLine | flags;
  params.color = colour;
  params.maxChars = maxChars;
  KGESPRITEPARAMS box{};
  box.flags = kKGESpriteMaxSize;
  box.maxWidth = 0x200;
  box.maxHeight = 0x80;
  if (outline) {
    box.flags |= kKGESpriteOutline;
    box.outline = *outline;
  }
  KGETextSpriteW* sprite = nullptr;
  KGECreateTextSpriteW(GetGameViewer(), GetGameFont(font), &params, &box, text, kKGEWholeText, nullptr, &sprite);
  return sprite;
}

KGETextSpriteW* MakeBoxText(const wchar* text, u32 font, i32 w, i32 h, u32 alignment) {
  KGETEXTPARAMS params{};
  params.flags = kKGEOwnCopy | kKGESingleLine | kKGERect | alignment;
  params.color = 0xFFFFFFFFu;
  params.maxChars = 64;
  params.right = w;
  params.bottom = h;
  KGESPRITEPARAMS box{};
  box.flags = kKGESpriteMaxSize | kKGESpriteRectSize;
  box.maxWidth = w;
  box.maxHeight = h;
  KGETextSpriteW* sprite = nullptr;
  KGECreateTextSpriteW(GetGameViewer(), GetGameFont(font), &params, &box, text ? text : u"", kKGEWholeText, nullptr,
                       &sprite);
  return sprite;
}
