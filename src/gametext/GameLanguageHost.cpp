#include "gametext/GameLanguageHost.h"

#include "gametext/GameLanguage.h"
#include "gametext/TextServices.h"

GameLanguage* GetGameLanguage() { return GetTextServices().language; }

void SetGameLanguage(GameLanguage* language) {
  TextServices& s = GetTextServices();
  GameLanguage* previous = s.language;
  // The new use first: a language installed again is never unloaded.
  if (language) language->Acquire();
  if (previous) previous->Release();
  s.language = language;
  GameLanguageHost* host = s.languageHost;
  if (!language || !host) return;
  host->SetWindowTitle(language->GetWindowTitle());
  host->ShowLoading(language->GetImage(u"loading_logo"), language->GetTextByName(u"loading", u"caption", true));
  const wchar* chars = language->GetProfileChars();
  host->SetProfileChars(chars ? chars : GameLanguage::kDefaultProfileChars);
}
