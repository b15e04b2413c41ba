// CaptionHintWindow - the hint balloon of most controls: a caption (game
// font 4, centred at the top), an optional separator line under it, and the
// other items (usually one body text in game font 3) stacked downwards in
// list order. Texts go through the item-description mark-up, with the two
// colour words given as its context words.
#pragma once

#include "ui/HintWindow.h"

class HILine;
class HIText;

class CaptionHintWindow : public HintWindow {
 public:
  explicit CaptionHintWindow(GameHint* owner);  // no caption, separator or body
  // A caption and a body text, both boxed to `width` (0: 512), anchored at
  // the anchor given (null: the window's current one).
  CaptionHintWindow(GameHint* owner, const wchar* caption, bool withSeparator, const wchar* body, uintptr_t colour1,
                    uintptr_t colour2, const DXLRECT* anchor, u32 alignX, u32 alignY, i32 width);

  // Caption on top, separator under it, the rest stacked below.
  void GetItemsBounds(DXLRECT* out) override;

  // Replaces the caption (none for a null text); a separator is kept under a
  // caption when wanted, else dropped.
  void SetCaption(const KGETEXTPARAMS* params, const wchar* text, bool withSeparator);
  // The caption's text (a new caption with the defaults when there is none).
  void SetText(const wchar* text);

  HIText* GetCaption() const { return caption_; }
  HILine* GetSeparator() const { return separator_; }
  HIText* GetBody() const { return body_; }

 private:
  HIText* caption_ = nullptr;
  HILine* separator_ = nullptr;
  HIText* body_ = nullptr;
};
