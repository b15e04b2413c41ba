// The engine's single-line edit box: caret, selection, blink, editing
// commands, mouse and keyboard events and the clipboard, on top of the text
// storage of EditText.h:
//   _EditTextBase <- _EditBase (caret, selection, blink, commands)
//   <- _DXLEditBase (box rectangle, mouse and keyboard events)
//   <- _DXLEdit (clipboard).
// The box draws nothing: it keeps text, caret and selection in characters and
// pixels and leaves measuring to the subclass, which supplies
// GetCharIndexAtMouse and GetTextWidth, sets the box rectangle, forwards the
// window's events and sends OnMouseSelect(3) when the button goes up.
//
// Typing is ignored until the box is active (a press or double click inside
// it, or SetActive(true)). Keys come as virtual-key codes with the modifier
// bits 1 control, 2 shift, 4 Alt. The caret blinks with the system's blink
// period from the platform clock; the clipboard is the platform's, opened for
// the main window.
#pragma once

#include <string>

#include "base/Types.h"
#include "engine/DXLDrawTypes.h"
#include "engine/text/EditText.h"
#include "platform/os/Clipboard.h"
#include "platform/os/Clock.h"
#include "platform/os/WindowSystem.h"

// Modifier bits of key and mouse events.
constexpr u32 kEditModControl = 1;
constexpr u32 kEditModShift = 2;
constexpr u32 kEditModAlt = 4;

// Editing commands.
enum : u32 {
  kEditCmdChar = 1,
  kEditCmdLeft = 2,
  kEditCmdRight = 3,
  kEditCmdHome = 4,
  kEditCmdEnd = 5,
  kEditCmdBackspace = 6,
  kEditCmdDelete = 7,
  kEditCmdCopy = 8,
  kEditCmdCut = 9,
  kEditCmdPaste = 10,
  kEditCmdNone = 100,
};

// Mouse selection codes.
enum : u32 {
  kEditMousePress = 1,
  kEditMouseMove = 2,
  kEditMouseRelease = 3,
  kEditMouseSelectAll = 4,
  kEditMouseReset = 100,
};

template <class Ch, u32 Size, u32 Kind>
class _EditBase : public _EditTextBase<Ch, Size, Kind> {
 public:
  _EditBase() : lastCaretMove_(plat::GetTimeMs()) {}
  ~_EditBase() override = default;

  virtual void OnTextChanged() {}
  // Clamps both ends to the length, measures their pixel offsets and restarts
  // the caret's blink.
  virtual void SetSelection(u32 anchor, u32 caret) {
    const u32 length = this->length_;
    anchor_ = anchor > length ? length : anchor;
    caret_ = caret > length ? length : caret;
    caretOffset_ = caret_ == 0 ? 0 : GetTextWidth(0, caret_);
    if (anchor_ == caret_) {
      anchorOffset_ = caretOffset_;
    } else {
      anchorOffset_ = anchor_ == 0 ? 0 : GetTextWidth(0, anchor_);
    }
    lastCaretMove_ = plat::GetTimeMs();
  }
  virtual u32 GetCharIndexAtMouse() = 0;  // caret index nearest the last mouse position
  virtual void SetCaret(u32 index) { SetSelection(index, index); }
  virtual void Copy() = 0;
  virtual void Paste() = 0;
  virtual u32 GetTextWidth(u32 first, u32 count) = 0;  // pixels of count characters from first

  // Calls OnTextChanged, then collapses the selection at the caret.
  void NotifyTextChanged() {
    OnTextChanged();
    SetSelection(caret_, caret_);
  }
  void SelectAll() { SetSelection(0, this->length_); }

  // Runs one editing command while the box is active.
  void Command(u32 command, Ch c, u32 modifiers) {
    if (!active_) return;
    const bool shift = (modifiers & kEditModShift) != 0;
    const bool control = (modifiers & kEditModControl) != 0;
    const u32 length = this->length_;
    switch (command) {
      case kEditCmdChar:
        if (c != 0 && this->IsAllowed(c)) InsertText(&c, 1);
        break;
      case kEditCmdLeft:
        if (caret_ > 0) {
          const u32 to = control ? PreviousWordStart() : caret_ - 1;
          SetSelection(shift ? anchor_ : to, to);
        }
        break;
      case kEditCmdRight:
        if (caret_ < length) {
          const u32 to = control ? NextWordStart() : caret_ + 1;
          SetSelection(shift ? anchor_ : to, to);
        }
        break;
      case kEditCmdHome:
        if (caret_ > 0) SetSelection(shift ? anchor_ : 0, 0);
        break;
      case kEditCmdEnd:
        if (caret_ < length) SetSelection(shift ? anchor_ : length, length);
        break;
      case kEditCmdBackspace:
        if (anchor_ == caret_ && caret_ > 0) anchor_ = caret_ - 1;
        Erase();
        break;
      case kEditCmdDelete:
        if (anchor_ == caret_ && caret_ < length) anchor_ = control ? length : caret_ + 1;
        Erase();
        break;
      case kEditCmdCopy:
        Copy();
        break;
      case kEditCmdCut:
        Copy();
        Erase();
        break;
      case kEditCmdPaste:
        Paste();
        break;
      default:
        break;
    }
  }

  // Deletes the selection and inserts the allowed characters of `text` where
  // it began; the caret ends after them.
  void InsertText(const Ch* text, u32 count) {
    const bool deleted = DeleteSelection();
    const u32 inserted = this->InsertAt(caret_, text, count);
    caret_ += inserted;
    if (deleted || inserted > 0) NotifyTextChanged();
  }
  // Deletes the selection and tells of the change when there was one.
  void Erase() {
    if (DeleteSelection()) NotifyTextChanged();
  }

  u32 GetAnchor() const { return anchor_; }
  u32 GetCaret() const { return caret_; }
  u32 GetCaretX() const { return caretOffset_; }
  u32 GetSelectionStartX() const { return caretOffset_ < anchorOffset_ ? caretOffset_ : anchorOffset_; }
  u32 GetSelectionWidth() const {
    return caretOffset_ < anchorOffset_ ? anchorOffset_ - caretOffset_ : caretOffset_ - anchorOffset_;
  }
  u32 GetBlinkPeriod() const { return blinkPeriod_; }
  void SetBlinkPeriod(u32 ms) { blinkPeriod_ = ms; }
  bool IsActive() const { return active_ != 0; }
  bool IsDragging() const { return dragging_ != 0; }

 protected:
  // Removes the characters between anchor and caret; the caret moves to the
  // smaller end. False when the selection was empty.
  bool DeleteSelection() {
    if (anchor_ == caret_) return false;
    const u32 lo = anchor_ < caret_ ? anchor_ : caret_;
    const u32 hi = anchor_ < caret_ ? caret_ : anchor_;
    this->Delete(lo, hi - lo);
    anchor_ = caret_ = lo;
    return true;
  }

  // Only the space separates words.
  u32 PreviousWordStart() const {
    const Ch* t = this->chars_;
    u32 i = caret_ - 1;
    while (i > 0 && t[i] == Ch(' ')) --i;
    while (i > 0 && t[i - 1] != Ch(' ')) --i;
    return i;
  }
  u32 NextWordStart() const {
    const Ch* t = this->chars_;
    const u32 length = this->length_;
    u32 i = caret_;
    while (i < length && t[i] == Ch(' ')) ++i;
    while (i < length && t[i] != Ch(' ')) ++i;
    while (i < length && t[i] == Ch(' ')) ++i;
    return i;
  }

  u32 anchor_ = 0;
  u32 caret_ = 0;
  u32 blinkPeriod_ = 0;
  u32 lastCaretMove_;
  u32 caretOffset_ = 0;
  u32 anchorOffset_ = 0;
  u8 active_ = 0;
  u8 dragging_ = 0;
};

template <class Ch, u32 Size, u32 Kind>
class _DXLEditBase : public _EditBase<Ch, Size, Kind> {
 public:
  _DXLEditBase() = default;
  ~_DXLEditBase() override = default;

  // Takes a press of the left button inside the box; other buttons inside
  // it are taken without acting. False outside the box.
  virtual bool OnMouseDown(i32 x, i32 y, u32 button, u32 modifiers) {
    mouseX_ = x;
    mouseY_ = y;
    if (!IsMouseOver()) return false;
    if (button == 1) OnMouseSelect(kEditMousePress, modifiers);
    return true;
  }
  virtual bool OnMouseMove(i32 x, i32 y, u32 /*buttons*/, u32 modifiers) {
    mouseX_ = x;
    mouseY_ = y;
    OnMouseSelect(kEditMouseMove, modifiers);
    return true;
  }
  virtual bool OnDoubleClick(i32 x, i32 y, u32 modifiers) {
    mouseX_ = x;
    mouseY_ = y;
    if (!IsMouseOver()) return false;
    OnMouseSelect(kEditMouseSelectAll, modifiers);
    return true;
  }
  // False while inactive; otherwise true, also for keys without a command.
  virtual bool OnKeyDown(u32 virtualKey, u32 modifiers) {
    if (!this->active_) return false;
    const bool controlOnly = (modifiers & (kEditModControl | kEditModShift | kEditModAlt)) == kEditModControl;
    u32 command = kEditCmdNone;
    switch (virtualKey) {
      case 8: command = kEditCmdBackspace; break;
      case 35: command = kEditCmdEnd; break;
      case 36: command = kEditCmdHome; break;
      case 37:
      case 38: command = kEditCmdLeft; break;
      case 39:
      case 40: command = kEditCmdRight; break;
      case 46: command = kEditCmdDelete; break;
      case 'C': if (controlOnly) command = kEditCmdCopy; break;
      case 'V': if (controlOnly) command = kEditCmdPaste; break;
      case 'X': if (controlOnly) command = kEditCmdCut; break;
      default: break;
    }
    this->Command(command, 0, modifiers);
    return true;
  }
  virtual bool OnChar(Ch c) = 0;

  void SetActive(bool on) {
    if ((this->active_ != 0) == on) return;
    OnMouseSelect(kEditMouseReset, 0);
    this->active_ = on ? 1 : 0;
  }

  // The mouse selection: press, drag, release, select all, reset.
  void OnMouseSelect(u32 code, u32 modifiers) {
    switch (code) {
      case kEditMousePress: {
        this->active_ = 1;
        const u32 caret = this->GetCharIndexAtMouse();
        const u32 anchor = (modifiers & kEditModShift) ? this->anchor_ : caret;
        this->SetSelection(anchor, caret);
        this->dragging_ = 1;
        break;
      }
      case kEditMouseMove:
        if (this->dragging_) this->SetSelection(this->anchor_, this->GetCharIndexAtMouse());
        break;
      case kEditMouseSelectAll:
        this->active_ = 1;
        this->SelectAll();
        break;
      case kEditMouseRelease:
      case kEditMouseReset:
        this->dragging_ = 0;
        break;
      default:
        break;
    }
  }

  // Shown at once after every move, then on and off for the blink period.
  bool IsCaretVisible() const {
    if (!this->active_) return false;
    if (this->blinkPeriod_ == 0) return true;
    const u32 elapsed = plat::GetTimeMs() - this->lastCaretMove_;
    return elapsed % (2 * static_cast<u64>(this->blinkPeriod_)) < this->blinkPeriod_;
  }
  bool IsMouseOver() const {
    return mouseX_ >= box_.left && mouseX_ < box_.right && mouseY_ >= box_.top && mouseY_ < box_.bottom;
  }

  void SetBox(const DXLRECT& box) { box_ = box; }
  const DXLRECT& GetBox() const { return box_; }
  i32 GetMouseX() const { return mouseX_; }
  i32 GetMouseY() const { return mouseY_; }

 protected:
  DXLRECT box_{0, 0, 0, 0};
  i32 mouseX_ = 0;
  i32 mouseY_ = 0;
};

template <class Ch, u32 Size, u32 Kind>
class _DXLEdit : public _DXLEditBase<Ch, Size, Kind> {
 public:
  // Characters of `allowed` with a code of 32 or more may be typed or pasted.
  explicit _DXLEdit(const Ch* allowed) {
    this->SetAllowedChars(allowed);
    this->blinkPeriod_ = plat::GetWindowSystem().GetCaretBlinkTime();
  }
  ~_DXLEdit() override = default;

  // Puts the selected characters on the clipboard; nothing for an empty
  // selection or a clipboard that does not open.
  void Copy() override {
    if (this->anchor_ == this->caret_) return;
    plat::Clipboard& clipboard = plat::GetClipboard();
    if (!clipboard.Open(plat::GetWindowSystem().MainWindow())) return;
    const u32 lo = this->anchor_ < this->caret_ ? this->anchor_ : this->caret_;
    const u32 hi = this->anchor_ < this->caret_ ? this->caret_ : this->anchor_;
    clipboard.Empty();
    clipboard.SetText(std::u16string(this->chars_ + lo, this->chars_ + hi));
    clipboard.Close();
  }
  // Inserts the clipboard's text in place of the selection, keeping only
  // allowed characters and what fits.
  void Paste() override {
    plat::Clipboard& clipboard = plat::GetClipboard();
    if (!clipboard.Open(plat::GetWindowSystem().MainWindow())) return;
    const auto text = clipboard.GetText();
    if (text && !text->empty()) this->InsertText(text->c_str(), kEditCountAll);
    clipboard.Close();
  }
  bool OnChar(Ch c) override {
    if (!this->active_) return false;
    this->Command(kEditCmdChar, c, 0);
    return true;
  }
};

// Drawing aids for subclasses.
// A float rectangle from x, y, width and height.
void DXLSetRectF(DXLRECTF* rect, float x, float y, float width, float height);
// Writes the corners (left, top), (right, top), (right, bottom), (left,
// bottom) as x and y of four vertices of four floats each; `close` adds a
// fifth vertex equal to the first, `zero` sets z to 0 in all of them.
void DXLFillRectVertices(float* vertices, const DXLRECTF& rect, bool close, bool zero);

extern template class _DXLEdit<wchar, 16, 1>;
using DXLEditW = _DXLEdit<wchar, 16, 1>;
