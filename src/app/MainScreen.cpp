#include "app/MainScreen.h"

#include <algorithm>
#include <cmath>

#include "app/Profile.h"
#include "base/Clock.h"
#include "base/Maths.h"
#include "base/Random.h"
#include "engine/DXLApp.h"
#include "engine/DXLTexture.h"
#include "engine/DXLViewer.h"
#include "gametext/GameLanguage.h"
#include "gametext/GameLanguageHost.h"
#include "gametext/KGEBaseTextSprite.h"
#include "gametext/KGEFont.h"
#include "gametext/TextServices.h"
#include "platform/gfx/GfxTypes.h"
#include "resources/GPSEmiter.h"
#include "resources/GPSSpace.h"
#include "resources/GameDraw.h"
#include "resources/ParticleLibrary.h"
#include "resources/ResourceServices.h"
#include "resources/SoundSettings.h"
#include "resources/Sprite.h"
#include "resources/SpriteSet.h"
#include "ui/CaptionHintWindow.h"
#include "ui/ImageButton.h"
#include "ui/ItemTagKinds.h"
#include "ui/SkinTable.h"
#include "ui/WindowManager.h"
#include "windows/CreditsWindow.h"
#include "windows/OptionsWindow.h"
#include "windows/ProfilesWindow.h"

namespace {

constexpr u32 kMainScreenFont = 3;
constexpr u32 kHoverGlow = 0x40FFFFFFu;
constexpr u32 kMainScreenMapState = 5;
constexpr float kMainScreenDegrees = static_cast<float>(M_PI / 180.0);

const wchar* MainScreenText(const wchar* key) {
  const GameLanguage* language = GetGameLanguage();
  const wchar* text = language ? language->GetTextByName(u"main_screen", key, true) : nullptr;
  return text ? text : key;
}

// The ease of the sway and the girl: 0 at p = 0 up to 1 at p = 1, slow at both ends.
float SwayEase(float p) { return (std::cos(kMainScreenDegrees * (180.0f + p * 180.0f)) + 1.0f) / 2.0f; }

u32 MainScreenFrameMs() {
  const u32 step = GetResourceServices().timeStep;
  return step ? step : 10;
}

Sprite* SceneSprite(const wchar* name) {
  Sprite* sprite = GetSpriteByName(kMainScreenSpriteSet, name);
  if (!sprite || !sprite->GetTexture()) return nullptr;
  if (!sprite->GetTexture()->IsReady()) sprite->GetTexture()->Load();
  return sprite;
}

void SetRayColour(DXLQUAD& quad, u32 colour) {
  for (DXLVERTEX& v : quad.v) v.color = colour;
}

// The rows [*from, *to) of a texture whose texels are all opaque: the
// longest run of such rows (none when it has none, or its texels cannot be
// read as 32-bit words).
void OpaqueTextureRows(DXLTexture* texture, i32* from, i32* to) {
  *from = *to = 0;
  const i32 w = texture->GetWidth(), h = texture->GetHeight();
  const u32 format = texture->GetFormat();
  if (w <= 0 || h <= 0) return;
  if (format == plat::gfx::D3DFMT_X8R8G8B8) {
    *to = h;
    return;
  }
  if (format != plat::gfx::D3DFMT_A8R8G8B8) return;
  const u8* bits = texture->Lock(plat::gfx::D3DLOCK_READONLY);
  if (!bits) return;
  const i32 pitch = texture->GetLockPitch();
  i32 runFrom = 0;
  for (i32 y = 0; y <= h; ++y) {
    bool opaque = y < h;
    const u32* row = opaque ? reinterpret_cast<const u32*>(bits + static_cast<size_t>(y) * pitch) : nullptr;
    for (i32 x = 0; opaque && x < w; ++x) opaque = row[x] >= 0xFF000000u;
    if (opaque) continue;
    if (y - runFrom > *to - *from) {
      *from = runFrom;
      *to = y;
    }
    runFrom = y + 1;
  }
  texture->Unlock();
}

}  // namespace

// --- Layers ------------------------------------------------------------------------------------------

MainScreenLayer::MainScreenLayer(MainScreen* owner, const MAINSCREENLAYERINFO* record)
    : owner_(owner), record_(record), depth_(record->depth), zoom_(record->zoom) {
  owner->AddLayer(this);
  const u32 count = std::min(record->count, kMainScreenMaxEntries);
  for (u32 i = 0; i < count; ++i) {
    const MAINSCREENENTRY& e = record->entries[i];
    Sprite* sprite = SceneSprite(e.name);
    if (!sprite) continue;
    MAINSCREENSPRITE q{};
    q.texture = sprite->GetTexture();
    sprite->MakeQuad(&q.quad, DXLRECT{e.x1, e.y1, e.x2, e.y2}, e.colour);
    q.index = i;
    q.opaqueFrom = q.opaqueTo = 0;
    if ((e.colour >> 24) == 0xFF) OpaqueTextureRows(q.texture, &q.opaqueFrom, &q.opaqueTo);
    quads_.push_back(q);
  }
}

void MainScreenLayer::ApplyParallax() {
  DXLViewer* viewer = GetGameViewer();
  if (!viewer) return;
  viewer->Translate(owner_->GetSwayX() * depth_, owner_->GetSwayY() * depth_);
  viewer->Scale(1.0f + owner_->GetZoomSway() * zoom_);
}

void MainScreenLayer::DrawQuads() {
  DXLViewer* viewer = GetGameViewer();
  if (!viewer) return;
  viewer->ApplyTransform(nullptr);
  for (const MAINSCREENSPRITE& q : quads_) {
    BindDrawTexture(q.texture);
    viewer->DrawQuad(&q.quad);
  }
}

void MainScreenLayer::Draw() { DrawQuads(); }

// A pixel centre sits on integer coordinates; row y of a quad samples the
// texture rows around v(y) - 1/2 and the next. A texel and a pixel of room
// on each side keep rounding on the safe side.
MainScreenRows MainScreenLayer::CoveredRows(const DXLMATRIX& m, i32 w, i32 h) const {
  MainScreenRows rows{h, -1};
  if (m.m[0][1] != 0.0f || m.m[1][0] != 0.0f || !(m.m[0][0] > 0.0f) || !(m.m[1][1] > 0.0f)) return {0, -1};
  for (const MAINSCREENSPRITE& q : quads_) {
    if (q.opaqueFrom >= q.opaqueTo) continue;
    const i32 texHeight = q.texture->GetHeight();
    // The quad as MakeQuad lays it out: corners 0 (top left) and 2 (bottom right).
    const DXLVERTEX& a = q.quad.v[0];
    const DXLVERTEX& b = q.quad.v[2];
    if (q.quad.v[1].y != a.y || q.quad.v[3].y != b.y || q.quad.v[3].x != a.x || q.quad.v[1].x != b.x) continue;
    const double left = a.x * m.m[0][0] + m.m[3][0], right = b.x * m.m[0][0] + m.m[3][0];
    const double top = a.y * m.m[1][1] + m.m[3][1], bottom = b.y * m.m[1][1] + m.m[3][1];
    const double vTop = static_cast<double>(a.v) * texHeight, vBottom = static_cast<double>(b.v) * texHeight;
    if (!(left <= -2.0 && right >= w + 1.0 && bottom - top >= 1.0 && vBottom > vTop)) continue;
    // v(y) = vTop + (y - top) * perRow; rows read are floor(v - 1/2) and the next.
    const double perRow = (vBottom - vTop) / (bottom - top);
    const double firstV = q.opaqueFrom + 1.5, lastV = q.opaqueTo >= texHeight ? 1e9 : q.opaqueTo - 2.5;
    const double first = std::max(top + 1.0, top + (firstV - vTop) / perRow + 1.0);
    const double last = std::min(bottom - 1.0, top + (lastV - vTop) / perRow - 1.0);
    if (!(first <= last)) continue;
    const i32 f = static_cast<i32>(std::max(std::ceil(first), 0.0));
    const i32 l = static_cast<i32>(std::min(std::floor(last), static_cast<double>(h - 1)));
    if (f > l) continue;
    // One band a layer: the largest.
    if (l - f > rows.last - rows.first) rows = {f, l};
  }
  return rows.first <= rows.last ? rows : MainScreenRows{0, -1};
}

// --- The girl ------------------------------------------------------------------------------------------

namespace {

struct GirlPartPlace {
  const wchar* name;
  float pivotX, pivotY;  // pixels of the picture (0, 0: its origin)
};
constexpr GirlPartPlace kGirlHead{u"girl_head", 143, 139};
constexpr GirlPartPlace kGirlArm{u"girl_arm", 18, 72};
constexpr GirlPartPlace kGirlHand{u"girl_hand", 9, 54};
constexpr GirlPartPlace kGirlEyes{u"girl_eyes", 0, 0};
constexpr GirlPartPlace kGirlMouth{u"girl_mouth", 0, 0};
constexpr float kHeadX = -320, kHeadY = -93;
constexpr float kArmX = -213, kArmY = 33;
constexpr float kHandX = 36, kHandY = -60;
constexpr float kEyesX = -15, kEyesY = -73;
constexpr float kMouthX = 15, kMouthY = -24;
constexpr u32 kWaveCycle = 6000;

}  // namespace

MainScreenGirl::MainScreenGirl(MainScreen* owner, const MAINSCREENLAYERINFO* record) : MainScreenLayer(owner, record) {
  Part* parts[] = {&head_, &arm_, &hand_, &eyes_, &mouth_};
  const GirlPartPlace* places[] = {&kGirlHead, &kGirlArm, &kGirlHand, &kGirlEyes, &kGirlMouth};
  for (u32 i = 0; i < 5; ++i) {
    parts[i]->sprite = SceneSprite(places[i]->name);
    parts[i]->pivotX = places[i]->pivotX;
    parts[i]->pivotY = places[i]->pivotY;
  }
  nextBlink_ = 1000 + kis::RandomInt(2000);
  quick_ = false;
  blinkGroup_ = 3 + static_cast<u32>(kis::RandomChar(3));
  smile_ = kSmileIdle;
  smileTimer_ = 5000 + kis::RandomInt(3000);
}

float MainScreenGirl::HeadAngle(u32 runningMs) {
  return SwayEase(static_cast<float>(runningMs % 6000) / 3000.0f) * 10.0f - 5.0f;
}

void MainScreenGirl::Update(u32 ms) {
  headAngle_ = HeadAngle(DXLGetTimeMs());
  UpdateWave(ms);
  UpdateBlinks(ms);
  UpdateSmile(ms);
}

// The wave pauses now and then when its clock passes a whole cycle: the
// rest of a step after a pause ends goes on waving.
void MainScreenGirl::UpdateWave(u32 ms) {
  if (wavePause_ > ms) {
    wavePause_ -= ms;
  } else {
    ms -= wavePause_;
    wavePause_ = 0;
    const u32 before = waveClock_;
    waveClock_ += ms;
    if (before / kWaveCycle != waveClock_ / kWaveCycle && kis::RandomChar(100) < 30) {
      waveClock_ = 0;
      wavePause_ = 1000 + kis::RandomInt(9000);
    }
  }
  const float e = SwayEase(static_cast<float>(waveClock_ % kWaveCycle) / 3000.0f);
  armAngle_ = e * 20.0f;
  handAngle_ = e * 20.0f - 10.0f;
}

void MainScreenGirl::UpdateBlinks(u32 ms) {
  blinkLeft_ = blinkLeft_ > ms ? blinkLeft_ - ms : 0;
  u32 left = ms;
  while (left >= nextBlink_) {
    left -= nextBlink_;
    blinkLeft_ = kBlinkTime > left ? kBlinkTime - left : 0;
    if (blinkGroup_ > 0) --blinkGroup_;
    if (blinkGroup_ == 0) {
      quick_ = !quick_;
      blinkGroup_ = quick_ ? static_cast<u32>(kis::RandomChar(10)) / 7 + 1 : static_cast<u32>(kis::RandomChar(3)) + 2;
    }
    nextBlink_ = quick_ ? 200 : 1000 + kis::RandomInt(4000);
  }
  nextBlink_ -= left;
}

void MainScreenGirl::UpdateSmile(u32 ms) {
  switch (smile_) {
    case kSmileIdle:
      if (smileTimer_ > ms) {
        smileTimer_ -= ms;
      } else {
        smileTimer_ = 0;
        StartSmile(2000);
      }
      break;
    case kSmileIn:
      if (smileTimer_ > ms) {
        smileTimer_ -= ms;
      } else {
        smile_ = kSmileHold;
        smileTimer_ = smileHold_ < 0 ? 0 : static_cast<u32>(smileHold_);
      }
      break;
    case kSmileHold:
      if (smileHold_ < 0) break;  // held until ended
      if (smileTimer_ > ms) smileTimer_ -= ms;
      else EndSmile();
      break;
    case kSmileOut:
      if (smileTimer_ > ms) {
        smileTimer_ -= ms;
      } else {
        smile_ = kSmileIdle;
        smileTimer_ = 5000 + kis::RandomInt(3000);
      }
      break;
    default: break;
  }
}

// From idle or fading out the smile fades in (a fade out turns back where
// it stands); in or held, only an endless hold replaces a finite one.
void MainScreenGirl::StartSmile(i32 hold) {
  if (smile_ == kSmileIdle || smile_ == kSmileOut) {
    smileTimer_ = smile_ == kSmileOut ? kSmileFade - std::min(smileTimer_, kSmileFade) : kSmileFade;
    smile_ = kSmileIn;
    smileHold_ = hold;
  } else if (hold == kEndless && smileHold_ != kEndless) {
    smileHold_ = kEndless;
  }
}

void MainScreenGirl::EndSmile() {
  if (smile_ != kSmileIn && smile_ != kSmileHold) return;
  smileTimer_ = smile_ == kSmileIn ? kSmileFade - std::min(smileTimer_, kSmileFade) : kSmileFade;
  smile_ = kSmileOut;
  smileHold_ = 0;
}

void MainScreenGirl::DrawPart(const Part& part, i32 frame, u32 colour) {
  DXLViewer* viewer = GetGameViewer();
  if (!part.sprite || !viewer) return;
  SPRITEDRAWITEM item{};
  part.sprite->MakeDrawItemAt(&item, frame, -part.pivotX, -part.pivotY, nullptr, colour, false, 0);
  if (!item.texture) return;
  viewer->ApplyTransform(nullptr);
  BindDrawTexture(item.texture);
  viewer->DrawQuad(&item.quad);
}

void MainScreenGirl::Draw() {
  DXLViewer* viewer = GetGameViewer();
  if (!viewer) return;
  DXLMATRIX layer{}, shoulder{}, head{};
  viewer->GetTransform(&layer);
  viewer->Translate(kArmX, kArmY);
  viewer->GetTransform(&shoulder);
  viewer->RotateDeg(armAngle_);
  DrawPart(arm_, 0, 0xFFFFFFFFu);
  viewer->SetTransform(&layer);
  DrawQuads();  // her body over the arm's shoulder
  viewer->SetTransform(&shoulder);
  viewer->RotateDeg(armAngle_);
  viewer->Translate(kHandX, kHandY);
  viewer->RotateDeg(handAngle_);
  DrawPart(hand_, 0, 0xFFFFFFFFu);
  viewer->SetTransform(&layer);
  viewer->Translate(kHeadX, kHeadY);
  viewer->RotateDeg(headAngle_);
  viewer->GetTransform(&head);
  DrawPart(head_, 0, 0xFFFFFFFFu);
  viewer->Translate(kEyesX, kEyesY);
  DrawPart(eyes_, IsBlinking() ? 1 : 0, 0xFFFFFFFFu);
  viewer->SetTransform(&head);
  viewer->Translate(kMouthX, kMouthY);
  const auto alpha = [](u32 a) { return (std::min(a, 255u) << 24) | 0xFFFFFFu; };
  switch (smile_) {
    case kSmileHold: DrawPart(mouth_, 1, 0xFFFFFFFFu); break;
    case kSmileIn:
      DrawPart(mouth_, 0, 0xFFFFFFFFu);
      DrawPart(mouth_, 1, alpha((kSmileFade - std::min(smileTimer_, kSmileFade)) * 255 / kSmileFade));
      break;
    case kSmileOut:
      DrawPart(mouth_, 0, 0xFFFFFFFFu);
      DrawPart(mouth_, 1, alpha(std::min(smileTimer_, kSmileFade) * 255 / kSmileFade));
      break;
    default: DrawPart(mouth_, 0, 0xFFFFFFFFu); break;
  }
  viewer->SetTransform(&layer);
}

// --- Light rays ----------------------------------------------------------------------------------------

MainScreenLight::MainScreenLight(MainScreen* owner, const MAINSCREENLAYERINFO* record) : MainScreenLayer(owner, record) {
  for (const MAINSCREENSPRITE& q : quads_) {
    const MAINSCREENENTRY& e = record->entries[q.index];
    const MAINSCREENLIGHTINFO& l = record->lights[q.index];
    Ray r{};
    r.light = &l;
    r.texture = q.texture;
    r.colour = e.colour;
    r.pivotX = static_cast<float>(e.x1) + l.startX;
    r.pivotY = static_cast<float>(e.y1);
    r.quad = q.quad;
    for (DXLVERTEX& v : r.quad.v) {
      v.x -= r.pivotX;
      v.y -= r.pivotY;
    }
    r.x = r.pivotX;
    r.y = r.pivotY;
    r.offsetX = -static_cast<float>(e.x2 - e.x1) / 2.0f;
    r.offsetY = 0;
    r.angle = l.angle;
    r.pause = static_cast<u32>(kis::RandomRange(static_cast<i32>(l.minPause), static_cast<i32>(l.maxPause)));
    rays_.push_back(r);
  }
}

// A pause that ends inside the step starts a sweep with the rest of the
// step; a sweep that ends inside the step starts a pause, which only the
// step's unused part counts against.
void MainScreenLight::Update(u32 ms) {
  for (Ray& r : rays_) {
    u32 left = ms;
    while (left > 0) {
      if (r.pause > 0) {
        if (r.pause > left) {
          r.pause -= left;
          break;
        }
        left -= r.pause;
        r.pause = 0;
        r.duration = static_cast<u32>(
            kis::RandomRange(static_cast<i32>(r.light->minDuration), static_cast<i32>(r.light->maxDuration)));
        r.elapsed = 0;
        if (r.duration == 0) r.duration = 1;
      }
      const u32 room = r.duration - r.elapsed;
      if (left < room) {
        r.elapsed += left;
        break;
      }
      left -= room;
      r.elapsed = 0;
      r.pause = static_cast<u32>(kis::RandomRange(static_cast<i32>(r.light->minPause), static_cast<i32>(r.light->maxPause)));
      if (r.pause == 0) r.pause = 1;  // a pause always starts, so the loop ends
    }
  }
}

// Fades of 0 ms are instant.
u32 MainScreenLight::RayAlpha(u32 alpha, const MAINSCREENLIGHTINFO& light, u32 elapsed, u32 duration) {
  if (light.fadeIn > 0 && elapsed < light.fadeIn) return alpha * elapsed / light.fadeIn;
  if (light.fadeOut > 0 && elapsed + light.fadeOut > duration) {
    const u32 into = elapsed - std::min(elapsed, duration > light.fadeOut ? duration - light.fadeOut : 0);
    return alpha - std::min(alpha, alpha * into / light.fadeOut);
  }
  return alpha;
}

void MainScreenLight::Draw() {
  DXLViewer* viewer = GetGameViewer();
  if (!viewer) return;
  DXLMATRIX layer{};
  viewer->GetTransform(&layer);
  for (Ray& r : rays_) {
    if (r.pause > 0 || r.duration == 0) continue;
    r.x = r.pivotX + (r.light->endX - r.light->startX) * static_cast<float>(r.elapsed) / static_cast<float>(r.duration);
    const u32 a = RayAlpha(r.colour >> 24, *r.light, r.elapsed, r.duration);
    SetRayColour(r.quad, (a << 24) | (r.colour & 0xFFFFFF));
    BindDrawTexture(r.texture);
    viewer->SetBlendMode(r.light->blend);
    viewer->SetTransform(&layer);
    viewer->Translate(r.x, r.y);
    viewer->RotateDeg(r.angle);
    viewer->Translate(r.offsetX, r.offsetY);
    viewer->ApplyTransform(nullptr);
    viewer->DrawQuad(&r.quad);
  }
  viewer->SetBlendMode(kBlendAlpha);
  viewer->SetTransform(&layer);
}

// --- Particles -------------------------------------------------------------------------------------------

MainScreenParticles::MainScreenParticles(MainScreen* owner, const MAINSCREENLAYERINFO* record)
    : MainScreenLayer(owner, record), space_(std::make_unique<GPSSpace>(0)) {
  for (const MAINSCREENPARTICLE& p : record->particles) {
    const GPSSYSTEM* system = p.systemId ? FindParticleSystem(p.systemId) : nullptr;
    if (!system) continue;
    GPSSYSTEM turned = *system;
    if (p.angle != 0.0f) turned.directionOffset = kis::NormalizeAngle(turned.directionOffset + p.angle);
    new GPSEmiter(space_.get(), &turned, nullptr, static_cast<float>(p.x), static_cast<float>(p.y));
  }
  space_->StartEmitters();
}

MainScreenParticles::~MainScreenParticles() = default;

void MainScreenParticles::Update(u32 ms) { space_->Update(static_cast<float>(ms)); }

void MainScreenParticles::Draw() {
  if (DXLViewer* viewer = GetGameViewer()) viewer->ApplyTransform(nullptr);
  space_->Draw();
}

// --- The menu ----------------------------------------------------------------------------------------------

MainScreenTextButton::MainScreenTextButton(GameWindow* parent, u32 id, const wchar* text, uintptr_t tagKind,
                                           uintptr_t tagObject)
    : ActiveButton(parent, &parent->Controls(), id), tagKind_(tagKind), tagObject_(tagObject) {
  if (text) source_ = text;
  MakeText(source_, GetResourceServices().itemDescription);
}

MainScreenTextButton::~MainScreenTextButton() { delete text_; }

void MainScreenTextButton::MakeText(const std::u16string& text, KGETEXTCALLBACK tags) {
  delete text_;
  text_ = nullptr;
  KGETEXTPARAMS params{};
  params.flags = kKGEOwnCopy | kKGESingleLine | kKGEMarkup;
  params.maxChars = kMaxChars;
  params.context1 = tagKind_;
  params.context2 = tagObject_;
  KGESPRITEPARAMS box{};
  box.flags = kKGESpriteMaxSize;
  box.maxWidth = 0x400;
  box.maxHeight = 0x80;
  KGECreateTextSpriteW(GetGameViewer(), GetGameFont(kMainScreenFont), &params, &box, text.c_str(), kKGEWholeText,
                       tags, &text_);
}

i32 MainScreenTextButton::GetTextWidth() const { return text_ ? text_->GetWidth() : 0; }
i32 MainScreenTextButton::GetTextHeight() const { return text_ ? text_->GetHeight() : 0; }

void MainScreenTextButton::FitWidth(i32 width, float smallest, const std::u16string& name) {
  const auto fit = [&] {
    const i32 w = GetTextWidth();
    return w > width && width > 0 ? static_cast<float>(width) / static_cast<float>(w) : 1.0f;
  };
  scale_ = fit();
  if (scale_ >= smallest || name.empty() || !text_) return;
  // Too long even at the smallest size: the text with its tags written out,
  // the name in it cut a letter at a time until it fits.
  const wchar* expanded = nullptr;
  u32 length = 0;
  if (GetTextServices().layout.ExpandNames(source_.c_str(), static_cast<u32>(source_.size()), kMaxChars,
                                           GetResourceServices().itemDescription, tagKind_, tagObject_, &expanded,
                                           &length) < 0)
    return;
  const std::u16string whole(expanded, length);
  const size_t at = whole.rfind(name);
  if (at == std::u16string::npos) return;
  for (size_t keep = name.size() - 1; keep >= 1; --keep) {
    MakeText(whole.substr(0, at) + name.substr(0, keep) + u"..." + whole.substr(at + name.size()), nullptr);
    scale_ = fit();
    if (scale_ >= smallest) return;
  }
}

// The face (made smaller about its line's middle when it must fit); hovered,
// once more added over it, faintly.
void MainScreenTextButton::Draw() {
  DXLViewer* viewer = GetGameViewer();
  if (!viewer || !text_) return;
  DXLMATRIX saved{};
  viewer->GetTransform(&saved);
  viewer->Translate(faceX_, faceY_);
  if (scale_ != 1.0f) {
    viewer->Translate(0.0f, static_cast<float>(GetTextHeight()) * (1.0f - scale_) / 2.0f);
    viewer->Scale(scale_);
  }
  UnbindDrawTexture();
  text_->Draw();
  if ((state_.GetState() & kStateBaseMask) >= kStateHover) {
    viewer->SetBlendMode(kBlendAdd);
    text_->SetColor(kHoverGlow);
    text_->Draw();
    viewer->SetBlendMode(kBlendAlpha);
    text_->SetColor(0xFFFFFFFFu);
  }
  viewer->SetTransform(&saved);
}

MainScreenMenu::MainScreenMenu(MainScreen* screen, MainScreenHost* host)
    : SpritesWindow(kMainScreenMenuId, false, false), screen_(screen), host_(host) {
  // One board: the greeting's band over the four buttons, so that the
  // menu of an 800 x 600 screen ends at its bottom.
  const i32 width = kButtonWidth + 2 * kButtonX;
  AddFrame(0, 0, width, kButtonTop + 3 * kButtonStep + kButtonHeight + 8, SkinOf(skins::kMenuBody, kInterfaceImage));
  const u32 commands[] = {kMainScreenEasy, kMainScreenHard, kMainScreenOptions, kMainScreenQuit};
  const wchar* keys[] = {u"easy", u"hard", u"options", u"quit"};
  const i32 top = kButtonTop;
  for (u32 i = 0; i < 4; ++i)
    buttons_[i] = CreateButton(this, &Controls(), commands[i], kButtonX, top + static_cast<i32>(i) * kButtonStep,
                               nullptr, kButtonWidth, MainScreenText(keys[i]));
  for (u32 i = 0; i < 2; ++i)
    if (buttons_[i]) buttons_[i]->SetState(kStateHidden, true, 0);
  lock_ = GetSpriteByName(1, u"lock");
  chain_ = GetSpriteByName(1, u"lock_chain");
  credits_ = new MainScreenTextButton(this, kMainScreenCredits, MainScreenText(u"credits"), 0, 0);
  Arrange();
  Refresh();
}

MainScreenMenu::~MainScreenMenu() = default;

ImageButton* MainScreenMenu::GetButton(u32 command) const {
  for (ImageButton* b : buttons_)
    if (b && b->GetId() == command) return b;
  return nullptr;
}

bool MainScreenMenu::IsLocked() const { return buttons_[1] && !buttons_[1]->IsEnabled(); }

void MainScreenMenu::GetDefaultPos(i32* x, i32* y) const {
  const MainScreen::TitleLayout& t = screen_->GetTitle();
  *x = t.menuAxis - 141;
  *y = t.menuTop;
}

// The window at its place, the credits button at (20, h - 52) of the screen.
void MainScreenMenu::Arrange() {
  Show(0, false);
  const i32 h = GetResourceServices().screen.height;
  if (credits_) {
    const i32 x = 20 - x_, y = h - 52 - y_;
    credits_->SetRect(DXLRECT{x, y, x + credits_->GetTextWidth() + 8, y + credits_->GetTextHeight() + 8});
    credits_->SetFacePosition(static_cast<float>(x + 4), static_cast<float>(y + 4));
  }
}

// A new screen size: the scene fitted and the title laid out again first.
void MainScreenMenu::OnScreenResize() {
  screen_->Refit();
  Arrange();
}

void MainScreenMenu::Refresh() {
  delete greeting_;
  greeting_ = nullptr;
  greetingKey_ = nullptr;
  Profile* profile = host_ ? host_->GetCurrentProfile() : nullptr;
  ImageButton* easy = buttons_[0];
  ImageButton* hard = buttons_[1];
  if (easy) easy->SetState(profile ? kStateNormal : kStateHidden, true, 0);
  if (!profile) {
    // No one to play the hard regime for: "hard" is off (under its lock)
    // like "easy", not left as the last profile had it.
    if (hard) hard->SetState(kStateHidden, true, 0);
    return;
  }
  const wchar* key = profile->GetHeader().openCount < 2 ? u"welcom" : u"hello";
  greetingKey_ = key;
  greeting_ = new MainScreenTextButton(this, kMainScreenProfiles, MainScreenText(key), kItemTagProfile,
                                       reinterpret_cast<uintptr_t>(static_cast<MapProfile*>(profile)));
  const i32 y = 8, width = GetWidth() - 32, th = greeting_->GetTextHeight();
  const i32 top = y + 32 - th / 2;
  // The button is the board's band above the buttons, between the frame's
  // rims; the text stands centred on the band, as the buttons below do,
  // with the board's dark wood free beside it on either side.
  const DXLRECT at{14 - 2, top - 2, 14 + width + 2, top + th + 2};
  greeting_->SetRect(at);
  const i32 left = at.left + kBoardRim + kGreetingMargin, right = at.right - kBoardRim - kGreetingMargin;
  // The band holds one line: two would reach the "easy" button. A greeting
  // wider than the band (a long name) is drawn smaller, the name whole, down
  // to the smallest size that still reads; past that the name is cut short.
  greeting_->FitWidth(right - left, kGreetingSmallest, profile->GetName());
  const float drawn = static_cast<float>(greeting_->GetTextWidth()) * greeting_->GetScale();
  greeting_->SetFacePosition(std::floor((static_cast<float>(left + right) - drawn) / 2.0f + 0.5f),
                             static_cast<float>(at.top));
  if (!hard) return;
  if (profile->GetProgress().eighthLevel == 0) {
    hard->SetState(kStateHidden, true, 0);
    if (!hard->GetHintWindow())
      new CaptionHintWindow(hard, nullptr, false, MainScreenText(u"hard_hint"), 0, 0, nullptr, 1, 0, 0);
  } else {
    hard->SetState(kStateNormal, true, 0);
    delete hard->GetHintWindow();
  }
}

// The credits button stands outside the frame and still takes the pointer.
bool MainScreenMenu::HitTest(i32 x, i32 y) const {
  if (SpritesWindow::HitTest(x, y)) return true;
  return credits_ && credits_->HitTest(x - x_, y - y_);
}

u32 MainScreenMenu::OnCommand(GameButton* control) {
  if (!control || !host_) return 0;
  Profile* profile = host_->GetCurrentProfile();
  switch (control->GetId()) {
    case kMainScreenEasy:
      if (!profile) return 1;
      if (profile->CountFinished(0) == 0 && host_->StartOpeningComic()) return 1;
      profile->SetRegime(0);
      host_->ChangeScreen(kMainScreenMapState);
      return 1;
    case kMainScreenHard:
      if (!profile) return 1;
      profile->SetRegime(1);
      host_->ChangeScreen(kMainScreenMapState);
      return 1;
    case kMainScreenOptions: new OptionsWindow(host_->GetOptionsHooks()); return 1;
    case kMainScreenQuit: host_->CloseGame(); return 1;
    case kMainScreenCredits: new CreditsWindow(); return 1;
    case kMainScreenProfiles:
      if (ProfileRoster* roster = host_->GetRoster()) {
        MainScreen* screen = screen_;
        const auto refresh = [screen] { screen->RefreshMenu(); };
        new ProfilesWindow(roster, refresh, refresh, refresh);
      }
      return 1;
    default: return 0;
  }
}

// Over the window, while "hard" is locked: the chain and the padlock on it.
void MainScreenMenu::DrawForeground() {
  SpritesWindow::DrawForeground();
  if (!IsLocked()) return;
  if (DXLViewer* viewer = GetGameViewer()) {
    viewer->SetTransform(&transform_);
    viewer->ApplyTransform(nullptr);
  }
  if (chain_) {
    SPRITEDRAWITEM item{};
    chain_->MakeDrawItemAt(&item, 0, kChainX, kChainY, nullptr, 0xFFFFFFFFu, false, 0);
    if (item.texture) {
      BindDrawTexture(item.texture);
      DrawQuad(&item.quad);
    }
  }
  if (lock_ && lock_->GetFrameCount() > 0) {
    // The padlock's gleam runs by the screen's clock, 90 ms a frame.
    const i32 frame = static_cast<i32>(screen_->GetTotalTime() / 90 % static_cast<u32>(lock_->GetFrameCount()));
    SPRITEDRAWITEM item{};
    lock_->MakeDrawItemAt(&item, frame, kLockX, kLockY, nullptr, 0xFFFFFFFFu, false, 0);
    if (item.texture) {
      BindDrawTexture(item.texture);
      DrawQuad(&item.quad);
    }
  }
}

// --- The screen -----------------------------------------------------------------------------------------

MainScreen::Fit MainScreen::FitScreen(i32 w, i32 h) {
  Fit f{0, 0, static_cast<float>(h) / 800.0f};
  if (h == 768) {
    f.scale = 1.0f;
    f.offsetY = -16.0f;
  }
  if (std::ceil(1280.0f * f.scale) < static_cast<float>(w)) f.scale = static_cast<float>(w) / 1280.0f;
  f.offsetX += static_cast<float>(w) / 2.0f;
  f.offsetY += static_cast<float>(h) / 2.0f;
  return f;
}

MainScreen::TitleLayout MainScreen::LayOutTitle(i32 w, i32 h, float scale, i32 t, i32 d) {
  i32 limit = h - 16;
  float f = scale;
  const bool tight = t + 264 > limit;
  if (tight) {
    limit = h - 8;
    f = std::min(1.0f, static_cast<float>(h - 8 - t) / 256.0f);
  }
  const i32 s = static_cast<i32>(std::floor(256.0f * f + 0.5f));
  const i32 g = tight ? 0 : 8;
  i32 top = 8, gap = g;
  if (s + g + t < limit) {
    const i32 r = limit - (s + t);
    gap = r / 5;
    top = (r - r / 5) / 2;
  }
  TitleLayout out{};
  out.menuAxis = std::min(static_cast<i32>(std::floor(static_cast<float>(h) * 1.52f + 0.5f)), w) -
                 static_cast<i32>(std::floor(256.0f * scale + 0.5f)) - 20;
  const i32 width = static_cast<i32>(std::floor(512.0f * f + 0.5f));
  out.title = DXLRECT{out.menuAxis + d - s, top, width, s};
  out.menuTop = top + s + gap;
  return out;
}

MainScreen::MainScreen(const MainScreenLayers* records, MainScreenHost* host) : records_(records), host_(host) {}

MainScreen::~MainScreen() { Leave(); }

void MainScreen::Enter() {
  Leave();
  if (records_) {
    for (const MAINSCREENLAYERINFO& r : records_->Layers()) {
      switch (r.kind) {
        case kMainScreenGirl: girl_ = new MainScreenGirl(this, &r); break;
        case kMainScreenLight: new MainScreenLight(this, &r); break;
        case kMainScreenParticles: new MainScreenParticles(this, &r); break;
        default: new MainScreenLayer(this, &r); break;
      }
    }
  }
  const GameLanguage* language = GetGameLanguage();
  titleTexture_ = language ? language->GetLogo().image : nullptr;
  if (titleTexture_ && !titleTexture_->IsReady()) titleTexture_->Load();
  total_ = accumulator_ = frames_ = 0;
  swayX_ = swayY_ = zoomSway_ = 0;
  swayFromX_ = swayFromY_ = swayToX_ = swayToY_ = 0;
  zoomFrom_ = zoomTo_ = 0;
  swayPeriod_ = swayElapsed_ = zoomPeriod_ = zoomElapsed_ = 0;
  overWindow_ = false;
  overChanged_ = 0;
  Arrange();
  entered_ = true;
  if (!menu_) menu_ = new MainScreenMenu(this, host_);
  if (host_ && !host_->GetCurrentProfile() && host_->GetProfileCount() == 0 && host_->GetRoster()) {
    std::u16string name = host_->GetUserName();
    if (name.size() > 16) name.resize(16);
    MainScreenHost* host = host_;
    new NewProfileWindow(
        host_->GetRoster(), name.c_str(), false,
        [this, host](MapProfile* made) {
          host->SelectProfile(made);
          RefreshMenu();
        },
        200);
  }
  preRun_ = static_cast<u32>(kis::RandomRange(100, 200));
  for (u32 i = 0; i < preRun_; ++i) Update(kMaxFrames * MainScreenFrameMs());
  GetSoundSettings().PlayMusic(u"main_theme", true);
}

void MainScreen::Leave() {
  layers_.clear();
  girl_ = nullptr;
  delete menu_;
  menu_ = nullptr;
  entered_ = false;
}

// The fit, the title's quad and the menu for the screen; the window manager
// told of the size.
void MainScreen::Arrange() {
  Refit();
  if (menu_) menu_->Arrange();
  if (WindowManager* windows = GetWindowManager()) windows->OnScreenResize();
}

void MainScreen::Refit() {
  const GAMESCREENAREA& s = GetResourceServices().screen;
  fit_ = FitScreen(s.width, s.height);
  const GameLanguage* language = GetGameLanguage();
  const i32 d = language ? language->GetLogo().x : 0;
  title_ = LayOutTitle(s.width, s.height, fit_.scale, titleTexture_ ? titleTexture_->GetHeight() : 0, d);
  const DXLRECT dest{title_.title.left, title_.title.top, title_.title.left + title_.title.right,
                     title_.title.top + title_.title.bottom};
  titleQuad_ = DXLQUAD{};
  if (titleTexture_ && titleTexture_->IsReady()) {
    titleTexture_->MakeQuadStretched(&titleQuad_, dest, 0xFFFFFFFFu, false, false);
  } else {
    const float l = static_cast<float>(dest.left), t = static_cast<float>(dest.top);
    const float r = static_cast<float>(dest.right), b = static_cast<float>(dest.bottom);
    const float xs[4] = {l, r, r, l}, ys[4] = {t, t, b, b};
    for (u32 i = 0; i < 4; ++i) titleQuad_.v[i] = DXLVERTEX{xs[i], ys[i], 0.0f, 0xFFFFFFFFu, 0.0f, 0.0f};
  }
}

void MainScreen::UpdateSway(u32 ms) {
  swayElapsed_ += ms;
  while (swayElapsed_ >= swayPeriod_) {
    swayElapsed_ -= swayPeriod_;
    swayPeriod_ = kSwayPeriod;
    swayFromX_ = swayToX_;
    swayFromY_ = swayToY_;
    swayToX_ = swayFromX_ < 0 ? kSwayReach : -kSwayReach;
    swayToY_ = 0;
  }
  float e = SwayEase(static_cast<float>(swayElapsed_) / static_cast<float>(swayPeriod_));
  swayX_ = swayFromX_ + (swayToX_ - swayFromX_) * e;
  swayY_ = swayFromY_ + (swayToY_ - swayFromY_) * e;
  zoomElapsed_ += ms;
  while (zoomElapsed_ >= zoomPeriod_) {
    zoomElapsed_ -= zoomPeriod_;
    zoomPeriod_ = kZoomPeriod;
    zoomFrom_ = zoomTo_;
    zoomTo_ = zoomFrom_ < 0 ? kZoomReach : -kZoomReach;
  }
  e = SwayEase(static_cast<float>(zoomElapsed_) / static_cast<float>(zoomPeriod_));
  zoomSway_ = zoomFrom_ + (zoomTo_ - zoomFrom_) * e;
}

void MainScreen::Update(u32 ms) {
  if (ms == 0) return;
  UpdateSway(ms);
  const u32 frame = MainScreenFrameMs();
  accumulator_ = std::min(accumulator_ + ms, kMaxFrames * frame);
  frames_ = accumulator_ / frame;
  accumulator_ -= frames_ * frame;
  total_ += frames_ * frame;
  if (frames_ == 0) return;
  for (const auto& layer : layers_) layer->Update(frames_ * frame);
}

void MainScreen::Draw() {
  DXLViewer* viewer = GetGameViewer();
  if (!viewer) return;
  DXLMATRIX screen{};
  viewer->GetTransform(&screen);
  viewer->Translate(fit_.offsetX, fit_.offsetY);
  viewer->Scale(fit_.scale);
  viewer->GetTransform(&scene_);
  // Rows that layers in front fill with opaque pixels down to the target's
  // bottom are left out of the layers behind them: the same pixels, less
  // drawing (the sky under the farm and the meadow).
  const DXLDEVICESETTINGS* settings = viewer->GetSettings();
  const i32 w = settings ? static_cast<i32>(settings->present.backBufferWidth) : 0;
  const i32 h = settings ? static_cast<i32>(settings->present.backBufferHeight) : 0;
  const size_t count = layers_.size();
  std::vector<MainScreenRows>& covered = covered_;
  covered.assign(count, MainScreenRows{0, -1});
  for (size_t k = 0; k < count && leaveCovered_ && w > 0 && h > 0; ++k) {
    viewer->SetTransform(&scene_);
    layers_[k]->ApplyParallax();
    covered[k] = layers_[k]->CoveredRows(viewer->CurrentTransform(), w, h);
  }
  // The layers are drawn from the last to the first; cut[k]: the first row
  // of the run down to the bottom that the layers before k (drawn after it) fill.
  std::vector<i32>& cut = cut_;
  cut.assign(count, h);
  i32 from = h;
  for (size_t k = 0; k < count; ++k) {
    cut[k] = from;
    for (bool grew = true; grew;) {
      grew = false;
      for (size_t j = 0; j <= k; ++j) {
        if (covered[j].first <= covered[j].last && covered[j].last + 1 >= from && covered[j].first < from) {
          from = covered[j].first;
          grew = true;
        }
      }
    }
  }
  // The frame is cleared only above the rows the layers fill (all of it
  // where they fill none down to the bottom).
  if (w <= 0 || h <= 0) {
    viewer->Clear(0xFF000000u);
  } else if (from > 0) {
    viewer->PushClip(DXLRECT{0, 0, w, from});
    viewer->Clear(0xFF000000u);
    viewer->PopClip();
  }
  rowsLeftOut_ = 0;
  for (size_t k = count; k-- > 0;) {
    viewer->SetTransform(&scene_);
    layers_[k]->ApplyParallax();
    const bool clip = cut[k] < h;
    rowsLeftOut_ += clip ? static_cast<u32>(h - cut[k]) : 0;
    if (clip) viewer->PushClip(DXLRECT{0, 0, w, cut[k]});
    layers_[k]->Draw();
    if (clip) viewer->PopClip();
  }
  viewer->SetTransform(&screen);
  viewer->ApplyTransform(nullptr);
  if (titleTexture_ && titleTexture_->IsReady()) {
    BindDrawTexture(titleTexture_);
  } else {
    UnbindDrawTexture();
    viewer->SetTexture(nullptr);
    viewer->SetBlendMode(kBlendNone);
  }
  viewer->DrawQuad(&titleQuad_);
  viewer->SetBlendMode(kBlendAlpha);
  if (WindowManager* windows = GetWindowManager()) windows->Draw();
}

void MainScreen::RefreshMenu() {
  if (menu_) menu_->Refresh();
}

void MainScreen::TrackPointer(bool overWindow, u32 now) {
  if (overWindow == overWindow_ || now - overChanged_ < kSmileGap) return;
  overWindow_ = overWindow;
  overChanged_ = now;
  if (!girl_) return;
  if (overWindow) girl_->StartSmile(MainScreenGirl::kEndless);
  else girl_->EndSmile();
}

bool MainScreen::OnMouseDown(i32 x, i32 y, u32 button, u32 keys) {
  WindowManager* w = GetWindowManager();
  return w && w->OnMouseDown(x, y, button, keys);
}
bool MainScreen::OnMouseUp(i32 x, i32 y, u32 button, u32 keys) {
  WindowManager* w = GetWindowManager();
  return w && w->OnMouseUp(x, y, button, keys);
}
bool MainScreen::OnMouseMove(i32 x, i32 y, u32 buttons, u32 keys) {
  WindowManager* w = GetWindowManager();
  const bool over = w && w->OnMouseMove(x, y, buttons, keys);
  TrackPointer(over, kis::GetTimeMs());
  return over;
}
bool MainScreen::OnDoubleClick(i32 x, i32 y, u32 button) {
  WindowManager* w = GetWindowManager();
  return w && w->OnDoubleClick(x, y, button);
}
bool MainScreen::OnMouseWheel(i32 x, i32 y, i32 delta) {
  WindowManager* w = GetWindowManager();
  return w && w->OnMouseWheel(x, y, delta, 0, 0);
}
bool MainScreen::OnKeyDown(u16 key, u32 keys) {
  WindowManager* w = GetWindowManager();
  if (w && w->OnKeyDown(key, keys)) return true;
  if (key == 27 && host_) host_->CloseGame();
  return false;
}
bool MainScreen::OnKeyUp(u16 key, u32 keys) {
  WindowManager* w = GetWindowManager();
  return w && w->OnKeyUp(key, keys);
}
bool MainScreen::OnChar(u16 character) {
  WindowManager* w = GetWindowManager();
  return w && w->OnChar(character, 0);
}
