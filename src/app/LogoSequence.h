// LogoSequence - the logos shown before the start-up loading, from the list
// file "Logos\Logos.txt": every attribute of the document's root is a row
// (whatever its name) "picture, background colour (hex), duration ms,
// optional not-skippable flag", the picture relative to the list's folder.
// Durations are clamped to 100..10000 ms; a row that does not read or whose
// picture does not load is dropped, so no logo is drawn from a missing
// texture. With no rows left the sequence is finished at once.
//
// Each logo fades in from black, stays and fades out (SEffect_Logo) over
// its duration plus 1000 ms, on the game clock; its picture is scaled by
// the game-area height / 800 and centred in the game area over its
// background colour. The logos move on in Draw, so a run that only draws
// frames goes through them all.
#pragma once

#include <memory>
#include <vector>

#include "base/Types.h"
#include "engine/DXLDrawTypes.h"
#include "engine/DXLTextures.h"

class SpriteEffectList;

constexpr u32 kLogoMinDuration = 100;
constexpr u32 kLogoMaxDuration = 10000;

struct GAMELOGO {
  DXLTexture* texture;  // owned by the sequence's texture list
  u32 background;       // RGB
  u32 duration;         // ms
  u32 notSkippable;
};

class LogoSequence {
 public:
  // Reads the list (a missing or unreadable file gives no logos); the
  // pictures are loaded on the game viewer.
  explicit LogoSequence(const wchar* listFile);
  ~LogoSequence();
  LogoSequence(const LogoSequence&) = delete;
  LogoSequence& operator=(const LogoSequence&) = delete;

  // Starts the next logo. A skip asked while a not-skippable logo runs does
  // nothing (false); past the last logo the sequence is finished (false).
  bool Next(bool skip);
  // Clears the screen to the logo's background and draws it, both faded by
  // the logo's alpha; starts the first logo, and the next one when the
  // current has ended. False once finished (nothing drawn).
  bool Draw();

  bool IsFinished() const { return finished_; }
  i32 GetIndex() const { return index_; }
  u32 GetCount() const { return static_cast<u32>(logos_.size()); }
  const GAMELOGO& GetLogo(u32 index) const { return logos_[index]; }
  // The current logo's alpha from its last step (0..255).
  u32 GetAlpha() const { return alpha_; }
  const DXLQUAD& GetQuad() const { return quad_; }

 private:
  std::unique_ptr<DXLTextures> textures_;
  std::vector<GAMELOGO> logos_;
  i32 index_ = -1;
  bool finished_ = false;
  SpriteEffectList* effects_ = nullptr;
  u32 alpha_ = 0;
  DXLQUAD quad_{};
};

// The logo state's calls: its render draws the frame (false once the logos
// are over: the start-up loading is next; nothing was drawn), and a press,
// double click or key skips the current logo when it may be skipped. A
// null sequence draws nothing.
bool DrawLogoFrame(LogoSequence* logos);
void SkipLogo(LogoSequence* logos);
