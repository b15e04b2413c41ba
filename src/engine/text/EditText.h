// The text storage of the engine's single-line edit box, a chain of class
// templates over the character type Ch, the capacity in characters and a
// kind argument that nothing depends on:
//   _EditTextValBase (the length) <- _EditTextVal (the characters)
//   <- _EditTextBase (the set of allowed characters, insertion, deletion).
// The text always holds at most Size characters and a terminator; characters
// outside the allowed set (every control character among them) never enter
// it, and what does not fit is cut. Nothing is reported.
#pragma once

#include <cstring>
#include <type_traits>

#include "base/Types.h"

constexpr u32 kEditCountAll = 0xFFFFFFFFu;  // a count meaning "up to the terminator"

template <class Ch, u32 Size>
class _EditTextValBase {
 public:
  _EditTextValBase() = default;
  _EditTextValBase(const _EditTextValBase&) = delete;
  _EditTextValBase& operator=(const _EditTextValBase&) = delete;

  // Called with the new length before the text grows at its end.
  virtual void SetCapacity(u32 newLength) = 0;
  virtual ~_EditTextValBase() = default;

  u32 GetLength() const { return length_; }

 protected:
  u32 length_ = 0;
};

template <class Ch, u32 Size, u32 Kind>
class _EditTextVal : public _EditTextValBase<Ch, Size> {
 public:
  _EditTextVal() { chars_[0] = 0; }
  void SetCapacity(u32) override {}
  ~_EditTextVal() override = default;

  const Ch* GetText() const { return chars_; }

  // Replaces the text from `position` on (clamped to the length) with up to
  // Size - position allowed characters of `text`; position 0 and count all
  // set the whole text. Returns the number written. The owner tells the box
  // of the change afterwards.
  u32 SetTextFrom(u32 position, const Ch* text, u32 count) {
    if (position > this->length_) position = this->length_;
    if (position >= Size) return 0;
    const u64 end = static_cast<u64>(position) + count;
    const u32 newEnd = end > Size ? Size : static_cast<u32>(end);
    if (newEnd > this->length_) this->SetCapacity(newEnd);
    const u32 written = CopyFiltered(chars_ + position, Size - position, text, count);
    this->length_ = position + written;
    chars_[this->length_] = 0;
    return written;
  }

 protected:
  virtual bool IsAllowed(Ch c) const { return c != 0; }

  // Copies the allowed characters of `text` (count all: up to its
  // terminator; a zero inside a counted text is skipped) until `room` of
  // them are written. Returns the number written.
  u32 CopyFiltered(Ch* dest, u32 room, const Ch* text, u32 count) const {
    if (!text) return 0;
    u32 written = 0;
    for (u32 i = 0; written < room && (count == kEditCountAll || i < count); ++i) {
      const Ch c = text[i];
      if (c == 0 && count == kEditCountAll) break;
      if (c != 0 && IsAllowed(c)) dest[written++] = c;
    }
    return written;
  }

  Ch chars_[Size + 1];
};

template <class Ch, u32 Size, u32 Kind>
class _EditTextBase : public _EditTextVal<Ch, Size, Kind> {
 public:
  using Unit = std::make_unsigned_t<Ch>;
  static constexpr u32 kUnits = 1u << (8 * sizeof(Ch));

  _EditTextBase() { std::memset(allowed_, 0, sizeof(allowed_)); }
  ~_EditTextBase() override = default;

  // Every character of the list with a code of 32 or more may enter the text.
  void SetAllowedChars(const Ch* list) {
    std::memset(allowed_, 0, sizeof(allowed_));
    if (!list) return;
    for (const Ch* p = list; *p != 0; ++p)
      if (static_cast<Unit>(*p) >= 32) allowed_[static_cast<Unit>(*p)] = 1;
  }
  bool IsAllowed(Ch c) const override { return allowed_[static_cast<Unit>(c)] != 0; }

  // Inserts the allowed characters of `text` at `position` (those that fit);
  // at or after the end this appends. Returns the number inserted.
  u32 InsertAt(u32 position, const Ch* text, u32 count) {
    if (position >= this->length_) return this->SetTextFrom(position, text, count);
    Ch buffer[Size];
    const u32 n = this->CopyFiltered(buffer, Size - this->length_, text, count);
    if (n == 0) return 0;
    std::memmove(this->chars_ + position + n, this->chars_ + position,
                 (this->length_ - position) * sizeof(Ch));
    std::memcpy(this->chars_ + position, buffer, n * sizeof(Ch));
    this->length_ += n;
    this->chars_[this->length_] = 0;
    return n;
  }

  // Removes up to n characters from `position`; n is cut to what the text
  // holds after the position.
  void Delete(u32 position, u32 n) {
    if (position >= this->length_ || n == 0) return;
    if (n > this->length_ - position) n = this->length_ - position;
    std::memmove(this->chars_ + position, this->chars_ + position + n,
                 (this->length_ - position - n) * sizeof(Ch));
    this->length_ -= n;
    this->chars_[this->length_] = 0;
  }

 private:
  u8 allowed_[kUnits];
};
