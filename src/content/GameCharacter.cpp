#include "content/GameCharacter.h"

#include "base/Strings.h"
#include "content/ContentServices.h"
#include "resources/GameAnimation.h"
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
  const CharacterList* list = GetContentServices().characters;
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
  // Ignoring case, as every name from the data (see AwardTable).
  for (i32 i = 0; i < list.GetCount(); ++i)
    if (list[i] && kis::StrICompare(list[i]->name, name) == 0) return list[i];
  return nullptr;
}

GameCharacter::GameCharacter(const wchar* text, u32 charId, u32 grid) : id(charId), gridId(grid) {
  if (text) kis::StrCopy(name, kCharacterNameSize, text);
}

GameCharacter::~GameCharacter() {
  if (initCount_ > 0) ReleaseOwn();
  ReleaseSteps();
}

// The partner of id 4 rides along on every call, so its count follows.
void GameCharacter::Init() {
  if (initCount_++ == 0) InitOwn();
  if (id == kCharacterLinkedId)
    if (GameCharacter* partner = FindCharInfo(GetCharacters(), kCharacterLinkedPartner))
      if (partner != this) partner->Init();
}

bool GameCharacter::InitStep() {
  if (IsLoaded()) return true;
  if (steps_ < ItemCount()) {
    GameAnimation* a = AnimationAt(steps_);
    if (a && !a->IsLoaded() && warmed_ < a->GetSpriteCount()) {
      if (Sprite* s = a->GetSprite(warmed_++)) s->Init();
      return false;
    }
    InitItem(steps_, true);
    ReleaseWarmed(steps_++);  // the animation holds its sprites now
    if (steps_ < ItemCount()) return false;
  }
  Init();  // the rest is done: only the count and the partner
  return true;
}

void GameCharacter::Release(bool force) {
  ReleaseSteps();
  if (DropInit(force)) ReleaseOwn();
  if (id == kCharacterLinkedId)
    if (GameCharacter* partner = FindCharInfo(GetCharacters(), kCharacterLinkedPartner))
      if (partner != this) partner->Release(force);
}

i32 GameCharacter::ItemCount() const {
  i32 n = shadow_ && shadow_->sprite ? 1 : 0;
  for (i32 s = 0; s < skinCount_; ++s) n += skins_[s].GetCount();
  return n;
}

GameAnimation* GameCharacter::AnimationAt(i32 item) const {
  for (i32 s = 0; s < skinCount_; ++s) {
    if (item < skins_[s].GetCount()) return skins_[s][item];
    item -= skins_[s].GetCount();
  }
  return nullptr;
}

void GameCharacter::InitItem(i32 item, bool init) {
  InitObject* o = AnimationAt(item);
  if (!o && shadow_) o = shadow_->sprite;
  if (!o) return;
  if (init)
    o->Init();
  else
    o->Release(false);
}

void GameCharacter::ReleaseWarmed(i32 item) {
  GameAnimation* a = warmed_ > 0 ? AnimationAt(item) : nullptr;
  for (i32 k = 0; a && k < warmed_; ++k)
    if (Sprite* s = a->GetSprite(k)) s->Release(false);
  warmed_ = 0;
}

void GameCharacter::ReleaseSteps() {
  ReleaseWarmed(steps_);
  for (i32 k = 0; k < steps_ && initCount_ == 0; ++k) InitItem(k, false);
  steps_ = 0;
}

// Items a stepped Init already took are not taken twice.
void GameCharacter::InitOwn() {
  for (i32 k = steps_, n = ItemCount(); k < n; ++k) InitItem(k, true);
  ReleaseWarmed(steps_);
  steps_ = 0;
}

void GameCharacter::ReleaseOwn() {
  for (i32 k = 0, n = ItemCount(); k < n; ++k) InitItem(k, false);
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
  // Ignoring case, as every name from the data (see AwardTable).
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
