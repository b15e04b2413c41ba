#include "gametext/KGEMarkup.h"

#include "platform/encoding/Ascii.h"

namespace {

constexpr u32 kMaxNameLetters = 8;
constexpr u32 kMaxHexDigits = 8;

// A cursor over the tag's code units; reading past the end gives 0.
template <typename Char>
class Cursor {
 public:
  Cursor(const Char* text, u32 length) : text_(text), length_(length) {}

  u32 Peek() const { return pos_ < length_ ? static_cast<u32>(text_[pos_]) : 0; }
  void Next() { ++pos_; }
  u32 Pos() const { return pos_; }
  void SkipBlanks() {
    while (pos_ < length_ && IsBlank(Peek())) ++pos_;
  }
  static bool IsBlank(u32 c) { return c == ' ' || c == '\t'; }
  // A value ends at a blank, "," or ">".
  bool AtValueEnd() const {
    const u32 c = Peek();
    return pos_ < length_ && (IsBlank(c) || c == ',' || c == '>');
  }

  // 1 to 8 letters, lower-cased into `name`.
  bool Name(char (&name)[kMaxNameLetters + 1]) {
    u32 n = 0;
    while (plat::IsAsciiLetter(Peek())) {
      if (n == kMaxNameLetters) return false;
      name[n++] = static_cast<char>(plat::AsciiToLower(Peek()));
      Next();
    }
    name[n] = 0;
    return n != 0;
  }

  // A whole-word keyword (any case) ending a value.
  bool Keyword(const char* word) {
    const u32 start = pos_;
    for (u32 i = 0; word[i]; ++i) {
      if (plat::AsciiToLower(Peek()) != static_cast<u32>(word[i])) {
        pos_ = start;
        return false;
      }
      Next();
    }
    if (AtValueEnd()) return true;
    pos_ = start;
    return false;
  }

  // Up to 8 hexadecimal digits not counting leading zeros; none gives 0.
  bool Hex(u32* value) {
    u32 v = 0, significant = 0;
    for (;;) {
      const int d = plat::HexDigitValue(Peek());
      if (d < 0) break;
      if (v != 0 || d != 0) {
        if (++significant > kMaxHexDigits) return false;
      }
      v = (v << 4) | static_cast<u32>(d);
      Next();
    }
    *value = v;
    return AtValueEnd();
  }

  // Decimal with an optional sign, magnitude at most 2147483647.
  bool Number(i32* value) {
    bool negative = false;
    if (Peek() == '+' || Peek() == '-') {
      negative = Peek() == '-';
      Next();
    }
    i64 v = 0;
    bool any = false;
    while (Peek() >= '0' && Peek() <= '9') {
      v = v * 10 + (Peek() - '0');
      if (v > 2147483647) return false;
      any = true;
      Next();
    }
    if (!any || !AtValueEnd()) return false;
    *value = static_cast<i32>(negative ? -v : v);
    return true;
  }

  bool Colour(u32* value) {
    u32 v = 0;
    if (!Hex(&v)) return false;
    *value = 0xFF000000u | (v & 0xFFFFFFu);
    return true;
  }

  bool Handle(u32* value) {
    if (Peek() != '@') return false;
    Next();
    const u32 start = pos_;
    if (!Hex(value)) return false;
    return pos_ != start;
  }

  bool NumberOrDefault(i32* value) {
    if (Keyword("default")) {
      *value = kKGEMarkupDefault;
      return true;
    }
    return Number(value);
  }

  // "," between list items, blanks allowed after it.
  bool Comma() {
    if (Peek() != ',') return false;
    Next();
    SkipBlanks();
    return true;
  }

  // Blanks, then "=", then blanks.
  bool Equals() {
    SkipBlanks();
    if (Peek() != '=') return false;
    Next();
    SkipBlanks();
    return true;
  }

 private:
  const Char* text_;
  u32 length_;
  u32 pos_ = 0;
};

bool Is(const char* a, const char* b) {
  while (*a && *a == *b) {
    ++a;
    ++b;
  }
  return *a == *b;
}

template <typename Char>
bool ImageAttributes(Cursor<Char>& c, KGETAG* tag) {
  u32 seen = 0;
  enum : u32 { kColor = 1, kLayout = 2, kWidth = 4, kHeight = 8, kOffset = 16, kRect = 32 };
  for (;;) {
    const bool blank = Cursor<Char>::IsBlank(c.Peek());
    c.SkipBlanks();
    if (c.Peek() == '>') return true;
    if (!blank) return false;
    char name[kMaxNameLetters + 1];
    if (!c.Name(name) || !c.Equals()) return false;
    u32 bit = 0;
    bool ok = false;
    if (Is(name, "color")) {
      bit = kColor;
      if (c.Keyword("current")) {
        tag->colorMode = kKGEImageColorCurrent;
        ok = true;
      } else if (c.Keyword("default")) {
        tag->colorMode = kKGEImageColorOwn;
        ok = true;
      } else {
        tag->colorMode = kKGEImageColorValue;
        ok = c.Colour(&tag->imageColor);
      }
    } else if (Is(name, "layout")) {
      bit = kLayout;
      ok = true;
      if (c.Keyword("top")) {
        tag->layout = 0;
      } else if (c.Keyword("center")) {
        tag->layout = 1;
      } else if (c.Keyword("bottom")) {
        tag->layout = 2;
      } else {
        ok = false;
      }
    } else if (Is(name, "width") || Is(name, "w")) {
      bit = kWidth;
      ok = c.NumberOrDefault(&tag->width);
    } else if (Is(name, "height") || Is(name, "h")) {
      bit = kHeight;
      ok = c.NumberOrDefault(&tag->height);
    } else if (Is(name, "offset")) {
      bit = kOffset;
      ok = c.Number(&tag->offsetX) && c.Comma() && c.Number(&tag->offsetY);
    } else if (Is(name, "rect")) {
      bit = kRect;
      ok = c.Number(&tag->rect[0]) && c.Comma() && c.Number(&tag->rect[1]) && c.Comma() &&
           c.NumberOrDefault(&tag->rect[2]) && c.Comma() && c.NumberOrDefault(&tag->rect[3]);
      tag->hasRect = ok;
    }
    if (!ok || (seen & bit) != 0) return false;
    seen |= bit;
  }
}

}  // namespace

template <typename Char>
u32 KGEParseTag(const Char* text, u32 length, KGETAG* tag) {
  if (!text || !tag || length < 3 || static_cast<u32>(text[0]) != '<') return 0;
  *tag = KGETAG{};
  tag->width = tag->height = kKGEMarkupDefault;
  Cursor<Char> c(text, length);
  c.Next();
  bool closing = false;
  if (c.Peek() == '/') {
    closing = true;
    c.Next();
  }
  char name[kMaxNameLetters + 1];
  if (!c.Name(name)) return 0;
  const bool isColor = Is(name, "color") || Is(name, "c");
  if (closing) {
    if (isColor) {
      tag->kind = kKGETagColorEnd;
    } else if (Is(name, "font")) {
      tag->kind = kKGETagFontEnd;
    } else {
      return 0;
    }
  } else if (Is(name, "br")) {
    tag->kind = kKGETagBreak;
  } else {
    if (!c.Equals()) return 0;
    bool ok = false;
    if (isColor) {
      tag->kind = kKGETagColor;
      tag->isDefault = c.Keyword("default");
      ok = tag->isDefault || c.Colour(&tag->color);
    } else if (Is(name, "font")) {
      tag->kind = kKGETagFont;
      tag->isDefault = c.Keyword("default");
      ok = tag->isDefault || c.Handle(&tag->handle);
    } else if (Is(name, "space")) {
      tag->kind = kKGETagSpace;
      ok = c.Number(&tag->number);
    } else if (Is(name, "image")) {
      tag->kind = kKGETagImage;
      ok = c.Handle(&tag->handle) && ImageAttributes(c, tag);
    }
    if (!ok) return 0;
  }
  c.SkipBlanks();
  if (c.Peek() != '>' || c.Pos() >= length) return 0;
  return c.Pos() + 1;
}

template u32 KGEParseTag<wchar>(const wchar*, u32, KGETAG*);
template u32 KGEParseTag<u8>(const u8*, u32, KGETAG*);
