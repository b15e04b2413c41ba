// SpriteBatch - the window highlight: while it collects, every quad the game
// draws is drawn as usual and also written into the stencil buffer (where its
// texture's alpha passes the alpha test); Flush then tints the collected
// areas with one colour, each pixel once however many areas cover it.
//
// The queue holds 32 entries inside the object and allocates nothing. With
// merge on it keeps one entry and grows it to the bounding box of every
// quad collected (compared by translation only). A quad that finds the queue
// full is still drawn, only not queued.
#pragma once

#include "base/Types.h"
#include "engine/DXLDrawTypes.h"

class SpriteBatch {
 public:
  static constexpr i32 kCapacity = 32;

  struct Entry {
    DXLMATRIX transform;       // the world transform the quad was drawn under
    DXLCOLORVERTEX quad[4];    // top-left, top-right, bottom-right, bottom-left
  };

  SpriteBatch();

  // Starts collecting (a second Begin while collecting changes nothing).
  void Begin(bool merge, u32 reference, u32 alphaReference);
  void End();  // stops collecting; the queue stays for Flush
  // Reached through DrawQuad while collecting. A null quad, or one whose
  // first vertex is fully transparent, is dropped.
  void AddQuad(const DXLQUAD* quad);
  // Tints the queued areas and empties the queue: nothing while collecting
  // or with an empty queue. The blend mode applies when the colour's alpha
  // is below 0xFF, otherwise mode 0.
  void Flush(u32 color, u32 blendMode);

  bool IsCollecting() const { return collecting_ != 0; }
  bool IsMerging() const { return merge_ != 0; }
  i32 GetCount() const { return count_; }
  const Entry& GetEntry(i32 index) const { return entries_[index]; }
  const DXLSTENCILDATA& GetMarkState() const { return mark_; }
  const DXLSTENCILDATA& GetFillState() const { return fill_; }

 private:
  void Merge(const DXLQUAD& quad, const DXLMATRIX& now);

  DXLSTENCILDATA mark_;
  DXLSTENCILDATA fill_;
  i32 count_ = 0;
  Entry entries_[kCapacity];
  DXLMATRIX scratch_;
  u8 merge_ = 0;
  u8 collecting_ = 0;
};
