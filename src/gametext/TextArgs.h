// Small routines that live with the language code:
// - TextArgs, the argument cursor of the game's hint-text builder: a text
//   with its remaining length from which words are taken one by one;
// - VFormatTextW, the wide formatter of the game's data-error box.
#pragma once

#include <cstdarg>

#include "base/Identifier.h"
#include "base/Types.h"

// The cursor of the one tag being read (TextServices::args): Set starts it
// afresh for every tag.
struct TextArgsCursor {
  const wchar* text = nullptr;
  u32 length = 0;
  kis::Identifier lastWord;
  wchar lastChar = 0;
};

class TextArgs {
 public:
  static void Set(const wchar* text, u32 length);  // kis::kToTerminator: up to the zero
  static const wchar* GetText();
  static u32 GetLength();
  static const kis::Identifier& GetLastWord();
  static wchar GetLastChar();

  // The next word (blanks skipped; letters, digits and "_", for a float also
  // ".eE+-", for a signed number a leading sign) read as a number. An integer
  // is the word's leading digits ("12ab" 12, "ff" 0); the default when no
  // word follows or the value passes 32 bits. A float is the default also
  // when the word is no decimal number. The cursor moves past the word
  // either way.
  static i32 NextInt(i32 def);
  static u32 NextUInt(u32 def);
  static float NextFloat(float def);
  // The next word read as hexadecimal digits without a prefix (either case;
  // the first 16 count, the low 32 bits are the value); the default when no
  // word follows or the word holds any other character.
  static u32 NextHex(u32 def);
  // A one-character word followed by a blank or the end: "L" leaves value,
  // "U" increments it when it is at least 1, a digit replaces it, any other
  // character keeps it. False (nothing taken) for anything else.
  static bool NextChar(i32& value);

 private:
  static bool NextWord(bool floatChars, bool sign, wchar* word, u32* length);
};

constexpr u32 kFormatTextSize = 1000;

// Formats into a buffer of kFormatTextSize characters with the engine's
// UTF-16 formatter (DXLFormatWide.h: %s and %c take wide arguments); the
// result is cut to fit and always terminated. Characters written.
u32 VFormatTextW(wchar* buffer, const wchar* format, va_list arguments);
u32 FormatTextW(wchar* buffer, const wchar* format, ...);

