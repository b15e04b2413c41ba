#include "windows/ComixBook.h"

#include "content/ComixSection.h"
#include "resources/GEffects.h"
#include "windows/ComixWindow.h"

namespace {

// The screen change into or out of the comic state. Closing, it runs the
// book's callback once the fade has ended on the map: the callback (the
// map's result animation) starts an effect of its own, which would replace
// a fade still running and leave the game in the comic state.
class ComixFade : public GEffect_Regime {
 public:
  ComixFade(u32 target, GameEffectCallback done) : GEffect_Regime(target, kComixFadeTime, kComixFadeTime, 0, 1) {
    SetCompletion(done);
  }
};

}  // namespace

ComixBook::ComixBook(ComixList* comics) : comics_(comics) {}

ComixBook::~ComixBook() { DeleteComixWindow(); }

ComixList* ComixBook::Comics() const { return comics_ ? comics_ : GetComixList(); }

u32 ComixBook::GetCount() const {
  const ComixList* c = Comics();
  return c ? c->GetCount() : 0;
}

ComixPage* ComixBook::GetPage(u32 n) const {
  const ComixList* c = Comics();
  return c ? c->Get(n) : nullptr;
}

bool ComixBook::StartComix(u32 n, GameEffectCallback callback) {
  if (n >= GetCount()) return false;
  callback_ = callback;
  DeleteComixWindow();
  current_ = n;
  RunGameEffect(new ComixFade(kGameStateComic, nullptr));
  return true;
}

ComixWindow* ComixBook::CreateComixWindow() {
  ComixPage* page = GetPage(current_);
  if (!page) return nullptr;
  return new ComixWindow(this, page);  // registers itself with the book and the window manager
}

void ComixBook::DeleteComixWindow() { delete window_; }

void ComixBook::Register(ComixWindow* window) {
  if (window_ && window_ != window) delete window_;
  window_ = window;
}

void ComixBook::FinishComix() {
  if (mapFlags_) mapFlags_(kMapFlagComixSeen);
  RunGameEffect(new ComixFade(kGameStateLevelMap, callback_));
}

bool StartComix(u32 n, GameEffectCallback callback) {
  ComixBook* book = GetComixBook();
  return book && book->StartComix(n, callback);
}
