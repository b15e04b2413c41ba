// DXLTextW / DXLTextA - the engine's rich text: a string with an inline tag
// language, parsed into a flat list of items (text runs, spaces, line breaks,
// images), laid out into lines (word wrap, alignment, justification, line
// spacing) and, when texture use is on, rendered into a texture of its own.
//
// Tags (names and attribute names in any case):
//   <FONT=h COLOR=c> ... </FONT>   font by registry handle h, colour
//   <COLOR=c> ... </COLOR>          colour in the current font
//   <GRAD COLOR1=c COLOR2=c> ... </GRAD>   colour gradient left to right
//   <LINK ID=i DATA=d> ... </LINK>  a clickable span with its rectangles
//   <IMAGE=h QUAD=q WIDTH= HEIGHT= LT= AL= OFSY= COLOR=c>  an inline image
// Values are bare hexadecimal digits; image sizes are decimal, optionally a
// percentage. Fonts, textures and quads are named by their handles in
// DXLTextHandles: a tag naming an unknown handle, or a tag of another name,
// stays in the text as it is written. A closing tag closes the innermost open
// span of its kind; spans left open are dropped.
//
// User tags in square brackets are offered to the registered callbacks in
// order before the mark-up is read; the first that claims a tag replaces it
// (brackets included) by the text it writes, at most `room` units with the
// terminator.
//
// Nothing is reported: the work of a change is done in Update (parse, then
// layout, then the texture), once per update bracket. The text listens to
// every font and image texture its items use: one that goes away empties the
// items at once and the text is parsed again without it; a font that rebuilds
// its glyphs makes the text parse again.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "base/List.h"
#include "base/Types.h"
#include "engine/DXLDrawTypes.h"
#include "engine/DXLRect.h"
#include "engine/DXLTextureSource.h"
#include "engine/DXLUpdateableObject.h"
#include "engine/text/DXLFont.h"

class DXLTexture;
class DXLTextures;
class DXLViewer;

template <class Ch>
class DXLTextT;

// Item kinds.
constexpr u8 kTextItemRun = 1;
constexpr u8 kTextItemSpace = 2;
constexpr u8 kTextItemBreak = 3;
constexpr u8 kTextItemImage = 4;

// Alignments.
constexpr u32 kTextAlignLeft = 0;
constexpr u32 kTextAlignCentre = 1;
constexpr u32 kTextAlignRight = 2;
constexpr u32 kTextAlignJustify = 3;

// State kinds.
constexpr u32 kTextStateFont = 1;
constexpr u32 kTextStateGradient = 2;
constexpr u32 kTextStateLink = 4;

// One element of the item list; the unit of layout.
template <class Ch>
struct DXLTEXTITEMT {
  u8 kind = 0;
  i32 extraSpacing = 0;  // the font's vertical spacing (runs and spaces)
  i32 height = 0;
  i32 baseline = 0;      // from the item's top
  i32 hSpacing = 0;      // the run font's horizontal spacing
  i32 width = 0;         // advance
  i32 x = 0;             // last placement (images; runs keep x per glyph)
  i32 y = 0;
  // Runs.
  DXLFontT<Ch>* font = nullptr;
  u32 charCount = 0;
  u32 firstChar = 0;     // in the parsed text
  std::vector<std::unique_ptr<DXLQUAD>> quads;  // one per character; null without a glyph quad
  std::vector<i32> glyphX;                      // per character: its pen at the last placement
  // Images.
  DXLTexture* image = nullptr;
  u32 color = 0;
  DXLQUAD placement{};
  std::unique_ptr<DXLQUAD> source;  // the image's source quad (owned copy)
};
using DXLTEXTITEM = DXLTEXTITEMT<wchar>;

// One entry of the state stack.
template <class Ch>
struct DXLTEXTSTATET {
  u32 kind = 0;
  DXLFontT<Ch>* font = nullptr;  // font
  u32 color = 0;                 // font; gradient: first colour
  u32 color2 = 0;                // gradient: second colour
  u32 id = 0;                    // link
  u32 data = 0;                  // link
  i64 first = 0;                 // gradient and link: first item
  i64 last = 0;
};

// One finished LINK span and the rectangles covering it, in text pixels.
struct DXLTEXTLINK {
  u32 first = 0;
  u32 last = 0;
  u32 id = 0;
  u32 data = 0;
  std::vector<DXLRECT> rects;
};

struct DXLTEXTPARAGRAPH {
  i32 width = 0;
  i32 height = 0;
  u32 first = 0;
  u32 last = 0;
};

struct DXLTEXTLINE {
  u32 first = 0;
  u32 end = 0;  // the item after the last
  i32 height = 0;
};

template <class Ch>
class DXLTextT : public DXLUpdateableObject, public DXLTextureSource {
 public:
  using Item = DXLTEXTITEMT<Ch>;
  using State = DXLTEXTSTATET<Ch>;
  using Font = DXLFontT<Ch>;
  // Returns non-zero when it wrote a terminated replacement of the `count`
  // characters at `tag` (the "]" follows them) into `out`.
  using UserTagProc = u8 (*)(DXLTextT* text, const Ch* tag, u32 count, Ch* out, u32 room);

  static constexpr u32 kUserTagRoom = 1024;      // units a callback may write, terminator included
  static constexpr u32 kMaxExpansion = 1u << 20;  // units of text after user tags
  static constexpr i32 kMaxTextureSide = 1024;

  DXLTextT() = default;
  ~DXLTextT() override;

  void Notify(DXLNotifyObject* sender, u32 code) override;
  // Parses and lays out what is due, then renders the texture again.
  void Update(DXLUpdateableObject* source) override;
  void Changed(DXLUpdateableObject* source) override;  // marks the layout first
  virtual void Assign(const DXLTextT& other);
  // Renders the text runs into `texture` (at most 1024 x 1024).
  void LoadTexture(DXLTexture* texture) override;

  // --- Settings ----------------------------------------------------------------
  void SetText(const Ch* text);
  void SetTextCapacity(u16 capacity);  // 0: an exact copy; n: cut to n characters
  void SetFont(Font* font);
  void SetWordWrap(bool on);
  void SetMaxWidth(u32 width);
  void SetAlignment(u32 alignment);
  void SetLineSpacing(i16 spacing);
  void SetViewer(DXLViewer* viewer);  // also gives a texture made without one its viewer
  void SetUseTexture(bool on);
  void SetTextureList(DXLTextures* textures) { textures_ = textures; }  // used when the texture is made
  void SetMarkupDisabled(bool disabled);
  void CopySettings(const DXLTextT& other);

  const Ch* GetText() const { return text_.get(); }
  u32 GetLength() const { return length_; }
  u16 GetTextCapacity() const { return capacity_; }
  Font* GetFont() const { return font_; }
  bool GetWordWrap() const { return wordWrap_ != 0; }
  u32 GetMaxWidth() const { return maxWidth_; }
  u32 GetAlignment() const { return alignment_; }
  i16 GetLineSpacing() const { return lineSpacing_; }
  DXLViewer* GetViewer() const { return viewer_; }
  bool GetUseTexture() const { return useTexture_ != 0; }
  bool IsMarkupDisabled() const { return markupDisabled_ != 0; }
  kis::list<UserTagProc>& GetUserTags() { return userTags_; }

  // --- Results -------------------------------------------------------------------
  i32 GetHeight() const { return totalHeight_; }
  // Natural width without word wrap or maximum width; otherwise the laid-out
  // width when `laidOut` is set, else the maximum width.
  i32 GetWidth(bool laidOut = true) const;
  i32 GetNaturalWidth() const { return naturalWidth_; }
  i32 GetLaidOutWidth() const { return laidOutWidth_; }
  const Ch* GetParsedText() const { return parsed_; }
  u32 GetItemCount() const { return static_cast<u32>(items_.size()); }
  const Item& GetItem(u32 index) const { return items_[index]; }
  u32 GetLinkCount() const { return static_cast<u32>(links_.size()); }
  const DXLTEXTLINK& GetLink(u32 index) const { return links_[index]; }
  u32 GetLineCount() const { return static_cast<u32>(lines_.size()); }
  const DXLTEXTLINE& GetLine(u32 index) const { return lines_[index]; }
  DXLTexture* GetTexture() const { return texture_; }
  const DXLQUAD& GetQuad() const { return quad_; }  // the own texture at (0, 0)
  bool NeedsParse() const { return (flags_ & kFlagParse) != 0; }
  bool NeedsLayout() const { return (flags_ & kFlagLayout) != 0; }

  void Layout();

 private:
  static constexpr u8 kFlagParse = 1;
  static constexpr u8 kFlagLayout = 2;

  struct Attributes;

  // Parse.
  void Parse();
  void Expand();
  void ClearItems();
  u32 ReadTag(u32 at);
  bool ReadAttributes(u32 tag, u32* pos, Attributes* a) const;
  void AddChar(u32 at);
  void FinishRun();
  void AddBreak();
  void AddSpace();
  void AddImage(DXLTexture* texture, const DXLQUAD* quad, const Attributes& a);
  void Push(const State& state);
  void Pop(u32 kind);
  const State* Current(u32 kind) const;
  void Watch(DXLNotifyObject* object);
  void UnwatchAll();
  bool IsWatched(const DXLNotifyObject* object) const;
  void SetTextInternal(const Ch* text, u32 length);

  // Layout.
  void ApplyGradient(const State& gradient);
  void PlaceItem(Item& item, i32 x, i32 y);
  void ShiftItem(Item& item, i32 dx, i32 dy);
  void MoveGlyph(Item& item, u32 glyph, i32 dx);
  i32 RangeWidth(u32 a, u32 b) const;
  void LineMetrics(u32 a, u32 b, i32* greatest, i32* baseline) const;
  i32 LineHeight(u32 a, u32 b) const;
  i32 AlignOffset(i32 width) const;
  void PlaceLine(u32 s, u32 e, i32 y);
  void Justify(u32 s, u32 e);
  bool IsLastContent(u32 e) const;
  void BuildLinkRegions();

  DXLViewer* viewer_ = nullptr;
  Font* font_ = nullptr;
  u32 wordWrap_ = 0;
  u32 maxWidth_ = 0;
  u32 alignment_ = kTextAlignLeft;
  i16 lineSpacing_ = 0;
  std::unique_ptr<Ch[]> text_;
  u32 length_ = 0;
  u16 capacity_ = 0;
  const Ch* parsed_ = nullptr;
  u32 parsedLength_ = 0;
  std::basic_string<Ch> expansion_;  // this text's own: items refer into it
  kis::list<UserTagProc> userTags_;
  u32 markupDisabled_ = 0;
  i32 naturalWidth_ = 0;
  i32 laidOutWidth_ = 0;
  i32 totalHeight_ = 0;
  u32 useTexture_ = 0;
  DXLTexture* texture_ = nullptr;
  DXLTextures* textures_ = nullptr;
  DXLQUAD quad_{};
  std::vector<DXLTEXTPARAGRAPH> paragraphs_;
  std::vector<Item> items_;
  std::vector<DXLTEXTLINE> lines_;
  std::vector<DXLTEXTLINK> links_;
  std::vector<State> states_;
  std::vector<DXLNotifyObject*> watched_;  // fonts and images the items use
  // The run being collected.
  bool runActive_ = false;
  u32 runFirst_ = 0;
  u32 runCount_ = 0;
  Font* runFont_ = nullptr;
  u8 flags_ = 0;
};

using DXLTextW = DXLTextT<wchar>;
using DXLTextA = DXLTextT<char>;

extern template class DXLTextT<wchar>;
extern template class DXLTextT<char>;
