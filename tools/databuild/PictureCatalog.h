// PictureCatalog - every picture the sprite archive must hold, gathered
// before it is written: the manifest's pictures and those the data
// archive's records name. A picture is an image (a texture of its set), a
// sprite showing the image's frames, or a map sprite over that sprite, all
// three under the one name; asking for a name twice keeps the richer kind,
// and two different sizes (or frame layouts) for one name are a fault of
// the sources.
//
// The size asked for is a frame's. A picture's frames lie in rows of
// `columns` cells, 2 pixels apart (so filtering never mixes two frames);
// a layout left open (0 frames) is the art's (ArtBook.h), one frame
// without art.
#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "base/Types.h"

enum class PictureKind : u32 { kImage = 0, kSprite = 1, kMapSprite = 2 };

struct FrameLayout {
  u32 frames = 0;   // 0: open
  u32 columns = 0;  // 0: all frames in one row
};

struct PictureRequest {
  u32 set = 0;
  std::string name;  // lower-cased
  PictureKind kind = PictureKind::kImage;
  u32 width = 0;  // of a frame
  u32 height = 0;
  FrameLayout layout;
  std::string origin;  // who asked first, for messages
};

class PictureCatalog {
 public:
  // False, with a message, when the name is already asked for at another
  // size or layout.
  bool Require(u32 set, const std::string& name, PictureKind kind, u32 width, u32 height, const std::string& origin,
               std::string* error, FrameLayout layout = {});

  // For a picture whose size its user leaves open: the size it already has,
  // or the one given.
  void RequireAnySize(u32 set, const std::string& name, PictureKind kind, u32 width, u32 height,
                      const std::string& origin);

  // Every picture, by set and then name.
  std::vector<const PictureRequest*> All() const;
  const PictureRequest* Find(u32 set, const std::string& name) const;
  size_t Count() const { return pictures_.size(); }

 private:
  std::map<std::pair<u32, std::string>, PictureRequest> pictures_;
};
