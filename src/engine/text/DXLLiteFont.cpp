#include "engine/text/DXLLiteFont.h"

#include "engine/DXLTexture.h"

template <class Ch>
DXLLiteFontT<Ch>::~DXLLiteFontT() {
  if (texture_) texture_->RemoveListener(this);
}

template <class Ch>
void DXLLiteFontT<Ch>::SetTexture(DXLTexture* texture) {
  if (texture == texture_) return;
  if (texture_) texture_->RemoveListener(this);
  texture_ = texture;
  if (texture_) texture_->AddListener(this);
}

template <class Ch>
void DXLLiteFontT<Ch>::Notify(DXLNotifyObject* sender, u32 code) {
  if (code != kNotifyDestroyed || !texture_ || sender != static_cast<DXLNotifyObject*>(texture_)) return;
  texture_ = nullptr;
  rebuild_ = 1;
}

template class DXLLiteFontT<wchar>;
template class DXLLiteFontT<char>;
