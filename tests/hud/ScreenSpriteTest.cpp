#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>

#include "HudRig.h"
#include "content/ContentArchive.h"
#include "content/ProductList.h"
#include "gametext/KGECustomText.h"
#include "resources/GameDraw.h"
#include "hud/ScreenLabel.h"
#include "resources/ResourceServices.h"

using uitest::HudRig;
using uitest::Spot;

namespace {

// Show, hide and removal, step by step: a second show while one runs keeps
// its effect, an instant one restarts; a fade's alpha reaches the kind; a
// hidden sprite marked to go is deleted by the next update.
TEST(ScreenSprites, ShowHideAndRemovalLifecycles) {
  HudRig r;
  auto* s = new Spot(100, 100);
  ASSERT_EQ(r.list->Sprites().GetCount(), 1);
  ASSERT_EQ(r.list->Active().GetCount(), 1);
  EXPECT_FALSE(s->IsVisible());
  EXPECT_EQ(s->GetRect().left, 90);

  s->Show(false, 0, kShowFade, 200);
  EXPECT_TRUE(s->IsVisible());
  EXPECT_EQ(s->GetShowState(), kShowShowing);
  ASSERT_NE(s->GetEffects(), nullptr);
  SpriteEffect* first = s->GetEffects()->Get(0);
  s->Show(false, 0, kShowPop, 200);
  EXPECT_EQ(s->GetEffects()->Get(0), first);  // not restarted
  s->Show(true, 0, 0, 0);
  EXPECT_EQ(s->GetEffects(), nullptr);  // the instant show ends it at once
  EXPECT_EQ(s->GetShowState(), kShowShowing);
  r.Draw();
  EXPECT_EQ(s->GetShowState(), kShowSettled);
  EXPECT_EQ(s->draws, 1);
  EXPECT_FALSE(s->IsEffectAlphaActive());

  // Hiding with a fade: 10 ms in (the first step), then 110, then done.
  s->Hide(false, false, 0, kShowFade, 200);
  EXPECT_EQ(s->GetShowState(), kShowHiding);
  r.Frame(10);
  EXPECT_TRUE(s->IsEffectAlphaActive());
  EXPECT_EQ(s->GetAlpha(), 0xF2000000u);  // round(0.95 x 255)
  r.Frame(100);
  EXPECT_EQ(s->GetAlpha(), 0x73000000u);  // round(0.45 x 255)
  EXPECT_EQ(s->draws, 3);
  r.Frame(100);
  EXPECT_FALSE(s->IsVisible());
  EXPECT_EQ(s->GetShowState(), kShowHiding);
  EXPECT_EQ(s->draws, 3);
  s->Hide(false, false, 0, kShowFade, 200);  // invisible: nothing
  EXPECT_EQ(s->GetEffects(), nullptr);

  // Marked for removal while invisible: gone at the next update.
  s->Hide(true, false, 0, kShowFade, 200);
  EXPECT_TRUE(s->IsRemoveWhenHidden());
  EXPECT_EQ(r.list->Sprites().GetCount(), 1);
  r.list->UpdateAll();
  EXPECT_EQ(r.list->Sprites().GetCount(), 0);
  EXPECT_EQ(r.list->Active().GetCount(), 0);

  // A visible sprite marked to go disappears at its next draw, and goes.
  auto* t = new Spot(0, 0);
  t->Show(true, 0, 0, 0);
  r.Draw();
  t->SetRemoveWhenHidden();
  r.list->UpdateAll();
  EXPECT_EQ(r.list->Sprites().GetCount(), 1);
  r.Draw();
  EXPECT_EQ(t->draws, 1);
  r.list->UpdateAll();
  EXPECT_EQ(r.list->Sprites().GetCount(), 0);
}

// The pop grows to 1.25 at three quarters of the way and settles at 1; the
// hide runs it backwards. keepSize holds the pixel size only while zoomed out.
TEST(ScreenSprites, PopCurveAndKeptSize) {
  HudRig r;
  EXPECT_FLOAT_EQ(SEffect_SSShowHide::PopScale(0.75f), 1.25f);
  EXPECT_FLOAT_EQ(SEffect_SSShowHide::PopScale(1.0f), 1.0f);
  EXPECT_FLOAT_EQ(SEffect_SSShowHide::PopScale(0.375f), 0.625f);
  const u32 c0 = GetResourceServices().clock;
  for (bool hide : {false, true}) {
    r.tk.ui.SetClock(c0);
    SpriteEffectList* list = nullptr;
    auto* e = new SEffect_SSShowHide(hide, kShowPop | kShowFade, 0, 200, true);
    EXPECT_EQ(e->GetKind(), kEffectScale | kEffectColor);
    AttachSpriteEffect(&list, e);
    UpdateSpriteEffects(&list);  // 10 ms in
    r.tk.ui.SetClock(hide ? c0 + 40 : c0 + 140);  // v = 0.75 either way
    UpdateSpriteEffects(&list);
    ASSERT_NE(list, nullptr);
    EXPECT_FLOAT_EQ(list->scaleX, 1.25f);
    EXPECT_FLOAT_EQ(list->scaleY, 1.25f);
    EXPECT_EQ(list->color >> 24, 191u);  // round(0.75 x 255)
    r.tk.ui.SetClock(c0 + 190);
    UpdateSpriteEffects(&list);  // at its end: removed
    EXPECT_EQ(list, nullptr);
  }
  // Plain scale: the way itself.
  SpriteEffectList* list = nullptr;
  AttachSpriteEffect(&list, new SEffect_SSShowHide(false, kShowScale, 0, 200, true));
  r.tk.ui.SetClock(c0);
  UpdateSpriteEffects(&list);
  r.tk.ui.SetClock(c0 + 90);
  UpdateSpriteEffects(&list);
  EXPECT_FLOAT_EQ(list->scaleX, 0.5f);
  DeleteSpriteEffects(&list);

  // keepSize: at half zoom the sprite keeps the game area's scale, its
  // place rounded to whole pixels; at 1.0 it scales with the level.
  r.host.scaling = true;
  r.host.scale = 0.5f;
  r.host.tx = 10.3f;
  auto* s = new Spot(100, 40);
  s->Show(true, 0, 0, 0);
  r.Draw();
  EXPECT_FLOAT_EQ(s->GetDrawTransform().m[0][0], 0.5f);
  s->SetKeepSize(true);
  EXPECT_TRUE(s->IsScaledDown());
  r.Draw();
  EXPECT_FLOAT_EQ(s->GetDrawTransform().m[0][0], 1.0f);
  EXPECT_FLOAT_EQ(s->GetDrawTransform().m[3][0], 60.0f);  // 60.3 rounded
  EXPECT_FLOAT_EQ(s->GetDrawTransform().m[3][1], 20.0f);
  r.host.scale = 1.0f;
  EXPECT_FALSE(s->IsScaledDown());
  DXLRECT screen{};
  r.host.scale = 0.5f;
  s->GetScreenRect(&screen);
  EXPECT_EQ(uitest::R(screen), (std::vector<i32>{55, 15, 65, 25}));
}

struct Clicks {
  static inline int count = 0;
  static inline u32 lastButton = 0;
  static inline u32 answer = 0;
  static inline u8 disabled = 0;
  static u32 Click(ActiveScreenSprite*, ScreenSpriteOwner*, u32 button) {
    ++count;
    lastButton = button;
    return answer;
  }
  static u32 DeleteSelf(ActiveScreenSprite* sprite, ScreenSpriteOwner*, u32) {
    ++count;
    delete sprite;
    return kScreenClickRemove | kScreenClickSound;
  }
  static u8 Disabled(ActiveScreenSprite*, ScreenSpriteOwner*) { return disabled; }
};

// Hover, press and click routing: the later sprite wins, the tutorial may
// refuse, windows and the view's edge block hover; the 30 ms settle; presses
// outside the mask or in the cooldown are swallowed; a disabled sprite still
// clicks; a callback may remove or delete its own sprite.
TEST(ScreenSprites, HoverPressAndClickRouting) {
  HudRig r;
  Clicks::count = 0;
  Clicks::answer = 0;
  Clicks::disabled = 0;
  auto* a = new Spot(100, 100, 10, ScreenTag('A', 'a', 'a', 'a'));
  auto* b = new Spot(105, 100, 10, ScreenTag('B', 'b', 'b', 'b'));
  auto* showing = new Spot(300, 300);
  a->Show(true, 0, 0, 0);
  b->Show(true, 0, 0, 0);
  r.Draw();
  showing->Show(false, 0, kShowFade, 200);
  r.Move(300, 300);
  EXPECT_EQ(r.list->GetHovered(), nullptr);  // no hover while its effect runs
  EXPECT_FALSE(r.list->MouseDown(300, 300, 1, 0));

  r.Move(103, 100);
  ASSERT_EQ(r.list->GetHovered(), b);  // created later
  EXPECT_EQ(b->GetHintDelayLeft(), 30u);
  // The first update takes the pointer's place; three still ones count
  // down 30 ms; the next lights the sprite.
  for (int i = 0; i < 4; ++i) {
    r.list->UpdateAll();
    EXPECT_EQ(b->GetState(), 1u) << i;
  }
  r.host.px = 104;  // a move of one unit is no move
  r.list->UpdateAll();
  EXPECT_EQ(b->GetState(), 2u);

  // The tutorial refuses b: a takes the hover; b is normal again.
  r.tk.ui.tutorial.refused = {{kTutorialActionHover, b->GetActionCode()}};
  r.Move(104, 100);
  EXPECT_EQ(r.list->GetHovered(), a);
  EXPECT_FALSE(b->IsHovered());
  EXPECT_EQ(b->GetState(), 1u);
  r.tk.ui.tutorial.refused.clear();
  // Off the view, or under an active window: nothing.
  r.host.overView = false;
  r.Move(104, 100);
  EXPECT_EQ(r.list->GetHovered(), nullptr);
  EXPECT_FALSE(a->IsHovered());
  r.host.overView = true;
  auto* window = new uitest::PlainWindow(7, false, DXLRECT{0, 0, 400, 400});
  r.tk.M().OnMouseMove(104, 100, 0, 0);
  ASSERT_EQ(r.tk.M().GetActiveWindow(), window);
  r.Move(104, 100);
  EXPECT_EQ(r.list->GetHovered(), nullptr);
  r.tk.M().UnregisterWindow(window);
  delete window;
  r.Move(104, 100);
  ASSERT_EQ(r.list->GetHovered(), b);

  // Swallowed presses: a button outside the mask, then the cooldown.
  b->SetHandler(nullptr, &Clicks::Click, &Clicks::Disabled);
  EXPECT_TRUE(r.list->MouseDown(104, 100, 2, 0));
  EXPECT_EQ(b->GetPressButton(), 0u);
  b->SetClickCooldown(20);
  EXPECT_TRUE(r.list->MouseDown(104, 100, 1, 0));
  EXPECT_EQ(b->GetPressButton(), 0u);
  r.list->UpdateAll();
  r.list->UpdateAll();
  EXPECT_EQ(b->GetClickCooldown(), 0u);
  // A press on a sprite not lit yet lights and presses it; another button's
  // release does nothing; the right one clicks.
  EXPECT_TRUE(r.list->MouseDown(104, 100, 1, 0));
  EXPECT_EQ(b->GetState(), 3u);
  r.list->MouseUp(104, 100, 2, 0);
  EXPECT_EQ(Clicks::count, 0);
  EXPECT_EQ(b->GetState(), 3u);
  r.list->MouseUp(104, 100, 1, 0);
  EXPECT_EQ(Clicks::count, 1);
  EXPECT_EQ(Clicks::lastButton, 1u);
  EXPECT_EQ(b->GetState(), 2u);
  EXPECT_EQ(b->GetPressButton(), 0u);

  // Disabled: the press keeps state 0 but the release still clicks.
  Clicks::disabled = 1;
  r.list->UpdateAll();
  EXPECT_EQ(b->GetState(), 0u);
  EXPECT_TRUE(r.list->MouseDown(104, 100, 1, 0));
  EXPECT_EQ(b->GetState(), 0u);
  r.list->MouseUp(104, 100, 1, 0);
  EXPECT_EQ(Clicks::count, 2);
  Clicks::disabled = 0;
  r.list->UpdateAll();
  EXPECT_EQ(b->GetState(), 1u);

  // Result bit 1: no more hover at once, gone after the next draw and update.
  Clicks::answer = kScreenClickRemove;
  r.list->MouseDown(104, 100, 1, 0);
  r.list->MouseUp(104, 100, 1, 0);
  EXPECT_TRUE(b->IsRemoveWhenHidden());
  EXPECT_FALSE(b->HitTest(104, 100));
  r.Draw();
  EXPECT_FALSE(b->IsVisible());
  r.list->UpdateAll();
  EXPECT_EQ(r.list->Active().GetCount(), 2);
  EXPECT_EQ(r.list->GetHovered(), nullptr);
  r.Move(104, 100);
  ASSERT_EQ(r.list->GetHovered(), a);

  // A callback that deletes its own sprite.
  a->SetHandler(nullptr, &Clicks::DeleteSelf, nullptr);
  r.list->MouseDown(104, 100, 1, 0);
  r.list->MouseUp(104, 100, 1, 0);
  EXPECT_EQ(Clicks::count, 4);
  EXPECT_EQ(r.list->GetHovered(), nullptr);
  EXPECT_EQ(r.list->Sprites().GetCount(), 1);
  EXPECT_EQ(r.list->Active().GetCount(), 1);
  r.Frame();
}

// Flying labels: nothing for 0, a coin label laid out icon then text,
// rising 100 units over 2 s and fading over the last half second; a used
// product sinks from 50 units above and shrinks away; an icon that is not
// loaded leaves the text alone. Each deletes itself when its effects end.
TEST(ScreenSprites, FlyingLabelsPathsAndTiming) {
  HudRig r;
  GetResourceServices().fonts[2] = GetGameFont(1);  // game font 7
  Sprite* coin = r.Picture(kIconSpriteSet, u"small_ico_coin", 22, 20, 4);
  r.list->ShowFlyingCoins(0, 10, 10, 0, 0);
  PRODUCT wheat{};
  wheat.icon = coin;
  r.list->ShowFlyingIcon(nullptr, 3, 10, 10, 0, 0, 0);
  r.list->ShowFlyingIcon(&wheat, 0, 10, 10, 0, 0, 0);
  EXPECT_EQ(r.list->Labels().GetCount(), 0);

  r.list->ShowFlyingCoins(15, 200, 300, -10, 0);
  ASSERT_EQ(r.list->Labels().GetCount(), 1);
  ScreenLabel* label = r.list->Labels().Get(0);
  ASSERT_EQ(label->GetIcon(), coin);
  ASSERT_NE(label->GetText(), nullptr);
  const i32 tw = label->GetText()->GetWidth(), th = label->GetText()->GetHeight();
  ASSERT_GT(tw, 0);
  const i32 w = 22 + 3 + tw, h = std::max(20, th);
  EXPECT_EQ(uitest::R(label->GetLayout()), (std::vector<i32>{-w / 2, -h / 2, w, h}));
  EXPECT_FLOAT_EQ(label->GetIconX(), static_cast<float>(-w / 2));
  EXPECT_FLOAT_EQ(label->GetIconY(), -10.0f);
  EXPECT_FLOAT_EQ(label->GetTextX(), static_cast<float>(-w / 2 + 25));
  const DXLQUAD* frame3 = coin->GetQuad(3, false);
  EXPECT_FLOAT_EQ(label->GetIconQuad().v[0].u, frame3->v[0].u);
  EXPECT_EQ(label->GetIconQuad().v[0].color, 0xFFFFFFFFu);

  const u32 c0 = GetResourceServices().clock;
  r.Draw();  // 10 ms in
  r.tk.ui.SetClock(c0 + 1000);
  r.tk.ui.calls.Clear();
  r.Draw();
  const int coinTexture = r.tk.ui.TextureId(coin->GetTexture());
  const plat::gfx::LoggedPrimitive* icon = nullptr;
  for (const auto& p : r.tk.ui.calls.Primitives())
    if (p.texture == coinTexture) icon = &p;
  ASSERT_NE(icon, nullptr);
  EXPECT_FLOAT_EQ(icon->world.m[3][0], 200.0f - static_cast<float>(w / 2));
  EXPECT_FLOAT_EQ(icon->world.m[3][1], 290.0f - 50.5f - 10.0f);  // 1,010 of 2,000 ms up
  EXPECT_EQ(label->GetColor() >> 24, 0xFFu);
  r.tk.ui.SetClock(c0 + 1750);
  r.Draw();
  EXPECT_EQ(label->GetColor() >> 24, 122u);  // 260 of 500 ms faded
  EXPECT_EQ(label->GetIconQuad().v[2].color, 0x7AFFFFFFu);
  r.tk.ui.SetClock(c0 + 1990);
  r.Draw();
  EXPECT_EQ(r.list->Labels().GetCount(), 0);

  // Sinking, 100 ms late: 50 units above at its start, fading in.
  r.list->ShowFlyingIcon(&wheat, -2, 50, 60, 0, 100, 0);
  label = r.list->Labels().Get(0);
  EXPECT_EQ(label->GetText()->GetParams().color, 0xFFFF8080u);
  const u32 c1 = GetResourceServices().clock;
  r.Draw();
  r.tk.ui.SetClock(c1 + 100);
  r.Draw();  // 10 ms past the delay
  EXPECT_EQ(label->GetColor() >> 24, 13u);
  r.tk.ui.SetClock(c1 + 990);
  r.Draw();  // 900 ms in: 5 units above, half shrunk
  ASSERT_NE(label->GetEffects(), nullptr);
  EXPECT_FLOAT_EQ(label->GetEffects()->posY, -5.0f);
  EXPECT_FLOAT_EQ(label->GetEffects()->scaleX, 0.5f);
  r.tk.ui.SetClock(c1 + 1090);
  r.Draw();
  EXPECT_EQ(r.list->Labels().GetCount(), 0);

  // With a shadow: two pixels off, half-transparent black.
  auto* shaded = new ScreenLabel(r.list.get(), 0, 0);
  shaded->SetIcon(coin, 3, true, -1);
  ASSERT_NE(shaded->GetShadowQuad(), nullptr);
  EXPECT_EQ(shaded->GetShadowQuad()->v[0].color, 0x80000000u);
  EXPECT_FLOAT_EQ(shaded->GetShadowQuad()->v[2].y, shaded->GetIconQuad().v[2].y + 2);
  delete shaded;

  // An icon that is not loaded: the text alone.
  coin->Release(true);
  r.list->ShowFlyingIcon(&wheat, 4, 0, 0, 0, 0, 0);
  label = r.list->Labels().Get(0);
  EXPECT_EQ(label->GetIcon(), nullptr);
  EXPECT_EQ(label->GetLayout().right, 1 + label->GetText()->GetWidth());
  // The list deletes the labels still flying.
  r.list.reset();
}

}  // namespace

namespace {

// Whether the sprites it gates are disabled.
struct Gate {
  static u8 Closed(ActiveScreenSprite*, ScreenSpriteOwner*) { return closed; }
  static inline u8 closed = 0;
};

// The game's bracket names as a label's text sees them: "long" gives 100 "a".
bool LongName(const wchar* name, u32 length, wchar* out, u32 room, u32* written, uintptr_t, uintptr_t) {
  if (std::u16string(name, length) != u"long") return false;
  *written = std::min<u32>(100, room);
  for (u32 i = 0; i < *written; ++i) out[i] = u'a';
  return true;
}

// The language's text flies up from its anchor, outlined, in the labels'
// font; an unknown key, or no language, shows nothing. Deleting everything
// leaves the list empty with nothing hovered; refreshing asks each active
// sprite again whether it is enabled.
TEST(ScreenSprites, FlyingTextDeleteAllAndRefresh) {
  HudRig r;
  GetResourceServices().fonts[2] = GetGameFont(1);  // game font 7
  r.list->ShowFlyingText(u"dialogs", u"no_such_key", 10, 10);
  EXPECT_EQ(r.list->Labels().GetCount(), 0);
  r.list->ShowFlyingText(u"dialogs", u"quit_caption", 320, 200);
  ASSERT_EQ(r.list->Labels().GetCount(), 1);
  const ScreenLabel* label = r.list->Labels().Get(0);
  EXPECT_FLOAT_EQ(label->GetX(), 320.0f);
  EXPECT_FLOAT_EQ(label->GetY(), 200.0f);
  EXPECT_TRUE(label->IsRising());
  EXPECT_EQ(label->GetValue(), 0);
  ASSERT_NE(label->GetText(), nullptr);
  EXPECT_GT(label->GetText()->GetWidth(), 0);
  // A label's text takes mark-up, the game's bracket names and room for the
  // long image tags they give: "[long]" as 100 letters is wider than 64.
  GetResourceServices().itemDescription = &LongName;
  const auto size = [&](const char16_t* text) {
    ScreenLabel made(r.list.get(), 0, 0);
    made.SetSpriteText(7, text, 0xFFFFFFFFu);
    return std::pair{made.GetText()->GetWidth(), made.GetText()->GetHeight()};
  };
  EXPECT_EQ(size(u"[long]"), size(std::u16string(100, u'a').c_str()));
  EXPECT_GT(size(u"[long]").first, size(std::u16string(64, u'a').c_str()).first);
  EXPECT_LT(size(u"<space=1>a").first, size(u"aaa").first);  // a tag, not text
  GetResourceServices().itemDescription = nullptr;
  SetGameLanguage(nullptr);
  r.list->ShowFlyingText(u"dialogs", u"quit_caption", 320, 200);
  EXPECT_EQ(r.list->Labels().GetCount(), 1);

  auto* a = new Spot(100, 100);
  auto* b = new Spot(200, 100);
  a->SetHandler(nullptr, nullptr, &Gate::Closed);
  b->SetHandler(nullptr, nullptr, &Gate::Closed);
  a->Show(true, 0, 0, 0);
  b->Show(true, 0, 0, 0);
  EXPECT_EQ(a->GetState(), 1u);
  Gate::closed = 1;
  r.list->RefreshEnabled();
  EXPECT_EQ(a->GetState(), 0u);
  EXPECT_EQ(b->GetState(), 0u);
  Gate::closed = 0;
  r.list->RefreshEnabled();
  EXPECT_EQ(b->GetState(), 1u);
  r.list->SetHovered(a);
  r.list->DeleteAll();
  EXPECT_EQ(r.list->Sprites().GetCount(), 0);
  EXPECT_EQ(r.list->Active().GetCount(), 0);
  EXPECT_EQ(r.list->Labels().GetCount(), 0);
  EXPECT_EQ(r.list->GetHovered(), nullptr);
}

}  // namespace
