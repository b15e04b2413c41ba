// The game's sections of the language cache: "game_params" (profile
// characters, logo place, window title), "images", "comix_p", "credits" and
// "fonts". Pointer words of the stored records are written as 0 and ignored
// on read; every count and size read is checked against the section.
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

#include "base/LittleEndian.h"
#include "base/datafile/DataFileReader.h"
#include "base/datafile/DataFileWriter.h"
#include "gametext/DXLLngRecords.h"
#include "gametext/GameLanguage.h"
#include "gametext/KGEFont.h"

namespace {

u32 SectionId(const wchar* name) { return kis::NameId(name); }

bool WriteI32(kis::BaseDataFileWriter* file, i32 v) { return LngWriteU32(file, static_cast<u32>(v)); }

u32 FloatBits(float f) {
  u32 u;
  std::memcpy(&u, &f, 4);
  return u;
}

float BitsFloat(u32 u) {
  float f;
  std::memcpy(&f, &u, 4);
  return f;
}

}  // namespace

u32 GameLanguage::WriteCache(kis::BaseDataFileWriter* file) {
  const u32 code = DXLLanguage::WriteCache(file);
  return code ? code : WriteCacheParams(file);
}

u32 GameLanguage::WriteCacheParams(kis::BaseDataFileWriter* file) {
  if (!file->BeginSection(SectionId(u"game_params"), 1)) return kGameCacheParamsBegin;
  if (!LngWriteString(file, profileChars_, profileChars_ ? profileCharsLength_ : 0)) return kGameCacheProfileChars;
  if (!LngWriteU32(file, 0) || !WriteI32(file, logo_.x) || !WriteI32(file, logo_.y)) return kGameCacheLogo;
  if (!LngWriteText(file, windowTitle_ ? windowTitle_ : defaultText_) || !file->EndSection())
    return kGameCacheTitle;

  if (!file->BeginSection(SectionId(u"images"), 1)) return kGameCacheImages;
  for (const wchar* name : {u"loading_logo", u"logo"}) {
    const DXLLngResource* r = FindResource(name);
    if (r && !WriteResource(file, r)) return kGameCacheImages;
  }
  if (!file->EndSection()) return kGameCacheImages;

  if (!file->BeginSection(SectionId(u"comix_p"), 1)) return kGameCacheComixBegin;
  if (!LngWriteU32(file, comix_.count)) return kGameCacheComixCount;
  for (u32 i = 0; i < comix_.count; ++i) {
    const COMIXTEXT* c = static_cast<const COMIXTEXT*>(comix_.data[i]);
    if (!LngWriteU32(file, 0) || !WriteI32(file, c->x) || !WriteI32(file, c->y) ||
        !LngWriteU32(file, FloatBits(c->scale)) || !LngWriteText(file, c->text))
      return kGameCacheComix;
  }
  if (!file->EndSection()) return kGameCacheComix;

  if (!file->BeginSection(SectionId(u"credits"), 1)) return kGameCacheCreditsBegin;
  if (!LngWriteU32(file, credits_.count)) return kGameCacheCreditsCount;
  for (u32 i = 0; i < credits_.count; ++i) {
    const CREDITITEM* c = static_cast<const CREDITITEM*>(credits_.data[i]);
    std::vector<u8> record(c->size, 0);
    kis::PutU32LE(&record[0], c->size);
    kis::PutU32LE(&record[4], c->kind);
    if (c->kind == kCreditText) {
      kis::PutU32LE(&record[8], c->length);
      for (u32 k = 0; k < c->length; ++k) kis::PutU16LE(&record[12 + 2 * k], c->text[k]);
    }
    if (!file->Write(record.data(), c->size)) return kGameCacheCredit;
    if (c->kind == kCreditImage && !WriteResource(file, FindResourceByTexture(c->image)))
      return kGameCacheCreditImage;
  }
  if (!file->EndSection()) return kGameCacheCreditImage;

  if (!file->BeginSection(SectionId(u"fonts"), 1)) return kGameCacheFontsBegin;
  for (KGEFont* font : fonts_) {
    const wchar* picture = CachedFontPicture(font);
    if (!picture || !LngWriteResource(file, u"font_image", 10, 1, picture) || KGESaveFont(file, font) != KGE_S_OK)
      return kGameCacheFont;
  }
  if (!file->EndSection()) return kGameCacheFont;
  return 0;
}

void GameLanguage::LoadCacheParams(kis::BaseDataFileReader* file) {
  missingComix_ = COMIXTEXT{defaultText_, 0, 0, 1.0f};
  if (!file->HasSection(SectionId(u"game_params"), 1) || !file->OpenSection(SectionId(u"game_params"), 1)) return;
  std::u16string chars;
  if (!LngReadString(file, 0xFFFFFFFFu, &chars)) return;
  const u32 count = static_cast<u32>(chars.size());
  if (count) {
    profileChars_ = static_cast<wchar*>(std::malloc(sizeof(wchar) * (size_t{count} + 1)));
    if (!profileChars_) return;
    std::memcpy(profileChars_, chars.data(), sizeof(wchar) * count);
    profileChars_[count] = 0;
    profileCharsLength_ = count;
  }
  u32 word = 0, x = 0, y = 0;
  if (LngReadU32(file, &word) && LngReadU32(file, &x) && LngReadU32(file, &y)) {
    logo_ = LOGOPLACE{nullptr, static_cast<i32>(x), static_cast<i32>(y)};
  } else {
    logo_ = LOGOPLACE{};
  }
  windowTitle_ = LngReadText(file);
  if (!windowTitle_) return;
  file->CloseSection();

  // A record that fails ends its section only: the logo takes what the
  // images gave, and the later sections are still read (a file that failed
  // outright answers no more reads, so nothing further is loaded then).
  if (file->HasSection(SectionId(u"images"), 1) && file->OpenSection(SectionId(u"images"), 1)) {
    while (LngBytesLeft(file) > 0 && ReadResource(file)) {
    }
    file->CloseSection();
  }
  logo_.image = GetImage(u"logo");

  if (file->HasSection(SectionId(u"fonts"), 1) && file->OpenSection(SectionId(u"fonts"), 1)) {
    ReadCachedFonts(file);
    file->CloseSection();
  }
  if (file->HasSection(SectionId(u"comix_p"), 1) && file->OpenSection(SectionId(u"comix_p"), 1)) {
    ReadCachedComix(file);
    file->CloseSection();
  }
  if (file->HasSection(SectionId(u"credits"), 1) && file->OpenSection(SectionId(u"credits"), 1)) {
    ReadCachedCredits(file);
    file->CloseSection();
  }
}

void GameLanguage::ReadCachedFonts(kis::BaseDataFileReader* file) {
  for (u32 i = 0; i < kGameFontCount; ++i) {
    DXLLngResource* picture = ReadResource(file);
    if (!picture) return;
    KGEFont* font = ReadCachedFont(file, &picture->texture);
    if (font) font->Acquire();
    fonts_[i] = font;
    if (!file->IsOk()) return;
  }
}

void GameLanguage::ReadCachedComix(kis::BaseDataFileReader* file) {
  u32 count = 0;
  if (!LngReadU32(file, &count)) return;
  for (u32 i = 0; i < count; ++i) {
    u32 word = 0, x = 0, y = 0, scale = 0;
    if (!LngReadU32(file, &word) || !LngReadU32(file, &x) || !LngReadU32(file, &y) || !LngReadU32(file, &scale))
      return;
    DXLLngText* text = LngReadText(file);
    if (!text) return;
    COMIXTEXT* c = new (std::nothrow) COMIXTEXT{text, static_cast<i32>(x), static_cast<i32>(y), BitsFloat(scale)};
    if (!c || !AppendItem(&comix_, c)) {
      FreeLngText(text);
      delete c;
      return;
    }
  }
}

// Credit records are checked before they are trusted: a text record's size
// must match its length, and its characters must end in the terminator
// within the record.
void GameLanguage::ReadCachedCredits(kis::BaseDataFileReader* file) {
  u32 count = 0;
  if (!LngReadU32(file, &count)) return;
  for (u32 i = 0; i < count; ++i) {
    u8 head[16];
    if (LngBytesLeft(file) < 16 || !file->Read(head, 16)) return;
    const u32 size = kis::GetU32LE(head);
    const u32 kind = kis::GetU32LE(head + 4);
    if (size < 16 || size - 16 > LngBytesLeft(file)) return;
    if (kind == kCreditText) {
      const u32 length = kis::GetU32LE(head + 8);
      const u64 expected = 14 + u64{length} * 2;
      if ((expected < 16 ? 16 : expected) != size) return;
      std::vector<u8> record(size);
      std::memcpy(record.data(), head, 16);
      if (size > 16 && !file->Read(record.data() + 16, size - 16)) return;
      if (kis::GetU16LE(&record[12 + 2 * size_t{length}]) != 0) return;
      std::u16string text(length, u'\0');
      for (u32 k = 0; k < length; ++k) text[k] = kis::GetU16LE(&record[12 + 2 * k]);
      if (!AppendCredit(MakeTextCredit(text.data(), length))) return;
    } else if (kind == kCreditImage) {
      if (size != 16) return;
      DXLLngResource* r = ReadResource(file);
      if (!r) return;
      if (!AppendCredit(MakeImageCredit(&r->texture))) return;
    } else {
      return;
    }
  }
}
