// GameEdit - the one-line text field of the game's windows (the profile
// name): the engine's edit box of 16 characters (DXLEdit.h), measured and
// drawn with game font 4. The text is centred in the box with a soft shadow;
// the caret is a 2-pixel cyan bar as high as the font, the selection a grey
// rectangle drawn inverting under the text. Without the font every text
// measures 0 and nothing but caret and selection is drawn.
//
// A box becomes its window's edit box (the window owns it, forwards mouse,
// keys and characters and draws it) and joins the window manager's list of
// edit boxes at the front; a press that activates a box brings it to the
// front and ends the others' focus. Typed characters come to it the way
// the game's own handler sends them, through the window manager to its
// window: a box never takes the frame's character sink, so the game keeps
// recording and routing every character. Its window hears of every change
// of the text (OnEditChanged).
#pragma once

#include <memory>

#include "engine/DXLDrawTypes.h"
#include "engine/text/DXLEdit.h"

class GameWindow;
class KGEFont;
class KGETextW;

constexpr u32 kEditModifiers = kEditModControl | kEditModShift | kEditModAlt;

class GameEdit : public DXLEditW {
 public:
  static constexpr u32 kFontNo = 4;
  static constexpr u32 kCaretColour = 0xFF00FFFFu;
  static constexpr u32 kSelectionColour = 0xFFA0A0A0u;
  static constexpr u32 kShadowColour = 0x80000000u;

  // `allowed` lists the characters that may be typed or pasted.
  GameEdit(GameWindow* owner, const wchar* allowed, i32 left, i32 top, i32 right, i32 bottom);
  ~GameEdit() override;

  void OnTextChanged() override;
  void SetSelection(u32 anchor, u32 caret) override;
  u32 GetCharIndexAtMouse() override;
  u32 GetTextWidth(u32 first, u32 count) override;
  bool OnMouseDown(i32 x, i32 y, u32 button, u32 modifiers) override;
  bool OnDoubleClick(i32 x, i32 y, u32 modifiers) override;

  // The whole text replaced (allowed characters, what fits), the caret at
  // its end.
  void SetText(const wchar* text);
  void Draw();

  const DXLRECT& GetRect() const { return box_; }
  i32 GetLineHeight() const { return lineHeight_; }
  i32 GetTextOffset() const { return textOffset_; }
  float GetTextX() const { return textX_; }
  float GetTextY() const { return textY_; }
  const DXLCOLORVERTEX* GetCaretQuad() const { return caretQuad_; }
  const DXLCOLORVERTEX* GetSelectionQuad() const { return selectionQuad_; }
  KGETextW* GetTextObject() const { return textObject_.get(); }
  GameWindow* GetOwner() const { return owner_; }

 private:
  // Makes this the focused box: first in the manager's list, the only active.
  void TakeFocus();

  i32 lineHeight_ = 0;
  GameWindow* owner_;
  KGEFont* font_;
  std::unique_ptr<KGETextW> textObject_;
  i32 textOffset_ = 0;
  float textX_ = 0.0f;
  float textY_ = 0.0f;
  DXLCOLORVERTEX caretQuad_[4] = {};
  DXLCOLORVERTEX selectionQuad_[4] = {};
  DXLMATRIX savedTransform_{};
};
