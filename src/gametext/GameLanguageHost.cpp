#include "gametext/GameLanguageHost.h"

#include "gametext/GameLanguage.h"

namespace {
GameLanguage* g_language = nullptr;
GameLanguageHost* g_host = nullptr;
}  // namespace

void SetGameLanguageHost(GameLanguageHost* host) { g_host = host; }

GameLanguage* GetGameLanguage() { return g_language; }

void SetGameLanguage(GameLanguage* language) {
  GameLanguage* previous = g_language;
  if (language) language->Acquire();
  if (previous) previous->Release();
  g_language = language;
  if (!language || !g_host) return;
  g_host->SetWindowTitle(language->GetWindowTitle());
  g_host->ShowLoading(language->GetImage(u"loading_logo"), language->GetTextByName(u"loading", u"caption", true));
  const wchar* chars = language->GetProfileChars();
  g_host->SetProfileChars(chars ? chars : GameLanguage::kDefaultProfileChars);
}
