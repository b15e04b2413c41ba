// The game's current language and the setter that installs one.
//
// SetGameLanguage takes a use of the new language before it gives back the
// use of the previous one (which it does not delete), so a language handed
// in twice, or sharing data with the old one, never goes through an unloaded
// state. It then tells the host installed in TextServices::languageHost
// (TextServices.h: the game's window and screens) the window title, the
// loading screen's logo and caption and the characters allowed in profile
// names (the built-in set when the language has none). The current language
// is TextServices::language.
#pragma once

#include "base/Types.h"

class DXLTexture;
class GameLanguage;

class GameLanguageHost {
 public:
  virtual ~GameLanguageHost() = default;
  virtual void SetWindowTitle(const wchar* title) = 0;
  // Creates the loading panel when there is none and fills it.
  virtual void ShowLoading(DXLTexture* logo, const wchar* caption) = 0;
  virtual void SetProfileChars(const wchar* chars) = 0;
};

void SetGameLanguage(GameLanguage* language);
GameLanguage* GetGameLanguage();
