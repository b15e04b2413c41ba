// ComixList - the comic pages of the "COMX" section, read whole at start-up
// and kept until exit; the comic book (windows/ComixBook.h) starts them by
// number.
//
// Layout: u32 page count; per page i32 x, i32 y (the page's offset from the
// screen centre), u32 part count, then that many parts. A part is a 44-byte
// header (u32 record size = 44 + 72 x (a + b + c), i32 x, y, i32 effect
// centre x, y, u32 a, b, c, three unused words) and then a first-layer
// pictures, b second-layer pictures and c texts of 72 bytes each (a name
// of 32 UTF-16 units, i32 x, i32 y). A picture names a sprite of sprite set
// 16, a text a key of the language's comic list.
//
// A stored size that differs from the one its counts give (counted in 64
// bits, so counts whose sum wraps never match), and page or part counts
// that the section's bytes cannot hold, fail the section.
#pragma once

#include <memory>
#include <vector>

#include "base/Types.h"
#include "content/ContentArchive.h"
#include "content/ContentServices.h"
#include "resources/ResourceServices.h"

namespace kis {
class BaseDataFileReader;
}

constexpr u32 kComixSectionId = SectionTag('C', 'O', 'M', 'X');
constexpr u32 kComixSectionSubId = 256;
constexpr u32 kComixPartHeaderSize = 44;
constexpr u32 kComixEntrySize = 72;
constexpr u32 kComixNameSize = 32;
constexpr u32 kComixPageHeaderSize = 12;
constexpr u32 kComixSpriteSet = 16;  // the comics' pictures

struct COMIXENTRY {
  wchar name[kComixNameSize] = {};
  i32 x = 0;  // offset from the part's position
  i32 y = 0;
};

struct COMIXPART {
  i32 x = 0;  // page coordinates
  i32 y = 0;
  i32 centerX = 0;  // where its appearing effects scale about
  i32 centerY = 0;
  std::vector<COMIXENTRY> pictures;  // first layer
  std::vector<COMIXENTRY> overlays;  // second layer, shown once the part has appeared
  std::vector<COMIXENTRY> texts;

  // 44 + 72 x (a + b + c), in 64 bits.
  u64 RecordSize() const {
    return kComixPartHeaderSize + u64{kComixEntrySize} * (pictures.size() + overlays.size() + texts.size());
  }
};

struct ComixPage {
  i32 x = 0;
  i32 y = 0;
  std::vector<COMIXPART> parts;  // in file order
  bool acquired = false;         // its sprites are initialised
};

class ComixList {
 public:
  // Reads the whole section in one call; returns 1 (the cursor's error
  // flag tells a failure, and nothing read is kept then).
  i32 ReadSection(kis::BaseDataFileReader* reader, SectionCursor* cursor);

  u32 GetCount() const { return static_cast<u32>(pages_.size()); }
  ComixPage* Get(u32 i) const { return i < pages_.size() ? pages_[i].get() : nullptr; }
  void Add(const ComixPage& page) { pages_.push_back(std::make_unique<ComixPage>(page)); }
  void Clear() { pages_.clear(); }

 private:
  std::vector<std::unique_ptr<ComixPage>> pages_;
};

// The section's body for these pages (the writer of the data builder).
std::vector<u8> ComixSection(const std::vector<ComixPage>& pages);

// The game's comics (installed in the content services), or null.
inline ComixList* GetComixList() { return GetContentServices().comics; }
