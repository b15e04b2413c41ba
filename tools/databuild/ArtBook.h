// ArtBook - the pictures the builder draws, by sprite set and name: for
// each a drawing function of a frame (parametrised by the frame's size and
// place, so animation frames are generated), the frame layout it draws
// (none: any layout the data asks for, such as an animation's rows of
// directions), the size it is drawn at when the data leaves that open, its
// own animation (a sprite's default frame sequence) and, for a map sprite,
// its hot spot. A picture of the catalogue without art is a labelled
// placeholder (PictureCanvas.h).
//
// The book is filled once, by one function per family of pictures (the
// *Art.cpp files), and is then only read.
#pragma once

#include <cairo.h>

#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "PictureCatalog.h"
#include "base/Types.h"

struct ArtFrame {
  double width = 0;  // of the frame, pixels (the drawing's origin is its top left)
  double height = 0;
  u32 index = 0;  // of this frame among the picture's `count`
  u32 count = 1;
  u32 row = 0;  // its place in the layout: an animation keeps a direction a row
  u32 column = 0;
  u32 rows = 1;
  u32 columns = 1;

  double Phase() const { return columns > 0 ? static_cast<double>(column) / columns : 0; }  // 0 <= p < 1 along a row
};

struct ArtPiece {
  std::function<void(cairo_t*, const ArtFrame&)> draw;
  FrameLayout layout;  // frames 0: drawn for any layout
  u32 width = 0;       // when the data leaves the size open (0: it may not)
  u32 height = 0;
  bool animated = false;  // the sprite plays its frames by itself
  u32 mode = 0;           // DXLFRAMESEQ mode (0 once, 2 loop, ...)
  u32 frameMs = 0;
  double hotX = 0.5;  // a map sprite's hot spot, fractions of the frame
  double hotY = 0.5;
  // A map sprite the pointer can click (the level's easter egg): one
  // ellipse this wide and high standing on the hot spot (0: no click shape).
  i32 clickWidth = 0;
  i32 clickHeight = 0;
};

// A picture of `frames` frames in a row, each drawn by `draw`.
ArtPiece FramesPiece(std::function<void(cairo_t*, const ArtFrame&)> draw, u32 frames = 1);

class ArtBook {
 public:
  static const ArtBook& Get();

  const ArtPiece* Find(u32 set, const std::string& name) const;
  void Add(u32 set, const std::string& name, ArtPiece piece);
  size_t Count() const { return pieces_.size(); }

 private:
  std::map<std::pair<u32, std::string>, ArtPiece> pieces_;
};

// The families, each in its own file.
void AddGroundArt(ArtBook& book);
void AddPlaceArt(ArtBook& book);
void AddEffectArt(ArtBook& book);
void AddProductArt(ArtBook& book);
void AddIconArt(ArtBook& book);
void AddPlantArt(ArtBook& book);  // the plant kinds' beds, crops and trees
void AddBuildingArt(ArtBook& book);  // the warehouse's and the flour mill's map sprites and animation
void AddKindArt(ArtBook& book);  // the plant and building kinds' panel icons, the build panels' back and empty cells
void AddGirlArt(ArtBook& book);
void AddChickenArt(ArtBook& book);  // the chicken house's chicken, its nest and the animal houses' troughs
void AddShedArt(ArtBook& book);     // the cow shed and its cows' heads, the sheep pen and its sheep
void AddVillainArt(ArtBook& book);  // the villains, their catapult, shot and health bar
void AddInterfaceArt(ArtBook& book);  // the toolkit's and the level panel's skins (ui/SkinTable.h)
void AddHudArt(ArtBook& book);        // the head-up display's pictures
void AddStoreArt(ArtBook& book);      // the warehouse window's sheets, the coins and check marks of prices and awards
void AddDigitFontArt(ArtBook& book);  // the digit fonts' strips (DigitFontArt.h)
void AddGameFontArt(ArtBook& book);   // the game fonts' glyph pictures (GameFontArt.h)
void AddMapArt(ArtBook& book);
void AddComixArt(ArtBook& book);   // the comics' panels and the comic screen's background
void AddAwardsArt(ArtBook& book);  // the awards window's panel
void AddMainScreenArt(ArtBook& book);  // the main screen's scene and girl (set 13), the menu's lock and chain
// The cells the valley's painted road passes, in play order.
std::vector<int> ValleyRoadCells();        // the level-selection map: the valley, waters, node marks and decorations
