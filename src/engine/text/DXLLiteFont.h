// DXLLiteFontW / DXLLiteFontA - a light font record that only follows its
// texture: when the texture goes away it forgets it and marks itself for a
// rebuild. Its two buffers belong to the owner's use; the record frees them.
#pragma once

#include <memory>

#include "base/Types.h"
#include "engine/DXLNotifyObject.h"

class DXLTexture;

template <class Ch>
class DXLLiteFontT : public DXLNotifyObject {
 public:
  DXLLiteFontT() = default;
  ~DXLLiteFontT() override;

  void Notify(DXLNotifyObject* sender, u32 code) override;

  void SetTexture(DXLTexture* texture);  // listens to it (and no longer to the previous one)
  DXLTexture* GetTexture() const { return texture_; }
  bool NeedsRebuild() const { return rebuild_ != 0; }
  void SetNeedsRebuild(bool on) { rebuild_ = on ? 1 : 0; }

  std::unique_ptr<u8[]> first;   // owner's data
  std::unique_ptr<u8[]> second;  // owner's data

 private:
  DXLTexture* texture_ = nullptr;
  u8 rebuild_ = 0;
};

using DXLLiteFontW = DXLLiteFontT<wchar>;
using DXLLiteFontA = DXLLiteFontT<char>;

extern template class DXLLiteFontT<wchar>;
extern template class DXLLiteFontT<char>;
