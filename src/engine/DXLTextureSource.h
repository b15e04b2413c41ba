// DXLTextureSource - interface of objects that fill a texture with pixels
// whenever it has to be built (after creation and after the device is made
// anew). Usually a second base next to the implementer's main base.
#pragma once

class DXLTexture;

class DXLTextureSource {
 public:
  DXLTextureSource() = default;
  DXLTextureSource(const DXLTextureSource&) = delete;
  DXLTextureSource& operator=(const DXLTextureSource&) = delete;
  virtual ~DXLTextureSource() = default;

  virtual void LoadTexture(DXLTexture* texture) = 0;
};
