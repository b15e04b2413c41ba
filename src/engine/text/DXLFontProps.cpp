#include "engine/text/DXLFontProps.h"

template <class Ch>
void DXLFontPropsT<Ch>::SetFaceName(const Ch* face) {
  u32 i = 0;
  for (; face && face[i] != 0 && i + 1 < kFaceSize; ++i) faceName_[i] = face[i];
  faceName_[i] = 0;
  Changed(this);
}

template <class Ch>
void DXLFontPropsT<Ch>::Assign(const DXLFontPropsT& other) {
  BeginUpdate();
  SetFaceName(other.faceName_);
  style_ = other.style_;
  size_ = other.size_;
  color_ = other.color_;
  charSet_ = other.charSet_;
  pitchAndFamily_ = other.pitchAndFamily_;
  quality_ = other.quality_;
  EndUpdate();
}

template class DXLFontPropsT<wchar>;
template class DXLFontPropsT<char>;
