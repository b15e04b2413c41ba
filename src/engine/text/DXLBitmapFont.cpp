#include "engine/text/DXLBitmapFont.h"

#include <algorithm>
#include <string>
#include <vector>

#include "base/Path.h"
#include "engine/DXLTexture.h"
#include "engine/DXLTextures.h"
#include "engine/text/DXLCharList.h"
#include "platform/encoding/CodePage.h"
#include "platform/encoding/Utf.h"

namespace {

constexpr i32 kMaxTextureLookupName = 64;

// Texts of the ini file as wide text: the wide twin as it stands, the 8-bit
// twin through the ANSI code page (its file name is UTF-8).
std::u16string ToWide(const wchar* text) { return std::u16string(text); }
std::u16string ToWide(const char* text) {
  std::u16string out;
  if (!plat::MultiByteToWide(plat::GetAnsiCodePage(), text, out)) out.clear();
  return out;
}
std::u16string PathToWide(const wchar* path) { return std::u16string(path); }
std::u16string PathToWide(const char* path) { return plat::Utf8ToUtf16(path); }

u8 ClampByte(i32 v) { return static_cast<u8>(std::clamp(v, 0, 255)); }

}  // namespace

template <class Ch>
DXLBitmapFontT<Ch>::DXLBitmapFontT(DXLTextures* textures) : textures_(textures) {}

template <class Ch>
DXLBitmapFontT<Ch>::~DXLBitmapFontT() {
  if (this->texture_) this->texture_->RemoveListener(this);
  this->texture_ = nullptr;
}

template <class Ch>
void DXLBitmapFontT<Ch>::Notify(DXLNotifyObject* sender, u32 code) {
  if (!this->texture_ || sender != static_cast<DXLNotifyObject*>(this->texture_)) return;
  if (code == kNotifyDestroyed) this->texture_ = nullptr;
  this->Changed(this);
}

template <class Ch>
void DXLBitmapFontT<Ch>::SetTexture(DXLTexture* texture) {
  if (texture == this->texture_) return;
  if (this->texture_) this->texture_->RemoveListener(this);
  this->texture_ = texture;
  if (texture) texture->AddListener(this);
  this->Changed(this);
}

template <class Ch>
void DXLBitmapFontT<Ch>::AssignBitmap(const DXLBitmapFontT& other) {
  this->BeginUpdate();
  this->Assign(other);
  SetTexture(other.texture_);
  this->SetVSkip(other.vSkip_);
  this->SetHSkip(other.hSkip_);
  this->EndUpdate();
}

// "ImageName" names a texture already in the list; otherwise "ImageFile" is
// a picture beside the ini file, found in the list by its bare name or added
// to it with the file as its source.
template <class Ch>
void DXLBitmapFontT<Ch>::LoadImage(kis::CustomIniFileT<Ch>* ini, const Ch* section) {
  if (!textures_) return;
  Ch value[kMaxImageName + 1];
  if (ini->ReadString(section, DXLKeyName<Ch>("ImageName"), nullptr, value, kMaxImageName + 1) > 0) {
    SetTexture(textures_->FindTextureI(ToWide(value).c_str()));
    return;
  }
  if (ini->ReadString(section, DXLKeyName<Ch>("ImageFile"), nullptr, value, kMaxImageName + 1) <= 0) return;
  const std::u16string file = ToWide(value);
  const std::u16string base = PathToWide(ini->GetPath());
  wchar path[kMaxImageName + 1];
  kis::MakeAbsolutePathW(path, kMaxImageName + 1, file.c_str(), base.c_str(), u"");
  // The lookup name is cut to what a texture's name holds, so the texture
  // made here is found again by the next font of the same picture.
  wchar name[kMaxTextureLookupName + 1];
  kis::ExtractFileNameW(name, DXLTexture::kNameSize, path, false);
  DXLTexture* texture = textures_->FindTextureI(name);
  if (!texture) {
    texture = textures_->NewTexture();
    texture->SetName(name);
    texture->SetFileName(path, true);
    texture->SetImageFilter(1);
    DXLDRAWSTATE state;
    DXLMakeSimpleDrawState(&state, 1, 3, 1, 4);
    texture->SetDrawState(state);
  }
  SetTexture(texture);
}

template <class Ch>
template <class Fn>
void DXLBitmapFontT<Ch>::ReadNumbered(kis::CustomIniFileT<Ch>* ini, const Ch* section, const char* key, i32 size,
                                      Fn&& use, bool firstDefaultsEmpty) {
  std::vector<Ch> value(static_cast<size_t>(size) + 1);
  const std::string first(key);
  for (i32 n = 1;; ++n) {
    const std::string name = n == 1 ? first : first + std::to_string(n);
    const DXLKeyName<Ch> k(name.c_str());
    value[0] = 0;
    if (!ini->KeyExists(section, k)) {
      if (n > 1 || !firstDefaultsEmpty) return;
    } else {
      ini->ReadString(section, k, nullptr, value.data(), size + 1);
    }
    use(value.data());
  }
}

template <class Ch>
void DXLBitmapFontT<Ch>::ReadDescription(kis::CustomIniFileT<Ch>* ini, bool loadImage, bool loadNow) {
  const DXLKeyName<Ch> section("BitmapFont");
  if (!ini || !ini->SectionExists(section)) return;
  this->BeginUpdate();
  if (loadImage) LoadImage(ini, section);
  if (loadNow && this->texture_ && !this->texture_->IsReady()) this->texture_->Load();
  this->ReadCommonKeys(ini, section);

  // The characters in picture order. "Chars" is always read (empty when it
  // is missing), so a description without it leaves the font with no
  // glyphs but those of "Chars2" and on; a malformed list changes nothing.
  u32 nextIndex = 0;
  std::vector<Ch> codes;
  bool firstList = true;
  ReadNumbered(ini, section, "Chars", kMaxChars, [&](const Ch* value) {
    if (!DXLParseCharList<Ch>(value, 0, 0, &codes, nullptr)) {
      firstList = false;
      return;
    }
    if (firstList) {
      this->RemoveGlyphs(1, DXLFontT<Ch>::kCodes - 1);
      nextIndex = 0;
      firstList = false;
    }
    codes.push_back(0);
    this->AddGlyphs(codes.data(), nextIndex, true);
    nextIndex += static_cast<u32>(codes.size() - 1);
  }, true);

  this->SetEmptyWidth(ClampByte(ini->ReadInt(section, DXLKeyName<Ch>("EmptyCharWidth"), 0)));
  this->SetDescent(static_cast<i16>(std::clamp(ini->ReadInt(section, DXLKeyName<Ch>("Descent"), 0), -32768, 32767)));
  this->SetHeight(ClampByte(ini->ReadInt(section, DXLKeyName<Ch>("CharHeight"), 0)));
  // SetHeight leaves the descent alone when the height does not change (a
  // font read again, or one without "CharHeight", whose height stays 0): the
  // description's descent is held to the height here in every case.
  if (this->GetDescent() > this->GetHeight()) this->SetDescent(this->GetHeight());
  if (ini->KeyExists(section, DXLKeyName<Ch>("CharWidth")))
    this->SetAllWidths(ClampByte(ini->ReadInt(section, DXLKeyName<Ch>("CharWidth"), 0)));
  this->SetSpace(static_cast<u16>(std::clamp(ini->ReadInt(section, DXLKeyName<Ch>("Space"), 0), 0, 65535)));
  if (ini->KeyExists(section, DXLKeyName<Ch>("Skip"))) {
    i32 h = 0;
    i32 v = 0;
    ini->ReadValues(section, DXLKeyName<Ch>("Skip"), DXLKeyName<Ch>("i4,i4"), 0, 2, &h, &v);
    this->SetHSkip(ClampByte(h));
    this->SetVSkip(ClampByte(v));
  } else {
    this->SetHSkip(ClampByte(ini->ReadInt(section, DXLKeyName<Ch>("HSkip"), 0)));
    this->SetVSkip(ClampByte(ini->ReadInt(section, DXLKeyName<Ch>("VSkip"), 0)));
  }
  if (ini->KeyExists(section, DXLKeyName<Ch>("CustomWidth"))) customWidth_ = 1;
  ReadNumbered(ini, section, "CustomWidth", kMaxCustomValue, [&](const Ch* value) { this->ParseCustomWidths(value); });
  ReadNumbered(ini, section, "CustomSpaces", kMaxCustomValue,
               [&](const Ch* value) { this->ParseCustomSpaces(value); });
  this->EndUpdate();
}

template class DXLBitmapFontT<wchar>;
template class DXLBitmapFontT<char>;
