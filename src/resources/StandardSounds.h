// StandardSounds - the 26 standard sounds that the interface and the level
// play by index, and the sound group bits every sound is played with.
//
// The "SAMP" section of "Sounds.dat" ends with the names of the standard
// sounds in this order; the reader stores the handle of the sample of each
// name in the sound settings (GetStandardSound), 0 where none was loaded.
// This table is the only list of them: the data builder writes its names,
// callers play by its indexes. A slot with an empty name is free (its handle
// stays 0); giving it a name takes one more sample from the data set.
#pragma once

#include "base/Types.h"

constexpr u32 kStandardSoundCount = 26;

enum StandardSound : u32 {
  kSoundClick = 0,           // interface click: buttons, screen sprites, the level map
  kSoundWindow = 1,          // a window shows or hides
  kSoundSelect = 2,          // a level point is selected
  kSoundTaskDone = 3,        // a task of the level is met
  kSoundTimeWarning = 4,     // loop while the next medal limit is close
  kSoundSale = 5,            // products sold from the warehouse
  kSoundComic = 6,           // a comic page's part appears
  kSoundAward = 7,           // a step of the awards window's animation
  kSoundVillainHit = 8,      // a click hits a villain
  kSoundVillainDriveOff = 9, // a villain is driven off
  kSoundWarehouseFull = 10,  // the warehouse-full notice
  kSoundVillainShot = 11,    // a villain's shot flies
  kSoundVillainShotHit = 12, // a shot hits its target
  kSoundVillainShotBurst = 13,  // a shot bursts
  kSoundBonusBees = 14,      // the bonuses, in bonus order (kBonusSounds)
  kSoundBonusRain = 15,
  kSoundBonusSpeed = 16,
  kSoundBonusInstant = 17,
  kSoundBonusFactories = 18,
  kSoundBonusAnimals = 19,
  kSoundRainLoop = 20,       // loop while the rain bonus acts
  kSoundStore = 21,          // goods go into the warehouse
  kSoundLevelWon = 22,       // the level's win is shown
  kSoundLevelLost = 23,      // the level's loss is shown
  kSoundFree24 = 24,
  kSoundAwardNotice = 25,    // an award notice
};

// The names, by index ("" for a free slot). Names compare without regard to
// case; each is in tools/data/names.txt.
inline constexpr const wchar* kStandardSoundNames[kStandardSoundCount] = {
    u"click",        u"window",           u"select",         u"task_done",          u"time_warning",
    u"sale",         u"comic",            u"award",          u"villain_hit",        u"villain_drive_off",
    u"warehouse_full", u"villain_shot",   u"villain_shot_hit", u"villain_shot_burst", u"bonus_bees",
    u"bonus_rain",   u"bonus_speed",      u"bonus_instant",  u"bonus_factories",    u"bonus_animals",
    u"rain_loop",    u"store",            u"level_won",      u"level_lost",         u"",
    u"award_notice",
};

// The bonus sound table: the standard sound of each of the six bonuses, by
// bonus index (0 bees, 1 rain, 2 speed, 3 instant harvest, 4 factories,
// 5 animal houses: content/LevelRates.h).
constexpr u32 kBonusSoundCount = 6;
inline constexpr StandardSound kBonusSounds[kBonusSoundCount] = {
    kSoundBonusBees,    kSoundBonusRain,    kSoundBonusSpeed,
    kSoundBonusInstant, kSoundBonusFactories, kSoundBonusAnimals,
};

// Group bits: every sound is played with a mask of them, and whole groups
// are paused, resumed and faded out together (pauses nest per bit).
constexpr u32 kSoundGroupLevel = 0x01000000u;   // the running level's sounds
constexpr u32 kSoundGroupScreen = 0x40000000u;  // the current screen's sounds
constexpr u32 kSoundGroupClick = 0x80000000u;   // button clicks and sales
