// GameLanguage - the game's one language object: the text tables of
// DXLLanguage plus the window title, the characters allowed in profile
// names, the four interface fonts, the loading logo and the menu logo with
// its place, the comic captions with their places and the credits list.
//
// Everything is loaded by the first Acquire, from a source file (text tree,
// or spreadsheet XML for an "xml" extension) or from the cache, and freed by
// the last Release. Missing parts are never errors: a missing font or image
// is null, a missing title is the default text, a comic caption that is not
// there is missingComix (the default text at 0, 0). The cache holds only a
// language whose four fonts are bitmap fonts loaded from picture files.
#pragma once

#include "base/List.h"
#include "base/Types.h"
#include "gametext/DXLLanguage.h"

class KGEFont;

// Results of the game's part of a cache write.
constexpr u32 kGameCacheParamsBegin = 100;
constexpr u32 kGameCacheProfileChars = 101;
constexpr u32 kGameCacheLogo = 102;
constexpr u32 kGameCacheTitle = 103;
constexpr u32 kGameCacheImages = 104;
constexpr u32 kGameCacheComixBegin = 105;
constexpr u32 kGameCacheComixCount = 106;
constexpr u32 kGameCacheComix = 107;
constexpr u32 kGameCacheCreditsBegin = 108;
constexpr u32 kGameCacheCreditsCount = 109;
constexpr u32 kGameCacheCredit = 110;
constexpr u32 kGameCacheCreditImage = 111;
constexpr u32 kGameCacheFontsBegin = 112;
constexpr u32 kGameCacheFont = 113;

constexpr u32 kGameFontCount = 4;

struct LOGOPLACE {
  DXLTexture* image;  // the "logo" resource's texture (not owned), or null
  i32 x;
  i32 y;
};

struct COMIXTEXT {
  DXLLngText* text;  // owned, except in missingComix (the default text)
  i32 x;
  i32 y;
  float scale;
};

// Credit kinds.
constexpr u32 kCreditText = 1;
constexpr u32 kCreditImage = 2;

// One line of the credits: a text, or an image of the language's resources.
struct CREDITITEM {
  u32 size;           // bytes of the stored record: 14 + 2 x length (at least 16), or 16
  u32 kind;
  DXLTexture* image;  // kind 2 (not owned)
  u32 length;         // kind 1: characters
  wchar* text;        // kind 1: into the same block, zero-terminated
};

class GameLanguage : public DXLLanguage {
 public:
  static constexpr const wchar* kDefaultProfileChars =
      u"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789 -";

  explicit GameLanguage(const wchar* path);
  ~GameLanguage() override;

  DXLLngFile* CreateReader(const wchar* path) override;
  void LoadSections(DXLLngFile* reader) override;
  void LoadCacheParams(kis::BaseDataFileReader* file) override;
  void FreeData() override;
  u32 WriteCache(kis::BaseDataFileWriter* file) override;

  const wchar* GetWindowTitle() const;
  using DXLLanguage::GetText;
  const wchar* GetText(const DXLLngTable* table, const wchar* key, bool fallback) const;
  const wchar* GetTextByName(const wchar* tableName, const wchar* key, bool fallback) const;
  const COMIXTEXT* FindComix(const wchar* name) const;

  KGEFont* GetFont(u32 i) const { return i < kGameFontCount ? fonts_[i] : nullptr; }
  const wchar* GetProfileChars() const { return profileChars_; }
  u32 GetProfileCharsLength() const { return profileCharsLength_; }
  const LOGOPLACE& GetLogo() const { return logo_; }
  u32 GetComixCount() const { return comix_.count; }
  const COMIXTEXT* GetComix(u32 i) const { return static_cast<const COMIXTEXT*>(comix_.Get(i)); }
  const COMIXTEXT& GetMissingComix() const { return missingComix_; }
  u32 GetCreditCount() const { return credits_.count; }
  const CREDITITEM* GetCredit(u32 i) const { return static_cast<const CREDITITEM*>(credits_.Get(i)); }
  const DXLLngText* GetWindowTitleText() const { return windowTitle_; }

 protected:
  void LoadTable(DXLLngFile* reader, const wchar* name);
  DXLTexture* LoadImage(DXLLngFile* reader, const wchar* name, u32 blendMode);
  DXLTexture* LoadImageFile(const wchar* name, const wchar* path, u32 blendMode);
  KGEFont* LoadFont(DXLLngFile* reader, const wchar* name);
  void LoadComix(DXLLngFile* reader);
  void LoadCredits(DXLLngFile* reader);
  u32 WriteCacheParams(kis::BaseDataFileWriter* file);

  // The font seam: a bitmap font from its description file, and one from a
  // cache record with its picture. Null when the font does not load; the
  // language keeps and deletes the fonts it loads (as those of LoadFont).
  KGEFont* LoadFontFile(const wchar* path);
  KGEFont* ReadCachedFont(kis::BaseDataFileReader* file, DXLTexture* picture);
  // True for a font the cache can hold: a bitmap font whose picture was
  // loaded from a file; the file is returned.
  static const wchar* CachedFontPicture(KGEFont* font);

  DXLLngText* windowTitle_ = nullptr;
  KGEFont* fonts_[kGameFontCount] = {};
  wchar* profileChars_ = nullptr;
  u32 profileCharsLength_ = 0;
  LOGOPLACE logo_ = {};
  kis::GrowBuffer comix_;
  mutable COMIXTEXT missingComix_ = {};
  kis::GrowBuffer credits_;

 private:
  bool AppendCredit(CREDITITEM* item);
  void ReadCachedCredits(kis::BaseDataFileReader* file);
  void ReadCachedComix(kis::BaseDataFileReader* file);
  void ReadCachedFonts(kis::BaseDataFileReader* file);
};

// A kind-1 credit of `length` characters, or a kind-2 credit of an image;
// freed with std::free.
CREDITITEM* MakeTextCredit(const wchar* text, u32 length);
CREDITITEM* MakeImageCredit(DXLTexture* image);
