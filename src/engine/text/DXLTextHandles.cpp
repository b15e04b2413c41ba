#include "engine/text/DXLTextHandles.h"

#include <vector>

#include "engine/DXLTexture.h"
#include "engine/text/DXLFont.h"

DXLTextHandles::~DXLTextHandles() { Clear(); }

void DXLTextHandles::Reset() {
  Clear();
  next_ = 1;
}

void DXLTextHandles::Clear() {
  for (auto& [handle, entry] : entries_)
    if (entry.object) entry.object->RemoveListener(this);
  entries_.clear();
}

void DXLTextHandles::Notify(DXLNotifyObject* sender, u32 code) {
  if (code == kNotifyDestroyed) Forget(sender);
}

// Skips 0 and handles still in use after the counter wraps.
u32 DXLTextHandles::NextHandle() {
  for (;;) {
    const u32 h = next_++;
    if (h != 0 && entries_.find(h) == entries_.end()) return h;
  }
}

u32 DXLTextHandles::AddObject(Kind kind, DXLNotifyObject* object, void* typed) {
  if (!object) return 0;
  for (const auto& [handle, entry] : entries_)
    if (entry.kind == kind && entry.object == object) return handle;
  const u32 h = NextHandle();
  entries_.emplace(h, Entry{kind, object, typed, DXLQUAD{}});
  object->AddListener(this);
  return h;
}

u32 DXLTextHandles::AddFont(DXLFontT<wchar>* font) { return AddObject(kFontW, font, font); }
u32 DXLTextHandles::AddFont(DXLFontT<char>* font) { return AddObject(kFontA, font, font); }
u32 DXLTextHandles::AddTexture(DXLTexture* texture) { return AddObject(kTexture, texture, texture); }

u32 DXLTextHandles::AddQuad(const DXLQUAD& quad) {
  const u32 h = NextHandle();
  entries_.emplace(h, Entry{kQuad, nullptr, nullptr, quad});
  return h;
}

bool DXLTextHandles::SetQuad(u32 handle, const DXLQUAD& quad) {
  auto it = entries_.find(handle);
  if (it == entries_.end() || it->second.kind != kQuad) return false;
  it->second.quad = quad;
  return true;
}

void DXLTextHandles::Remove(u32 handle) {
  auto it = entries_.find(handle);
  if (it == entries_.end()) return;
  DXLNotifyObject* object = it->second.object;
  entries_.erase(it);
  if (!object) return;
  // Stay a listener while another handle of the object remains.
  for (const auto& [h, entry] : entries_)
    if (entry.object == object) return;
  object->RemoveListener(this);
}

void DXLTextHandles::Forget(const DXLNotifyObject* object) {
  if (!object) return;
  std::vector<u32> gone;
  for (const auto& [handle, entry] : entries_)
    if (entry.object == object) gone.push_back(handle);
  for (u32 h : gone) Remove(h);
}

template <>
DXLFontT<wchar>* DXLTextHandles::FindFont<wchar>(u32 handle) const {
  auto it = entries_.find(handle);
  return it != entries_.end() && it->second.kind == kFontW ? static_cast<DXLFontT<wchar>*>(it->second.typed)
                                                            : nullptr;
}

template <>
DXLFontT<char>* DXLTextHandles::FindFont<char>(u32 handle) const {
  auto it = entries_.find(handle);
  return it != entries_.end() && it->second.kind == kFontA ? static_cast<DXLFontT<char>*>(it->second.typed)
                                                            : nullptr;
}

DXLTexture* DXLTextHandles::FindTexture(u32 handle) const {
  auto it = entries_.find(handle);
  return it != entries_.end() && it->second.kind == kTexture ? static_cast<DXLTexture*>(it->second.typed)
                                                              : nullptr;
}

const DXLQUAD* DXLTextHandles::FindQuad(u32 handle) const {
  auto it = entries_.find(handle);
  return it != entries_.end() && it->second.kind == kQuad ? &it->second.quad : nullptr;
}
