#include "gametext/KGEHandleRegistry.h"

#include "engine/DXLTexture.h"

KGEHandleRegistry::~KGEHandleRegistry() { Reset(); }

u32 KGEHandleRegistry::NextHandle() {
  // Skips 0 and any handle still in use after the counter wrapped.
  do {
    ++last_;
  } while (last_ == 0 || fonts_.count(last_) != 0 || textures_.count(last_) != 0);
  return last_;
}

void KGEHandleRegistry::Notify(DXLNotifyObject* sender, u32 code) {
  if (code != kNotifyDestroyed) return;
  for (const auto& [texture, handle] : textureHandles_) {
    if (static_cast<DXLNotifyObject*>(texture) == sender) {
      textures_.erase(handle);
      textureHandles_.erase(texture);
      return;
    }
  }
}

u32 KGEHandleRegistry::RegisterFont(KGEFont* font) {
  if (!font) return 0;
  const auto found = fontHandles_.find(font);
  if (found != fontHandles_.end()) return found->second;
  const u32 handle = NextHandle();
  fonts_[handle] = font;
  fontHandles_[font] = handle;
  return handle;
}

void KGEHandleRegistry::ForgetFont(KGEFont* font) {
  const auto found = fontHandles_.find(font);
  if (found == fontHandles_.end()) return;
  fonts_.erase(found->second);
  fontHandles_.erase(found);
}

KGEFont* KGEHandleRegistry::FindFont(u32 handle) const {
  const auto found = fonts_.find(handle);
  return found == fonts_.end() ? nullptr : found->second;
}

u32 KGEHandleRegistry::RegisterTexture(DXLTexture* texture) {
  if (!texture) return 0;
  const auto found = textureHandles_.find(texture);
  if (found != textureHandles_.end()) return found->second;
  const u32 handle = NextHandle();
  textures_[handle] = texture;
  textureHandles_[texture] = handle;
  texture->AddListener(this);
  return handle;
}

void KGEHandleRegistry::ForgetTexture(DXLTexture* texture) {
  const auto found = textureHandles_.find(texture);
  if (found == textureHandles_.end()) return;
  texture->RemoveListener(this);
  textures_.erase(found->second);
  textureHandles_.erase(found);
}

DXLTexture* KGEHandleRegistry::FindTexture(u32 handle) const {
  const auto found = textures_.find(handle);
  return found == textures_.end() ? nullptr : found->second;
}

void KGEHandleRegistry::Reset() {
  for (const auto& [texture, handle] : textureHandles_) texture->RemoveListener(this);
  fonts_.clear();
  fontHandles_.clear();
  textures_.clear();
  textureHandles_.clear();
}
