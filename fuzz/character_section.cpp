// The "CHQR" section of character descriptions (see ContentSectionFuzz.h).
// The animations "girl_idle", "girl_walk" and "bee_fly" exist; every
// description read is initialised, asked for its animations and released.
#include "ContentSectionFuzz.h"
#include "content/CharacterSection.h"
#include "content/ContentServices.h"
#include "content/GameCharacter.h"
#include "resources/GameAnimation.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  for (const char16_t* n : {u"girl_idle", u"girl_walk", u"bee_fly"}) new GameAnimation(n, 8);
  CharacterList characters;
  GetContentServices().characters = &characters;
  contentfuzz::Run(kCharacterSectionId, kCharacterSectionSubId, data, size, [](kis::BaseDataFileReader* reader) {
    contentfuzz::ReadAll([&](SectionCursor* c) { return LoadCharacters(GetContentServices().characters, reader, c, 0.0f, 1.0f); });
    const kis::list<GameCharacter*>& list = GetCharacters();
    for (i32 i = 0; i < list.GetCount(); ++i) {
      GameCharacter* g = list[i];
      if (g->GetSkinCount() > static_cast<i32>(kMaxCharacterSkins)) __builtin_trap();
      g->Init();
      for (i32 s = -1; s <= g->GetSkinCount(); ++s) {
        if (g->GetSkinSize(s) > static_cast<i32>(kMaxSkinAnimations)) __builtin_trap();
        g->GetCharAnimation(s);
        g->GetWalkAnimation(s);
        g->FindAnimation(s, u"girl_walk");
      }
      FindCharInfo(list, g->id);
      FindCharacterByName(list, g->name);
      g->Release(false);
    }
  });
  GetContentServices().characters = nullptr;
  characters.Clear();
  FreeAnimations();
  return 0;
}
