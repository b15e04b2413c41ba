// Text values of configuration texts and the bounded, converting copies that
// store them in caller buffers.
//
// A value is either a double-quoted string with backslash escapes ("\n" a
// line feed, "\r" a carriage return, a backslash before any other character
// stands for that character) or the raw rest of the text. Copies are bounded
// by the buffer's capacity in characters (terminating zero included), convert
// between 8-bit and wide text with a code page (0 = the ANSI code page), can
// count instead of store (capacity 0) and report whether they cut the value.
// A cut value is always a prefix of the whole value that ends on a character
// boundary: never half a surrogate pair or half a double-byte character.
//
// Result codes of the copies: 0 copied, 4 cut short, 1 malformed value
// (unterminated quote, escape at the very end, or anything but blanks or a
// "//" comment after a quoted string), 5 malformed and cut, 2 null buffer with
// a non-zero capacity (nothing copied, count 0).
#pragma once

#include "base/Types.h"

namespace kis {

constexpr u32 kCopyDone = 0;
constexpr u32 kCopyMalformed = 1;
constexpr u32 kCopyNullBuffer = 2;
constexpr u32 kCopyCut = 4;

// The destination of one copy: where the next characters go, the room left
// and what was produced. Every copy and every scanned string starts its own.
struct TextSink {
  void* dest = nullptr;  // next free slot (char or wchar as `wide` says)
  bool wide = false;
  bool countOnly = false;
  bool cut = false;
  u32 room = 0;          // characters left, terminating zero included
  u32 count = 0;         // characters produced (or needed, when counting)
  u32 codePage = 0;

  // capacity 0 counts only; otherwise the buffer is zero-terminated at once.
  void Begin(void* buffer, bool wideDest, u32 capacity, u32 page);
};

// Append one piece of text to the sink, converted to its width. Nothing
// happens once the sink was cut; a piece that does not fit is stored as far
// as it fits and cuts the sink. The destination stays zero-terminated.
void EmitWide(TextSink& sink, const wchar* text, u32 length);        // wide into wide
void EmitWideAsAnsi(TextSink& sink, const wchar* text, u32 length);  // wide into 8-bit
void EmitAnsi(TextSink& sink, const char* text, u32 length);         // 8-bit into 8-bit
void EmitAnsiAsWide(TextSink& sink, const char* text, u32 length);   // 8-bit into wide
// Picks the emitter by the piece's width and the sink's.
void Emit(TextSink& sink, const wchar* text, u32 length);
void Emit(TextSink& sink, const char* text, u32 length);

// Reads the double-quoted string at `cursor` (which points at the opening
// quote) into the sink and moves the cursor past the closing quote. False for
// an unterminated string or an escape at the very end (the cursor then stands
// at the end of the text).
bool ReadQuotedValue(const wchar*& cursor, TextSink& sink);
bool ReadQuotedValue(const char*& cursor, TextSink& sink);

// Value copies of a zero-terminated value text; `count` receives the number
// of characters produced (or needed, for capacity 0).
u32 CopyValueWToA(const wchar* text, char* buffer, u32 capacity, u32 codePage, u32* count);
u32 CopyValueWToW(const wchar* text, wchar* buffer, u32 capacity, u32 codePage, u32* count);
u32 CopyValueAToA(const char* text, char* buffer, u32 capacity, u32 codePage, u32* count);
u32 CopyValueAToW(const char* text, wchar* buffer, u32 capacity, u32 codePage, u32* count);

// Exactly *count characters of text, no quote or escape processing; *count
// becomes the number of characters produced. Results 0, 4 or 2.
u32 CopyRawWToA(const wchar* text, char* buffer, u32 capacity, u32 codePage, u32* count);
u32 CopyRawWToW(const wchar* text, wchar* buffer, u32 capacity, u32 codePage, u32* count);

// Whole-text conversions: *length goes in as the source length and comes out
// as the number of characters produced. True when nothing was cut.
bool ConvertWideToAnsi(char* buffer, u32 capacity, const wchar* text, u32* length, u32 codePage);
bool CopyWideText(wchar* buffer, u32 capacity, const wchar* text, u32* length);
bool ConvertAnsiToWide(wchar* buffer, u32 capacity, const char* text, u32* length, u32 codePage);

}  // namespace kis
