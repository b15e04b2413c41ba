// GameBonuses - the six bonuses a player can take into a level (bees, rain,
// speed, instant harvest and the two production bonuses), read from the
// "BONS" section, with their icons, sounds and the pictures their effects
// need.
//
// The section is one block of exactly six 216-byte records, read in one
// call; a short or longer block sets the error flag and keeps the whole
// records it holds. Each bonus acts through the level rates (LevelRates.h).
#pragma once

#include "base/Types.h"
#include "content/ContentServices.h"
#include "content/GameTable.h"
#include "resources/ResourceServices.h"

class DXLTexture;
class MapSprite;
class Sprite;

namespace kis {
class BaseDataFileReader;
}

constexpr u32 kBonusCount = 6;
constexpr u32 kBonusRecordSize = 216;
constexpr u32 kBonusSectionSize = kBonusCount * kBonusRecordSize;
constexpr u32 kMaxRainImages = 8;

// Bonus indices.
constexpr u32 kBonusBees = 0;
constexpr u32 kBonusRain = 1;
constexpr u32 kBonusSpeed = 2;
constexpr u32 kBonusInstant = 3;
constexpr u32 kBonusFactories = 4;
constexpr u32 kBonusAnimalHouses = 5;

struct BONUS {
  // --- Stored ---------------------------------------------------------------
  wchar nameKey[32];  // language key of the bonus's name
  wchar descKey[32];  // language key of its description
  u32 id;             // the name id of the name
  wchar name[32];     // also the icon's name; "big_" + name is the big icon
  u32 chargeTime;     // ms from used to charged again
  u32 activeTime;     // ms the effect lasts
  float effect;       // the rate value while active

  // --- In memory (stored as 0) --------------------------------------------------
  Sprite* icon;
  u32 sound;  // sound id played when the bonus is used
};

void ParseBonusRecord(const u8* raw, BONUS* out);  // icon and sound cleared
void PutBonusRecord(u8* raw, const BONUS& bonus);

class GameBonuses : public GameTable {
 public:
  // Reads the block; always 1 (finished), failure in the error flag.
  i32 ReadSection(kis::BaseDataFileReader* reader, SectionCursor* cursor);
  // Each bonus's icon and big icon from the icon sprite set, and its sound
  // from the bonus sound table (resources/StandardSounds.h).
  void LoadIcons();
  // Bonus 0: the map sprites "bees_attack" and "bees", each loaded once.
  // Bonus 1, while no rain image is loaded: the images "rain0" to "rain7" of
  // the effect sprite set up to the first missing one, tiled both ways.
  void LoadBonus(u32 index);

  i32 FindById(u32 id) const;  // 0..5; -1 for 0 or when absent
  i32 FindByName(const wchar* name) const;

  const BONUS& Get(u32 i) const { return bonuses_[i % kBonusCount]; }
  Sprite* GetBigIcon(u32 i) const { return bigIcons_[i % kBonusCount]; }
  u32 GetRainImageCount() const { return rainCount_; }
  DXLTexture* GetRainImage(u32 i) const { return i < rainCount_ ? rain_[i] : nullptr; }
  MapSprite* GetBeesAttack() const { return beesAttack_; }
  MapSprite* GetBees() const { return bees_; }

 private:
  BONUS bonuses_[kBonusCount] = {};
  DXLTexture* rain_[kMaxRainImages] = {};
  u32 rainCount_ = 0;
  Sprite* bigIcons_[kBonusCount] = {};
  MapSprite* beesAttack_ = nullptr;
  MapSprite* bees_ = nullptr;
};

// The game's table (installed in the content services), or null.
inline GameBonuses* GetGameBonuses() { return GetContentServices().bonuses; }
