// Settings - the player's screen and sound settings kept in "config.dat" in
// the per-user folder (a data-file container, saved safely).
//
// "config.dat": signature 0x73DA7BBB, 0xC04F19F1, version 1; two sections:
//   (0xF1E2D3C4, 1) 28 bytes: the seven u32 words of SCREENPARAMS in order
//   (0x5004D1DF, 1) 16 bytes: music on (u32), music volume (f32), sounds on
//                   (u32), sounds volume (f32)
// No checksum: the screen words are checked by the game screen when it
// takes them, the sound words by SoundSettings (a volume that is not a
// number is 50, clamped to 0..100; an on word other than 0 is on).
#pragma once

#include <string>

#include "base/RecordFields.h"
#include "base/Types.h"
#include "resources/SoundSettings.h"

constexpr u32 kSettingsSignature1 = 0x73DA7BBBu;
constexpr u32 kSettingsSignature2 = 0xC04F19F1u;
constexpr u32 kSettingsVersion = 1;
constexpr u32 kScreenSectionId = 0xF1E2D3C4u;
constexpr u32 kSoundSectionId = 0x5004D1DFu;
constexpr u32 kSettingsSectionSubId = 1;
constexpr u32 kScreenRecordSize = 28;
constexpr u32 kSoundRecordSize = 16;

// The screen the player chose; a width, height or refresh of 0 stands for
// the default.
struct SCREENPARAMS {
  u32 fullscreen = 1;
  u32 windowWidth = 0;
  u32 windowHeight = 0;
  u32 screenWidth = 0;
  u32 screenHeight = 0;
  u32 refresh = 0;  // Hz
  u32 vsync = 1;
  bool operator==(const SCREENPARAMS&) const = default;
};

extern const RecordLayout kScreenParamsLayout;
extern const RecordLayout kSavedSoundLayout;

// `params` keeps what it holds (the current, default parameters) unless the
// file has a whole screen section; a whole sound section is applied to the
// game's sound settings (SoundSettings::ApplySaved). A missing or damaged
// file is no failure: the defaults stay, and the log says why a file that is
// there did not read. False only for a path too long.
bool LoadSettings(const std::u16string& folder, SCREENPARAMS* params);
// Writes both sections (the screen's and the game's sound settings)
// through a safe save; false when the file could not be written, which
// leaves the old file as it was (the system's error in `error` when given)
// and is said in the log with its reason. The save goes through the
// resource services' file faults.
bool SaveSettings(const std::u16string& folder, const SCREENPARAMS& params, int* error = nullptr);
