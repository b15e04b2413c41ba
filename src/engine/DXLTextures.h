// DXLTextures - a named list of textures that owns them, with the viewer
// every member is attached to. A texture belongs to at most one list; adding
// it to another moves it. Deleting a texture takes it out of its list.
#pragma once

#include "base/List.h"
#include "base/Types.h"

class DXLTexture;
class DXLViewer;

class DXLTextures : public kis::list<DXLTexture*> {
 public:
  explicit DXLTextures(DXLViewer* viewer = nullptr) : viewer_(viewer) {}
  ~DXLTextures() override;

  DXLTexture* NewTexture();  // a new texture of this list, which deletes it with itself
  // Appends the texture (moving it from another list) and attaches it to this
  // list's viewer; returns its index, -1 for null.
  i32 Add(DXLTexture* texture) override;
  // Takes the texture out of the list without deleting it.
  void Remove(DXLTexture* texture);
  DXLTexture* GetAt(i32 index) const { return Get(index); }
  // With `destroy` the texture is deleted (and so leaves the list); without
  // it nothing happens.
  void DeleteAt(i32 index, bool destroy);
  void DestroyAll();  // last to first
  DXLTexture* FindTexture(const wchar* name) const;   // exact
  DXLTexture* FindTextureI(const wchar* name) const;  // A-Z folded
  void SetViewer(DXLViewer* viewer);
  DXLViewer* GetViewer() const { return viewer_; }

 private:
  DXLViewer* viewer_;
};
