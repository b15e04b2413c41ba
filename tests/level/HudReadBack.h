// The level's head-up display read back the way the level tests compare it:
// what a screen sprite is and where it stands, and the show or hide it runs,
// each as one line of text. Sprites are the toolkit's own (the level makes
// them on the running level's screen-sprite list).
#pragma once

#include <cstdio>
#include <string>

#include "resources/ImageSprite.h"
#include "resources/SEffects.h"
#include "resources/Sprite.h"
#include "resources/SpriteEffect.h"
#include "hud/ASSArrowButton.h"
#include "hud/ASSPriceButton.h"
#include "hud/SSColorIcon.h"
#include "hud/SSProgressLine.h"
#include "hud/SSStars.h"
#include "hud/ScreenLabel.h"
#include "hud/ScreenSprite.h"

namespace leveltest {

inline std::string SpriteName(const Sprite* sprite) {
  std::string out;
  for (const wchar* s = sprite ? sprite->GetName() : nullptr; s && *s; ++s) out += static_cast<char>(*s);
  return out.empty() ? "-" : out;
}
inline std::string SpriteName(const ImageSprite* image) { return SpriteName(image ? image->GetSprite() : nullptr); }

// The kind's word: line, stars, button, arrow or icon.
inline std::string KindOf(const ScreenSprite* s) {
  if (dynamic_cast<const SSProgressLine*>(s)) return "line";
  if (dynamic_cast<const SSStars*>(s)) return "stars";
  if (dynamic_cast<const ASSPriceButton*>(s)) return "button";
  if (dynamic_cast<const ASSArrowButton*>(s)) return "arrow";
  if (dynamic_cast<const SSColorIcon*>(s)) return "icon";
  return "sprite";
}

// "line at X,Y width W mode M", "stars C of M at X,Y", "price button CODE
// ICON PRICE at X,Y" (the anchor it stands above), "arrow button CODE ICON
// ARROW GLOW SCALE COLOUR at X,Y", "icon at X,Y PLATE"; "none" for null.
inline std::string Describe(const ScreenSprite* s) {
  char b[200];
  if (!s) return "none";
  if (const auto* line = dynamic_cast<const SSProgressLine*>(s)) {
    std::snprintf(b, sizeof b, "line at %d,%d width %d mode %u", s->GetX(), s->GetY(), line->GetWidth(), line->GetMode());
  } else if (const auto* stars = dynamic_cast<const SSStars*>(s)) {
    std::snprintf(b, sizeof b, "stars %d of %d at %d,%d", stars->GetCount(), stars->GetMaximum(), s->GetX(), s->GetY());
  } else if (const auto* price = dynamic_cast<const ASSPriceButton*>(s)) {
    const u32 code = price->GetActionCode();
    const char tag[5] = {static_cast<char>(code >> 24), static_cast<char>(code >> 16), static_cast<char>(code >> 8),
                         static_cast<char>(code), 0};
    std::snprintf(b, sizeof b, "price button %s %s %u at %d,%d", tag, SpriteName(price->GetIcon()).c_str(),
                  price->GetPrice(), price->GetBaseX(), price->GetBaseY());
  } else if (const auto* arrow = dynamic_cast<const ASSArrowButton*>(s)) {
    const ImageSprite* glow = arrow->GetGlow();
    std::snprintf(b, sizeof b, "arrow button %08x %s %s %s %g %08x at %d,%d", arrow->GetActionCode(),
                  SpriteName(arrow->GetIcon()).c_str(), SpriteName(arrow->GetArrow()).c_str(), SpriteName(glow).c_str(),
                  glow ? glow->GetScaleX() : 0.0f, glow ? glow->GetColor() : 0u, arrow->GetBaseX(), arrow->GetBaseY());
  } else if (const auto* icon = dynamic_cast<const SSColorIcon*>(s)) {
    std::snprintf(b, sizeof b, "icon at %d,%d %x", s->GetX(), s->GetY(), icon->GetPlateColor());
  } else {
    std::snprintf(b, sizeof b, "sprite at %d,%d", s->GetX(), s->GetY());
  }
  return b;
}

// The show or hide under way: "show KIND after D style S for T" while its
// effect runs, "show KIND at once" when shown without one; "hide KIND[ for
// good] ..." likewise; "not shown" for a sprite never shown. A build effect
// running beside it adds " building for T".
inline std::string Showing(const ScreenSprite* s) {
  if (!s) return "none";
  const std::string kind = KindOf(s);
  const std::string good = s->IsRemoveWhenHidden() ? " for good" : "";
  const SpriteEffectList* effects = s->GetEffects();
  std::string building;
  for (i32 i = 0; effects && i < effects->GetCount(); ++i)
    if (const auto* e = dynamic_cast<const SEffect_Build*>(effects->Get(i)))
      building = " building for " + std::to_string(e->GetDuration());
  for (i32 i = 0; effects && i < effects->GetCount(); ++i)
    if (const auto* e = dynamic_cast<const SEffect_SSShowHide*>(effects->Get(i))) {
      char b[120];
      std::snprintf(b, sizeof b, " after %u style %u for %u", e->GetDelay(), e->GetStyle(), e->GetDuration());
      return (e->IsHide() ? "hide " + kind + good : "show " + kind) + b + building;
    }
  if (s->GetShowState() == kShowHiding) return "hide " + kind + good + " at once" + building;
  if (s->GetShowState() == kShowShowing && s->IsVisible()) return "show " + kind + " at once" + building;
  return "not shown";
}

// A flying label: "coins N at X,Y after D" (the coin's icon), "icon NAME N
// at X,Y after D to E" (a product's icon, rising for N above 0, else
// sinking), "text at X,Y" (a ready text); its anchor and its flight.
inline std::string DescribeLabel(const ScreenLabel* label) {
  if (!label) return "none";
  char b[160];
  const std::string icon = SpriteName(label->GetIcon());
  if (icon == "small_ico_coin")
    std::snprintf(b, sizeof b, "coins %d at %g,%g after %u", label->GetValue(), label->GetX(), label->GetY(),
                  label->GetDelay());
  else if (label->GetValue() != 0)
    std::snprintf(b, sizeof b, "icon %s %d at %g,%g after %u to %g%s", icon.c_str(), label->GetValue(), label->GetX(),
                  label->GetY(), label->GetDelay(), label->GetEndOffset(),
                  label->IsRising() == (label->GetValue() > 0) ? "" : " the wrong way");
  else
    std::snprintf(b, sizeof b, "text at %g,%g", label->GetX(), label->GetY());
  return b;
}

}  // namespace leveltest
