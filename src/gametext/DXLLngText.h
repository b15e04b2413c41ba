// DXLLngText - one key with one or more texts (variants), held in a single
// block of memory: the header, the (length, characters) pairs and every
// variant's characters with its terminating zero. Made by MakeLngText from a
// value in the language's syntax, or allocated empty for a reader to fill,
// and freed at once with FreeLngText.
//
// Value syntax: a value that begins with a double quote is a list of quoted
// variants separated by commas ("a", "b"), optionally followed by a "//"
// comment; a backslash and the character after it stand for one character
// ("\n" a line feed, "\r" a carriage return, any other character itself).
// Any other value, and a quoted list that does not follow these rules, is one
// variant holding the whole value (backslash pairs still count as one
// character; a single backslash at the very end is dropped).
#pragma once

#include "base/Identifier.h"
#include "base/Types.h"

struct DXLLngVariant {
  u32 length;   // characters, without the terminator
  wchar* text;  // into the same block
};

struct DXLLngText {
  kis::Identifier key;
  u32 count;  // variants, at least 1
  u32 total;  // characters of all variants, terminators not counted

  DXLLngVariant* Variants() { return reinterpret_cast<DXLLngVariant*>(this + 1); }
  const DXLLngVariant* Variants() const { return reinterpret_cast<const DXLLngVariant*>(this + 1); }
  const wchar* First() const { return Variants()[0].text; }
  const wchar* Variant(u32 i) const { return i < count ? Variants()[i].text : nullptr; }
};

// A text of `count` variants and `total` characters with the key set and
// every variant empty, its character room laid out for FillLngVariant; null
// when the numbers are out of range or memory runs out. Freed with
// FreeLngText, as are the texts of MakeLngText.
DXLLngText* AllocLngText(const kis::Identifier& key, u32 count, u32 total);
// Stores variant i (in order, i = 0, 1, ...) right after variant i - 1, in
// time of its own length; false when it does not fit the room left or
// variant i - 1 is not filled yet.
bool FillLngVariant(DXLLngText* text, u32 i, const wchar* chars, u32 length);
void FreeLngText(DXLLngText* text);

// The text of a key (one identifier of at most 31 characters) and a value
// (kis::kToTerminator: up to its zero); null for no value, a bad key or no
// memory. Freed with FreeLngText.
DXLLngText* MakeLngText(const wchar* key, u32 keyLength, const wchar* value, u32 valueLength);
