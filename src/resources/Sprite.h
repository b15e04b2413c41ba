// Sprite - a named layout of frames on one texture of a sprite set: a grid
// of equal cells in an area of the texture, or a list of rectangles. The
// first Init builds every frame into a ready-to-draw quad and its
// horizontally mirrored twin, and turns them by the turn mode; the last
// Release frees them. A sprite without texture, with a texture that does not
// load or with no frames never counts as loaded and draws nothing.
//
// Damage in the layout builds no frames rather than faulting: divisors of 0
// or less, or more frames than kMaxFrames.
//
// A sprite belongs to its set, which deletes it when it goes; whoever made
// one may delete it sooner. The sprites a set reads from the archive live in
// the memory of their section (RecordPool), which the set frees after them:
// deleting one destroys it where it is.
#pragma once

#include <memory>
#include <new>
#include <optional>

#include "base/Types.h"
#include "engine/DXLDrawTypes.h"
#include "engine/DXLFrameSeq.h"
#include "resources/InitObject.h"
#include "resources/SpriteRecords.h"

class DXLTexture;
class ImageSprite;
class Sprite;
class SpriteSet;

// The grid form of a layout.
struct SPRITEGRID {
  i32 frameCount;   // 0 or less: as many as the frame size fits in the area
  i32 frameWidth;   // 0 or less: derived
  i32 frameHeight;
  i32 gapX;
  i32 gapY;
  DXLRECT area;     // right <= left: the image's width; bottom <= top: its height
};

// What a user of a sprite shows: a frame, or an animation on the frame clock.
struct SpriteFrameState {
  Sprite* sprite;
  i32 frame;
  u8 mirror;
  u8 animated;
  DXLFRAMESEQ seq;  // its elapsed word holds the start time
};

// A frame placed for drawing (MakeDrawItem).
struct SPRITEDRAWITEM {
  DXLTexture* texture;
  DXLQUAD quad;
  u32 flags;       // 0xFFFFFFFF
  DXLRECT bounds;  // whole pixels around the destination
  DXLRECTF dest;
};

// Turns a quad's positions by the turn mode ((mode + 4) mod 4, taken
// non-negative: 1 a quarter clockwise, 2 a half, 3 a quarter anticlockwise)
// inside the rectangle its first vertex starts; texture coordinates and
// colours stay. A null destination turns the source in place.
void TransformQuadVertices(DXLQUAD* dest, const DXLQUAD* source, i32 mode);
// The effective turn of a mode, 0 to 3.
i32 EffectiveTurn(i32 mode);

class Sprite : public InitObject {
 public:
  static constexpr u32 kGridForm = 0;
  static constexpr u32 kExplicitForm = 1;
  static constexpr i32 kMaxFrames = 4096;

  // Both forms add the sprite to the set's list and take the texture's name
  // when the name is empty. The explicit form copies the rectangles (zeroes
  // when none are given; a negative count is none).
  Sprite(SpriteSet* set, const wchar* name, DXLTexture* texture, const SPRITEGRID& grid, bool flipH, bool flipV,
         i32 turn);
  Sprite(SpriteSet* set, const wchar* name, DXLTexture* texture, i32 frameCount, const DXLRECT* rects, bool flipH,
         bool flipV, i32 turn);
  ~Sprite() override;
  // Destroys the sprite, and frees its memory unless that belongs to a
  // section of its set.
  void operator delete(Sprite* sprite, std::destroying_delete_t);

  void Init() override;
  void Release(bool force) override;

  // False (and a zero rectangle) outside 0..frame count - 1.
  bool GetFrameRect(i32 frame, DXLRECT* out) const;
  void SetDrawState(const DXLDRAWSTATE* state);       // a copy; null drops it
  void SetDefaultAnimation(const DXLFRAMESEQ* seq);   // a copy; null drops it
  void InitFrameState(SpriteFrameState* state, bool randomFrame, bool mirror);
  // One frame at the current transform; nothing outside the frames.
  void DrawFrame(i32 frame, u32 color, bool mirrored);
  void DrawFrameState(SpriteFrameState* state, u32 color);
  ImageSprite* CreateImageSprite(bool mirror);
  // The texture part of frame 0 over the rectangle; all zero when not loaded.
  void MakeQuad(DXLQUAD* out, const DXLRECT& rect, u32 color);
  // A frame (negative: a random one) over the destination (a size of 0 takes
  // the source's, or the frame's), showing the source rectangle of the
  // texture when one is given; zeroed when not loaded or out of range.
  void MakeDrawItem(SPRITEDRAWITEM* out, i32 frame, const DXLRECTF& dest, const DXLRECT* source, u32 color,
                    bool mirror, i32 turn);
  void MakeDrawItemRect(SPRITEDRAWITEM* out, i32 frame, const DXLRECT& dest, const DXLRECT* source, u32 color,
                        bool mirror, i32 turn);
  void MakeDrawItemAt(SPRITEDRAWITEM* out, i32 frame, float x, float y, const DXLRECT* source, u32 color,
                      bool mirror, i32 turn);
  void MakeDrawItemAtI(SPRITEDRAWITEM* out, i32 frame, i32 x, i32 y, const DXLRECT* source, u32 color,
                       bool mirror, i32 turn);

  SpriteSet* GetSet() const { return set_; }
  const wchar* GetName() const { return name_; }
  DXLTexture* GetTexture() const { return texture_; }
  u32 GetForm() const { return form_; }
  i32 GetFrameCount() const { return frameCount_; }
  i32 GetFrameWidth() const { return frameWidth_; }
  i32 GetFrameHeight() const { return frameHeight_; }
  i32 GetTurn() const { return turn_; }
  bool HasMirror() const { return hasMirror_ != 0; }
  // A built frame's quad (or its mirror image); null outside the frames.
  const DXLQUAD* GetQuad(i32 frame, bool mirrored) const;
  const DXLDRAWSTATE* GetDrawState() const { return drawState_ ? &*drawState_ : nullptr; }
  const DXLFRAMESEQ* GetDefaultAnimation() const { return defaultAnimation_ ? &*defaultAnimation_ : nullptr; }

 private:
  // Frame building (SpriteFrames.cpp); each gives the frames built.
  i32 BuildFrames();
  i32 BuildGridLayout();
  i32 BuildExplicitLayout();
  i32 BuildGridFrames(i32 count, i32 frameWidth, i32 frameHeight, i32 areaWidth);
  bool AllocateFrames(i32 count);
  void MakeFrame(i32 index, const DXLRECT& rect);
  void TurnFrames();
  void FreeFrames();

  // The set's section readers make their sprites in the section's memory
  // (marked pooled) and give an explicit sprite its rectangles there too.
  friend class SpriteSet;
  struct KeptRects {
    const DXLRECT* rects;  // frameCount of them, kept by the caller for the sprite's life
  };
  Sprite(SpriteSet* set, const wchar* name, DXLTexture* texture, i32 frameCount, KeptRects rects, bool flipH,
         bool flipV, i32 turn);

  u32 form_;
  i32 wantedCount_;
  SPRITEGRID grid_{};                     // grid form
  const DXLRECT* rects_ = nullptr;        // explicit form: wantedCount_ rectangles
  std::unique_ptr<DXLRECT[]> ownRects_;   // where they are the sprite's own
  SpriteSet* set_;
  wchar name_[kSpriteNameSize] = {};
  DXLTexture* texture_;
  i32 frameCount_ = 0;
  i32 frameWidth_ = 0;
  i32 frameHeight_ = 0;
  u8 flipV_;
  u8 flipH_;
  u8 hasMirror_ = 1;
  u8 pooled_ = 0;                         // in its set's section memory
  i32 turn_;
  std::unique_ptr<DXLQUAD[]> quads_;      // frame count quads, then as many mirrored ones
  DXLQUAD* mirrored_ = nullptr;           // into quads_
  std::unique_ptr<DXLRECT[]> frameRects_;
  std::optional<DXLDRAWSTATE> drawState_;
  std::optional<DXLFRAMESEQ> defaultAnimation_;
};
