#include "windows/WarehouseButton.h"

#include <algorithm>

#include "base/Maths.h"
#include "platform/gfx/GfxTypes.h"
#include "resources/GameDraw.h"
#include "resources/Sprite.h"
#include "ui/CaptionHintWindow.h"
#include "windows/CLPLevelBlock.h"
#include "windows/LevelPanel.h"
#include "windows/PanelSkins.h"

// Three frames side by side; states disabled and normal share the first.
WarehouseButton::WarehouseButton(GameWindow* parent, i32 maxLevel)
    : ImageButton(parent, parent ? &parent->Controls() : nullptr, kCommandWarehouse,
                  LevelSheetSkin(skins::kWarehouseButton), -1, skins::kWarehouseButton.Vertical(),
                  static_cast<i32>(skins::kWarehouseButton.frames), skins::kWarehouseButton.Gap(), 0, 0, nullptr),
      maxLevel_(std::max(maxLevel, 0)) {
  SetStateFrames(0, {0, 0, 1, 2, 0, 0, 1, 2});
  // The state colours are added to the mark's picture, as on the caption
  // plates: black shows the mark as drawn and the lighter ones brighten it.
  DXLMakeDrawState(&markState_, 1, 1, plat::gfx::D3DTADDRESS_CLAMP, plat::gfx::D3DTADDRESS_CLAMP, kBlendAlpha,
                   plat::gfx::D3DTOP_ADD, plat::gfx::D3DTOP_SELECTARG1);
  auto* hint = new CaptionHintWindow(this);
  hint->SetText(PanelText(u"warehouse"));
  SetLevel(0);
}

void WarehouseButton::SetLevel(i32 level) {
  level = std::clamp(level, 0, maxLevel_);
  if (level == level_) return;
  level_ = level;
  hasMark_ = MakeLevelMark(level, maxLevel_, width_ / 2, 80, 0xFF808080u, &mark_);
}

void WarehouseButton::DrawFrames() {
  ImageButton::DrawFrames();
  Sprite* sheet = GetLevelSheet();
  if (!hasMark_ || !sheet) return;
  static constexpr u32 kColours[4] = {0xFF000000u, 0xFF000000u, 0xFF303030u, 0xFF606060u};
  u32 colour = kColours[state_.GetState() & 3];
  if (state_.IsFading())
    colour = kis::LerpColor(kColours[state_.GetPrevious().state & 3], colour, state_.GetProgress());
  colour = (colour & 0x00FFFFFFu) | (mark_.v[0].color & 0xFF000000u);
  for (DXLVERTEX& v : mark_.v) v.color = colour;
  const DXLDRAWSTATE* previous = SetBlendState(&markState_);
  BindDrawTexture(sheet->GetTexture());
  DrawQuad(&mark_);
  SetBlendState(previous);
}
