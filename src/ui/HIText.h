// HIText - a text item of a hint window: a boxed text sprite (rendered into
// a texture of its own) or a plain text (glyph quads), built through the
// text service with a mark-up callback (the item-description mark-up of the
// game). With keepSource the item keeps its own copy of the source text, so
// that Refresh can build it again through the callback (a description whose
// pictures or figures changed). The two context words the callback receives
// are the callers' two colour words.
#pragma once

#include <memory>
#include <string>

#include "gametext/KGETextParams.h"
#include "ui/HintItem.h"

class KGECustomText;
class KGEFont;

class HIText : public HintItem {
 public:
  static constexpr i32 kMinBox = 8;
  static constexpr i32 kMaxBox = 512;

  // A boxed text sprite. Without a box one is made: the layout rectangle's
  // size of parameters that use it, each side kept within 8..512, else
  // 512 x 512.
  HIText(BaseHintWindow* window, KGEFont* font, const KGETEXTPARAMS* params, const KGESPRITEPARAMS* box,
         const wchar* text, bool keepSource, KGETEXTCALLBACK callback);
  // A plain text without a box.
  static HIText* HITextPlain(BaseHintWindow* window, KGEFont* font, const KGETEXTPARAMS* params, const wchar* text,
                             bool keepSource, KGETEXTCALLBACK callback);
  ~HIText() override;

  void SetRect(i32 x, i32 y, i32 width, i32 height) override;  // -1: the text's size
  void SetAlpha(u32 alpha) override;
  void Draw() override;

  // Builds the text anew with new context words, then takes its natural size.
  void SetTextEx(const wchar* text, uintptr_t context1, uintptr_t context2, KGETEXTCALLBACK callback);
  void SetText(const wchar* text, KGETEXTCALLBACK callback) { SetTextEx(text, context1_, context2_, callback); }
  // Builds the kept source again (nothing without one).
  void Refresh(KGETEXTCALLBACK callback);

  KGECustomText* GetTextObject() const { return text_.get(); }
  bool IsSprite() const { return sprite_ != 0; }
  const wchar* GetSource() const { return keepSource_ ? source_.c_str() : nullptr; }
  uintptr_t GetContext1() const { return context1_; }
  uintptr_t GetContext2() const { return context2_; }

 private:
  struct Plain {};
  HIText(BaseHintWindow* window, KGEFont* font, const KGETEXTPARAMS* params, const wchar* text, bool keepSource,
         KGETEXTCALLBACK callback, Plain);
  void Build(KGEFont* font, const KGETEXTPARAMS* params, const KGESPRITEPARAMS* box, const wchar* text,
             KGETEXTCALLBACK callback);

  u32 sprite_ = 1;
  u32 keepSource_ = 0;
  std::u16string source_;
  std::unique_ptr<KGECustomText> text_;
  uintptr_t context1_ = 0;
  uintptr_t context2_ = 0;
};
