// The language's fonts: bitmap fonts read from their description files, and
// from the cache with their pictures.
#include "gametext/GameLanguage.h"
#include "gametext/KGEFont.h"

KGEFont* GameLanguage::LoadFontFile(const wchar* /*path*/) { return nullptr; }

KGEFont* GameLanguage::ReadCachedFont(kis::BaseDataFileReader* /*file*/, DXLTexture* /*picture*/) { return nullptr; }

const wchar* GameLanguage::CachedFontPicture(KGEFont* font) {
  if (!font || font->GetSignature1() != kKGEBitmapFontSignature1 ||
      font->GetSignature2() != kKGEBitmapFontSignature2)
    return nullptr;
  const DXLTexture* picture = font->GetTexture();
  if (!picture || picture->GetSourceKind() != kTextureSourceFile) return nullptr;
  const wchar* file = picture->GetFileName();
  return file && file[0] ? file : nullptr;
}
