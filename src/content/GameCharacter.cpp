#include "content/GameCharacter.h"

#include "base/Strings.h"
#include "resources/GameAnimation.h"
#include "resources/GameServices.h"
#include "resources/Sprite.h"

void CharacterList::Add(GameCharacter* character) {
  if (character) items_.Add(character);
}

void CharacterList::Clear() {
  while (items_.GetCount() > 0) {
    GameCharacter* last = items_.Last();
    items_.Delete(items_.GetCount() - 1);
    delete last;
  }
}

const kis::list<GameCharacter*>& GetCharacters() {
  static const kis::list<GameCharacter*> none;
  const CharacterList* list = GetGameServices().characters;
  return list ? list->Items() : none;
}

GameCharacter* FindCharInfo(const kis::list<GameCharacter*>& list, u32 id) {
  if (id == 0) return nullptr;
  for (i32 i = 0; i < list.GetCount(); ++i)
    if (list[i] && list[i]->id == id) return list[i];
  return nullptr;
}

GameCharacter* FindCharacterByName(const kis::list<GameCharacter*>& list, const wchar* name) {
  if (!name || !name[0]) return nullptr;
  for (i32 i = 0; i < list.GetCount(); ++i)
    if (list[i] && kis::StrICompare(list[i]->name, name) == 0) return list[i];
  return nullptr;
}

GameCharacter::GameCharacter(const wchar* text, u32 charId, u32 grid) : id(charId), gridId(grid) {
  if (text) kis::StrCopy(name, kCharacterNameSize, text);
}

GameCharacter::~GameCharacter() {
  if (initCount_ > 0) ReleaseOwn();
}

// The partner of id 4 rides along on every call, so its count follows.
void GameCharacter::Init() {
  if (initCount_++ == 0) InitOwn();
  if (id == kCharacterLinkedId)
    if (GameCharacter* partner = FindCharInfo(GetCharacters(), kCharacterLinkedPartner))
      if (partner != this) partner->Init();
}

void GameCharacter::Release(bool force) {
  if (DropInit(force)) ReleaseOwn();
  if (id == kCharacterLinkedId)
    if (GameCharacter* partner = FindCharInfo(GetCharacters(), kCharacterLinkedPartner))
      if (partner != this) partner->Release(force);
}

void GameCharacter::InitOwn() {
  for (i32 s = 0; s < skinCount_; ++s)
    for (i32 i = 0; i < skins_[s].GetCount(); ++i) skins_[s][i]->Init();
  if (shadow_ && shadow_->sprite) shadow_->sprite->Init();
}

void GameCharacter::ReleaseOwn() {
  for (i32 s = 0; s < skinCount_; ++s)
    for (i32 i = 0; i < skins_[s].GetCount(); ++i) skins_[s][i]->Release(false);
  if (shadow_ && shadow_->sprite) shadow_->sprite->Release(false);
}

void GameCharacter::SetSkinCount(i32 n) {
  skinCount_ = n > 0 ? n : 0;
  skins_.reset(skinCount_ > 0 ? new kis::list<GameAnimation*>[static_cast<size_t>(skinCount_)] : nullptr);
}

void GameCharacter::AddToSkin(i32 skin, GameAnimation* animation) {
  if (skin >= 0 && skin < GetSkinCount() && animation) skins_[skin].Add(animation);
}

i32 GameCharacter::GetSkinSize(i32 skin) const {
  return skin >= 0 && skin < GetSkinCount() ? skins_[skin].GetCount() : 0;
}

GameAnimation* GameCharacter::GetEntry(i32 skin, i32 index) const {
  if (skin < 0 || skin >= GetSkinCount()) return nullptr;
  return skins_[skin].Get(index);
}

GameAnimation* GameCharacter::FindAnimation(i32 skin, const wchar* text) const {
  if (!text || !text[0] || skin < 0 || skin >= GetSkinCount()) return nullptr;
  const kis::list<GameAnimation*>& list = skins_[skin];
  for (i32 i = 0; i < list.GetCount(); ++i)
    if (kis::StrICompare(list[i]->GetName(), text) == 0) return list[i];
  return nullptr;
}

i32 GameCharacter::FindEntry(i32 skin, const GameAnimation* animation) const {
  if (!animation || skin < 0 || skin >= GetSkinCount()) return -1;
  return skins_[skin].IndexOf(const_cast<GameAnimation*>(animation));
}

GameAnimation* GameCharacter::GetCharAnimation(i32 skin) const { return GetEntry(skin, idleIndex); }
GameAnimation* GameCharacter::GetWalkAnimationPtr(i32 skin) const { return GetEntry(skin, walkIndex); }

const wchar* GameCharacter::GetWalkAnimation(i32 skin) const {
  const GameAnimation* a = GetWalkAnimationPtr(skin);
  return a ? a->GetName() : nullptr;
}
