// KGEHandleRegistry - the names that mark-up uses for fonts and images: a
// live font or texture is registered under a 32-bit handle, and a text's
// "<font=@h>" or "<image=@h>" finds it by that handle. A handle that is not
// registered (never was, or was forgotten) finds nothing, and the tag then
// stays plain text; no address is ever read out of a text.
//
// Handles start at 1, are never 0 and are not reused while the program runs.
// Registering the same object again gives its existing handle. A texture is
// forgotten by itself when it goes away (the registry listens to it); a font
// must be forgotten by its owner before it is deleted. The game's one registry
// is TextServices::handles (TextServices.h).
#pragma once

#include <unordered_map>

#include "base/Types.h"
#include "engine/DXLNotifyObject.h"

class DXLTexture;
class KGEFont;

class KGEHandleRegistry : public DXLNotifyObject {
 public:
  KGEHandleRegistry() = default;
  ~KGEHandleRegistry() override;

  void Notify(DXLNotifyObject* sender, u32 code) override;

  u32 RegisterFont(KGEFont* font);  // 0 for null
  void ForgetFont(KGEFont* font);
  KGEFont* FindFont(u32 handle) const;

  u32 RegisterTexture(DXLTexture* texture);  // 0 for null
  void ForgetTexture(DXLTexture* texture);
  DXLTexture* FindTexture(u32 handle) const;

  // Forgets everything (tests and shutdown).
  void Reset();

 private:
  u32 NextHandle();

  u32 last_ = 0;
  std::unordered_map<u32, KGEFont*> fonts_;
  std::unordered_map<KGEFont*, u32> fontHandles_;
  std::unordered_map<u32, DXLTexture*> textures_;
  std::unordered_map<DXLTexture*, u32> textureHandles_;
};
