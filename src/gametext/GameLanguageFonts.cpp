// The language's fonts: bitmap fonts read from their description files, and
// from the cache with their pictures.
#include "gametext/GameLanguage.h"
#include "gametext/KGEBitmapFont.h"
#include "gametext/KGEFont.h"
#include "gametext/KGEFontData.h"
#include "gametext/TextServices.h"

KGEFont* GameLanguage::LoadFontFile(const wchar* path) {
  DXLTexture* picture = nullptr;
  KGEBitmapFont* font = nullptr;
  const i32 r = KGELoadBitmapFontFile(GetTextServices().languageViewer, &picture, nullptr, true, path, nullptr, &font);
  return r < 0 ? nullptr : font;
}

KGEFont* GameLanguage::ReadCachedFont(kis::BaseDataFileReader* file, DXLTexture* picture) {
  KGEBitmapFont* font = nullptr;
  const i32 r = KGELoadBitmapFont(GetTextServices().languageViewer, picture, file, &font);
  return r < 0 ? nullptr : font;
}

const wchar* GameLanguage::CachedFontPicture(KGEFont* font) {
  if (!font || font->GetSignature1() != kKGEBitmapFontSignature1 ||
      font->GetSignature2() != kKGEBitmapFontSignature2)
    return nullptr;
  const DXLTexture* picture = font->GetTexture();
  if (!picture || picture->GetSourceKind() != kTextureSourceFile) return nullptr;
  const wchar* file = picture->GetFileName();
  return file && file[0] ? file : nullptr;
}
