#include "engine/DXLTextures.h"

#include "base/Strings.h"
#include "engine/DXLTexture.h"

DXLTextures::~DXLTextures() {
  DestroyAll();
  Clear();
}

DXLTexture* DXLTextures::NewTexture() { return new DXLTexture(this); }

i32 DXLTextures::Add(DXLTexture* texture) {
  if (!texture) return -1;
  if (texture->owner_ != this) {
    // SetOwner leaves the old list and comes back here as the owner.
    texture->SetOwner(this);
    return IndexOf(texture);
  }
  i32 at = IndexOf(texture);
  if (at < 0) {
    at = kis::list<DXLTexture*>::Add(texture);
    texture->SetViewer(viewer_);
  }
  return at;
}

void DXLTextures::Remove(DXLTexture* texture) {
  if (!texture) return;
  const i32 at = IndexOf(texture);
  if (at >= 0) Delete(at);
  if (texture->owner_ == this) texture->owner_ = nullptr;
}

void DXLTextures::DeleteAt(i32 index, bool destroy) {
  if (!destroy) return;
  delete Get(index);
}

void DXLTextures::DestroyAll() {
  for (i32 i = GetCount() - 1; i >= 0; --i) {
    DXLTexture* t = Get(i);
    if (t) {
      delete t;  // takes itself out
    } else {
      Delete(i);
    }
  }
}

DXLTexture* DXLTextures::FindTexture(const wchar* name) const {
  if (!name) return nullptr;
  for (i32 i = 0; i < GetCount(); ++i) {
    DXLTexture* t = Get(i);
    if (t && kis::StrCompare(t->GetName(), name) == 0) return t;
  }
  return nullptr;
}

DXLTexture* DXLTextures::FindTextureI(const wchar* name) const {
  if (!name) return nullptr;
  for (i32 i = 0; i < GetCount(); ++i) {
    DXLTexture* t = Get(i);
    if (t && kis::StrICompare(t->GetName(), name) == 0) return t;
  }
  return nullptr;
}

void DXLTextures::SetViewer(DXLViewer* viewer) {
  viewer_ = viewer;
  for (i32 i = 0; i < GetCount(); ++i) {
    if (DXLTexture* t = Get(i)) t->SetViewer(viewer);
  }
}
