// MainScreenLayers - the main screen's painted scene read from the "MNSC"
// section: a count, then that many layer records of 2,000 bytes, kept as
// read for the whole run (the main screen builds its layers from them on
// every entry).
//
// Layer record: +0 u32 kind (1 the girl, 2 light rays, 3 particles, any
// other a plain layer); +4 f32 parallax depth; +8 f32 zoom factor; +12 u32
// sprite entry count (0..16); +16 sixteen sprite entries of 84 bytes (a
// name of 32 UTF-16 units, i32 x1, y1, x2, y2, u32 ARGB colour); +1360 640
// bytes holding sixteen light records of 40 bytes (kind 2) or sixteen
// particle records of 16 bytes (kind 3), else zero.
//
// A count the section's bytes cannot hold fails the section before
// anything is allocated. What is read is made safe to use: an entry count
// above 16 becomes 16, a light's blend mode above 4 becomes 4, a light's
// bounds given high before low are put in order; names always end inside
// their field.
#pragma once

#include <vector>

#include "base/Types.h"
#include "content/ContentArchive.h"
#include "resources/ResourceServices.h"

namespace kis {
class BaseDataFileReader;
}

constexpr u32 kMainScreenSectionId = SectionTag('M', 'N', 'S', 'C');
constexpr u32 kMainScreenSectionSubId = 1;
constexpr u32 kMainScreenLayerSize = 2000;
constexpr u32 kMainScreenEntrySize = 84;
constexpr u32 kMainScreenLightSize = 40;
constexpr u32 kMainScreenParticleSize = 16;
constexpr u32 kMainScreenMaxEntries = 16;
constexpr u32 kMainScreenExtraOffset = 1360;
constexpr u32 kMainScreenSpriteSet = 13;  // the scene's pictures

enum MainScreenLayerKind : u32 {
  kMainScreenPlain = 0,
  kMainScreenGirl = 1,
  kMainScreenLight = 2,
  kMainScreenParticles = 3,
};

struct MAINSCREENENTRY {
  wchar name[32];
  i32 x1, y1, x2, y2;  // the rectangle the image is drawn into
  u32 colour;          // ARGB
};

// All times in ms.
struct MAINSCREENLIGHTINFO {
  float angle;  // degrees
  float startX;
  float endX;
  u32 minDuration, maxDuration;
  u32 fadeIn, fadeOut;
  u32 minPause, maxPause;
  u32 blend;  // 0..4
};

struct MAINSCREENPARTICLE {
  u32 systemId;  // the particle system's name id
  i32 x, y;
  float angle;  // degrees; 0 keeps the definition's direction
};

struct MAINSCREENLAYERINFO {
  u32 kind;
  float depth;
  float zoom;
  u32 count;  // sprite entries in use
  MAINSCREENENTRY entries[kMainScreenMaxEntries];
  MAINSCREENLIGHTINFO lights[kMainScreenMaxEntries];        // kind 2
  MAINSCREENPARTICLE particles[kMainScreenMaxEntries];      // kind 3
};

class MainScreenLayers {
 public:
  // "LoadMainScreen": reads the whole section in one call and returns 1;
  // the cursor's error flag tells a failure, and nothing is kept then.
  i32 ReadSection(kis::BaseDataFileReader* reader, SectionCursor* cursor);

  const std::vector<MAINSCREENLAYERINFO>& Layers() const { return layers_; }
  void Add(const MAINSCREENLAYERINFO& layer) { layers_.push_back(layer); }
  void Clear() { layers_.clear(); }

 private:
  std::vector<MAINSCREENLAYERINFO> layers_;
};

// One layer record's 2,000 bytes, and back (made safe as above).
void ParseMainScreenLayer(const u8* raw, MAINSCREENLAYERINFO* out);
void PutMainScreenLayer(u8* raw, const MAINSCREENLAYERINFO& layer);
// The section's body for these layers (the writer of the data builder).
std::vector<u8> MainScreenSection(const std::vector<MAINSCREENLAYERINFO>& layers);
