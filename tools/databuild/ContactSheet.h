// ContactSheet - one PNG of every picture of a built data set at its real
// size: each sprite set under a heading, each picture under its name (with
// its frame size and frame count) with all its frames, and the animation
// set row by row as the animations play it: each animation under its name,
// mode, frame time and sound, a row of frames per direction labelled with
// its angle. World pictures stand on grass, icons on the interface's warm
// panel colour, ground tiles on a grey checker (so their transparent edges
// show), each frame's cell outlined thinly.
//
// The sprite archive module hands it every picture it drew, the data
// archive module every animation; Write lays them out.
#pragma once

#include <cairo.h>

#include <memory>
#include <string>
#include <vector>

#include "PictureCatalog.h"
#include "base/Types.h"
#include "content/MapSection.h"

class LabelFont;

// The sheet's place for the pictures outside the sprite sets (the loose
// files of the data folder: logos, loading screen, the language's).
constexpr u32 kLooseFilesSheetSet = 17;

struct SheetPicture {
  u32 set = 0;
  std::string name;
  PictureKind kind = PictureKind::kImage;
  u32 frameWidth = 0;
  u32 frameHeight = 0;
  u32 frames = 1;
  u32 columns = 1;
  u32 gap = 0;
  bool placeholder = false;
  u32 imageWidth = 0;
  u32 imageHeight = 0;
  std::vector<u32> pixels;  // 0xAARRGGBB, straight alpha
};

struct SheetAnimation {
  std::string name;
  std::string sprite;   // of the animation set
  std::string summary;  // mode, frame time, sound
  struct Run {
    i32 first;
    i32 count;
    float angle;
  };
  std::vector<Run> directions;
};

class ContactSheet {
 public:
  explicit ContactSheet(u32 animationSet) : animationSet_(animationSet) {}

  void AddPicture(SheetPicture picture) { pictures_.push_back(std::move(picture)); }
  void AddAnimation(SheetAnimation animation) { animations_.push_back(std::move(animation)); }

  // The level-selection map's data and its levels' cells: Write then also
  // draws the map as the game shows it, one sheet per level state
  // ("NAME_map_hidden.png", "_closed", "_open", "_finished" beside NAME.png).
  void SetMap(const MapSectionData& map, const i32 (&cells)[kLevelCount]);

  // Lays the sheet out and writes it; false (with a message) on failure.
  bool Write(const std::string& path, const LabelFont& font, std::string* error) const;

 private:
  u32 animationSet_;
  std::vector<SheetPicture> pictures_;
  std::vector<SheetAnimation> animations_;
  std::unique_ptr<MapSectionData> map_;
  i32 cells_[kLevelCount] = {};
};

// The picture's pixels as a new cairo surface (premultiplied); the caller
// destroys it.
cairo_surface_t* SurfaceOf(const SheetPicture& p);

// The map sheets (MapSheet.cpp), one per state.
bool WriteMapSheets(const std::string& path, const std::vector<SheetPicture>& pictures, const MapSectionData& map,
                    const i32 (&cells)[kLevelCount], const LabelFont& font, std::string* error);
