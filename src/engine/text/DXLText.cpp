#include "engine/text/DXLText.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "engine/DXLTexture.h"
#include "engine/DXLTextures.h"
#include "engine/text/EngineTextServices.h"

namespace {

template <class Ch>
u32 Length(const Ch* text) {
  u32 n = 0;
  while (text && text[n] != 0) ++n;
  return n;
}

}  // namespace

template <class Ch>
DXLTextT<Ch>::~DXLTextT() {
  ++updateCounter_;  // nothing is rebuilt while the text goes
  UnwatchAll();
  if (font_) font_->RemoveListener(this);
  font_ = nullptr;
  items_.clear();
  links_.clear();
  if (DXLTexture* texture = texture_) {
    texture_ = nullptr;
    texture->RemoveListener(this);
    delete texture;
  }
}

// --- Notifications and updates --------------------------------------------------------

template <class Ch>
void DXLTextT<Ch>::Notify(DXLNotifyObject* sender, u32 code) {
  if (!sender) return;
  if (texture_ && sender == static_cast<DXLNotifyObject*>(texture_)) {
    if (code == kNotifyDestroyed) {
      texture_ = nullptr;
      useTexture_ = 0;
    }
    return;
  }
  const bool base = font_ && sender == static_cast<DXLNotifyObject*>(font_);
  const bool used = IsWatched(sender);
  if (!base && !used) return;
  if (code == kNotifyDestroyed) {
    // The items may point at the object: they go now, whatever bracket is open.
    ClearItems();
    if (used) {
      GetEngineTextServices().handles.Forget(sender);
      watched_.erase(std::find(watched_.begin(), watched_.end(), sender));
    }
    if (base) font_ = nullptr;
    flags_ |= kFlagParse;
    Changed(this);
  } else if (code == kNotifyFontRebuilt) {
    flags_ |= kFlagParse;
    Changed(this);
  }
}

template <class Ch>
void DXLTextT<Ch>::Update(DXLUpdateableObject* source) {
  if (flags_ & kFlagParse) Parse();
  if (flags_ & kFlagLayout) Layout();
  if (useTexture_ && texture_) texture_->Load();
  DXLUpdateableObject::Update(source);
}

template <class Ch>
void DXLTextT<Ch>::Changed(DXLUpdateableObject* source) {
  flags_ |= kFlagLayout;
  DXLUpdateableObject::Changed(source);
}

template <class Ch>
void DXLTextT<Ch>::Assign(const DXLTextT& other) {
  BeginUpdate();
  SetText(nullptr);
  viewer_ = other.viewer_;
  CopySettings(other);
  SetText(other.GetText());
  EndUpdate();
}

// --- Settings ------------------------------------------------------------------------

// The items refer into the old text: they go with it until the next parse.
template <class Ch>
void DXLTextT<Ch>::SetTextInternal(const Ch* text, u32 length) {
  ClearItems();
  if (capacity_ == 0) {
    std::unique_ptr<Ch[]> copy;
    if (text) {
      copy = std::make_unique<Ch[]>(length + 1);
      std::copy(text, text + length, copy.get());
      copy[length] = 0;
    }
    text_ = std::move(copy);
    length_ = text ? length : 0;
  } else {
    const u32 n = std::min<u32>(length, capacity_);
    if (text) std::memmove(text_.get(), text, n * sizeof(Ch));
    text_[text ? n : 0] = 0;
    length_ = text ? n : 0;
  }
}

template <class Ch>
void DXLTextT<Ch>::SetText(const Ch* text) {
  if (!text || text != text_.get()) SetTextInternal(text, Length(text));
  flags_ |= kFlagParse;
  Changed(this);
}

template <class Ch>
void DXLTextT<Ch>::SetTextCapacity(u16 capacity) {
  if (capacity == capacity_) return;
  std::unique_ptr<Ch[]> old = std::move(text_);
  const u32 oldLength = length_;
  capacity_ = capacity;
  if (capacity_ > 0) {
    text_ = std::make_unique<Ch[]>(capacity_ + 1u);
    text_[0] = 0;
  }
  length_ = 0;
  SetTextInternal(old.get(), old ? oldLength : 0);
  flags_ |= kFlagParse;
  Changed(this);
}

template <class Ch>
void DXLTextT<Ch>::SetFont(Font* font) {
  if (font == font_) return;
  if (font_ && !IsWatched(font_)) font_->RemoveListener(this);
  font_ = font;
  if (font_) {
    font_->AddListener(this);
    if (!viewer_ && font_->GetTexture()) SetViewer(font_->GetTexture()->GetViewer());
  }
  flags_ |= kFlagParse;
  Changed(this);
}

// A texture made before the viewer was known joins it now.
template <class Ch>
void DXLTextT<Ch>::SetViewer(DXLViewer* viewer) {
  viewer_ = viewer;
  if (viewer_ && texture_ && !texture_->GetViewer() && !textures_) texture_->SetViewer(viewer_);
}

template <class Ch>
void DXLTextT<Ch>::SetWordWrap(bool on) {
  if ((wordWrap_ != 0) == on) return;
  wordWrap_ = on ? 1 : 0;
  Changed(this);
}

template <class Ch>
void DXLTextT<Ch>::SetMaxWidth(u32 width) {
  if (width == maxWidth_) return;
  maxWidth_ = width;
  if (wordWrap_) Changed(this);
}

template <class Ch>
void DXLTextT<Ch>::SetAlignment(u32 alignment) {
  if (alignment == alignment_) return;
  alignment_ = alignment;
  Changed(this);
}

template <class Ch>
void DXLTextT<Ch>::SetLineSpacing(i16 spacing) {
  if (spacing == lineSpacing_) return;
  lineSpacing_ = spacing;
  Changed(this);
}

template <class Ch>
void DXLTextT<Ch>::SetMarkupDisabled(bool disabled) {
  if ((markupDisabled_ != 0) == disabled) return;
  markupDisabled_ = disabled ? 1 : 0;
  flags_ |= kFlagParse;
  Changed(this);
}

// The texture draws the text modulated by the vertex colour, filtered and
// alpha-blended, and asks the text for its pixels only when the text reloads it.
template <class Ch>
void DXLTextT<Ch>::SetUseTexture(bool on) {
  if ((useTexture_ != 0) == on) return;
  if (DXLTexture* old = texture_) {
    texture_ = nullptr;
    old->RemoveListener(this);
    delete old;
  }
  useTexture_ = on ? 1 : 0;
  if (on) {
    texture_ = textures_ ? new DXLTexture(textures_) : new DXLTexture(viewer_);
    texture_->AddListener(this);
    texture_->SetTextureOp(4);
    texture_->SetFilter(1);
    texture_->SetBlendMode(1);
    texture_->SetSource(this, true);
    texture_->SetAutoReload(false);
  }
  Changed(this);
}

template <class Ch>
void DXLTextT<Ch>::CopySettings(const DXLTextT& other) {
  BeginUpdate();
  SetFont(other.font_);
  SetWordWrap(other.wordWrap_ != 0);
  SetMaxWidth(other.maxWidth_);
  SetAlignment(other.alignment_);
  SetLineSpacing(other.lineSpacing_);
  SetTextCapacity(other.capacity_);
  SetUseTexture(other.useTexture_ != 0);
  EndUpdate();
}

template <class Ch>
i32 DXLTextT<Ch>::GetWidth(bool laidOut) const {
  if (!wordWrap_ || maxWidth_ == 0) return naturalWidth_;
  return laidOut ? laidOutWidth_ : static_cast<i32>(std::min<u32>(maxWidth_, 0x7FFFFFFF));
}

// --- Listening -----------------------------------------------------------------------------

template <class Ch>
bool DXLTextT<Ch>::IsWatched(const DXLNotifyObject* object) const {
  return std::find(watched_.begin(), watched_.end(), object) != watched_.end();
}

template <class Ch>
void DXLTextT<Ch>::Watch(DXLNotifyObject* object) {
  if (!object || IsWatched(object)) return;
  watched_.push_back(object);
  object->AddListener(this);
}

template <class Ch>
void DXLTextT<Ch>::UnwatchAll() {
  for (DXLNotifyObject* o : watched_)
    if (o != static_cast<DXLNotifyObject*>(font_)) o->RemoveListener(this);
  watched_.clear();
}

// --- Parse ------------------------------------------------------------------------------------

template <class Ch>
void DXLTextT<Ch>::ClearItems() {
  items_.clear();
  links_.clear();
  lines_.clear();
  paragraphs_.clear();
  naturalWidth_ = laidOutWidth_ = totalHeight_ = 0;
  runActive_ = false;
  parsed_ = nullptr;
  parsedLength_ = 0;
  flags_ |= kFlagLayout;
}

// User tags: text outside brackets is copied; a bracketed tag (nested pairs
// belong to it) is offered to the callbacks in order, and the first that
// claims it replaces it. Unclaimed and unclosed tags stay as written.
template <class Ch>
void DXLTextT<Ch>::Expand() {
  expansion_.clear();
  const Ch* t = text_.get();
  const u32 n = length_;
  std::vector<Ch> scratch(kUserTagRoom);
  u32 i = 0;
  while (i < n && expansion_.size() < kMaxExpansion) {
    if (t[i] != Ch('[')) {
      expansion_.push_back(t[i++]);
      continue;
    }
    u32 depth = 0;
    u32 j = i;
    bool closed = false;
    for (; j < n; ++j) {
      if (t[j] == Ch('[')) {
        ++depth;
      } else if (t[j] == Ch(']') && --depth == 0) {
        closed = true;
        break;
      }
    }
    if (!closed) {
      expansion_.append(t + i, n - i);
      break;
    }
    const u32 count = j - i - 1;
    bool claimed = false;
    for (i32 k = 0; count > 0 && k < userTags_.GetCount() && !claimed; ++k) {
      UserTagProc proc = userTags_.Get(k);
      if (!proc) continue;
      scratch[0] = 0;
      if (proc(this, t + i + 1, count, scratch.data(), kUserTagRoom)) {
        scratch[kUserTagRoom - 1] = 0;
        expansion_.append(scratch.data());
        claimed = true;
      }
    }
    if (!claimed) expansion_.append(t + i, j + 1 - i);
    i = j + 1;
  }
  if (expansion_.size() > kMaxExpansion) expansion_.resize(kMaxExpansion);
}

template <class Ch>
void DXLTextT<Ch>::Parse() {
  ClearItems();
  UnwatchAll();
  if (texture_) texture_->Unload();
  states_.clear();
  flags_ &= static_cast<u8>(~kFlagParse);
  parsed_ = text_.get();
  parsedLength_ = length_;
  if (!text_ || length_ == 0) return;
  if (font_) {
    State s;
    s.kind = kTextStateFont;
    s.font = font_;
    s.color = font_->GetColor();
    Push(s);
  }
  if (userTags_.GetCount() > 0) {
    Expand();
    parsed_ = expansion_.c_str();
    parsedLength_ = static_cast<u32>(expansion_.size());
  }
  const Ch* t = parsed_;
  u32 i = 0;
  while (i < parsedLength_) {
    const Ch c = t[i];
    if (c == Ch(10)) {
      FinishRun();
      AddBreak();
      ++i;
    } else if (c == Ch(' ')) {
      FinishRun();
      AddSpace();
      ++i;
    } else if (c == Ch('<') && !markupDisabled_) {
      i = ReadTag(i);
    } else {
      AddChar(i);
      ++i;
    }
  }
  FinishRun();
  states_.clear();
}

template <class Ch>
const typename DXLTextT<Ch>::State* DXLTextT<Ch>::Current(u32 kind) const {
  for (auto it = states_.rbegin(); it != states_.rend(); ++it)
    if (it->kind == kind) return &*it;
  return nullptr;
}

template <class Ch>
void DXLTextT<Ch>::Push(const State& state) {
  states_.push_back(state);
}

// Closes the innermost open span of the kind, whatever tag opened it.
template <class Ch>
void DXLTextT<Ch>::Pop(u32 kind) {
  for (size_t i = states_.size(); i-- > 0;) {
    if (states_[i].kind != kind) continue;
    State s = states_[i];
    states_.erase(states_.begin() + static_cast<std::ptrdiff_t>(i));
    s.last = static_cast<i64>(items_.size()) - 1;
    if (kind == kTextStateGradient && s.last >= s.first) {
      ApplyGradient(s);
    } else if (kind == kTextStateLink && s.last >= s.first) {
      DXLTEXTLINK link;
      link.first = static_cast<u32>(s.first);
      link.last = static_cast<u32>(s.last);
      link.id = s.id;
      link.data = s.data;
      links_.push_back(std::move(link));
    }
    return;
  }
}

template <class Ch>
void DXLTextT<Ch>::AddChar(u32 at) {
  if (!runActive_) {
    const State* f = Current(kTextStateFont);
    runActive_ = true;
    runFirst_ = at;
    runCount_ = 0;
    runFont_ = f ? f->font : nullptr;
  }
  ++runCount_;
}

// A run with characters and a font becomes an item: an own copy of each
// character's glyph quad at the run's origin, in the current font colour.
template <class Ch>
void DXLTextT<Ch>::FinishRun() {
  if (!runActive_) return;
  runActive_ = false;
  Font* font = runFont_;
  if (runCount_ == 0 || !font) return;
  const State* f = Current(kTextStateFont);
  const u32 color = f ? f->color : 0xFFFFFFFFu;
  Item item;
  item.kind = kTextItemRun;
  item.font = font;
  item.height = font->GetHeight();
  item.baseline = font->GetAscent();
  item.extraSpacing = font->GetVSpacing();
  item.hSpacing = font->GetHSpacing();
  item.firstChar = runFirst_;
  item.charCount = runCount_;
  item.quads.resize(runCount_);
  item.glyphX.assign(runCount_, 0);
  i64 width = 0;
  for (u32 k = 0; k < runCount_; ++k) {
    const Ch c = parsed_[runFirst_ + k];
    if (!font->GetGlyph(c)) continue;
    width += std::max<i32>(0, font->GetAdvance(c) + item.hSpacing);
    if (const DXLQUAD* q = font->GetQuad(c)) {
      item.quads[k] = std::make_unique<DXLQUAD>(*q);
      for (DXLVERTEX& v : item.quads[k]->v) v.color = color;
    }
  }
  item.width = static_cast<i32>(std::min<i64>(width, 0x7FFFFFFF));
  items_.push_back(std::move(item));
}

template <class Ch>
void DXLTextT<Ch>::AddBreak() {
  const State* f = Current(kTextStateFont);
  const Font* font = f ? f->font : nullptr;
  const i32 h = font ? font->GetHeight() + font->GetVSpacing() : 0;
  // Only a height of 0 (no font) drops the break: a spacing that pulls the
  // lines closer than the font is tall is the font's to choose.
  if (h == 0) return;
  Item item;
  item.kind = kTextItemBreak;
  item.height = h;
  item.baseline = h;
  items_.push_back(std::move(item));
}

template <class Ch>
void DXLTextT<Ch>::AddSpace() {
  const State* f = Current(kTextStateFont);
  const Font* font = f ? f->font : nullptr;
  const i32 w = font ? font->GetSpace() + font->GetHSpacing() : 0;
  if (w == 0) return;  // as for breaks, only an empty space is dropped
  Item item;
  item.kind = kTextItemSpace;
  item.width = w;
  item.height = font->GetHeight();
  item.baseline = font->GetAscent();
  item.extraSpacing = font->GetVSpacing();
  items_.push_back(std::move(item));
}

template class DXLTextT<wchar>;
template class DXLTextT<char>;
