#include "ui/GameControls.h"

#include <vector>

#include "engine/DXLViewer.h"
#include "resources/ResourceServices.h"
#include "resources/TutorialHooks.h"
#include "ui/GameWindow.h"

namespace {

bool Allowed(GameButton* button) {
  const GameWindow* parent = button->GetParent();
  return TutorialAllowAction(kTutorialActionButton, parent ? parent->GetId() : 0, button);
}

}  // namespace

GameControls::~GameControls() {
  lifetime_.End();
  DeleteAll();
}

// A button leaves the list as it is deleted; it is taken out first so that
// the walk never meets it half gone.
void GameControls::DeleteAll() {
  while (GetCount() > 0) {
    GameButton* button = Last();
    Delete(GetCount() - 1);
    delete button;
  }
}

// The walk goes over the buttons there were when it began; one that has
// left the group meanwhile (deleted by a handler) is passed over.
bool GameControls::Offer(Event event, i32 x, i32 y, u32 button, u32 keys) {
  LifeGuard guard(lifetime_);
  const std::vector<GameButton*> buttons(Data(), Data() + GetCount());
  bool taken = false;
  for (auto it = buttons.rbegin(); it != buttons.rend(); ++it) {
    GameButton* b = *it;
    if (IndexOf(b) < 0 || !Allowed(b)) continue;
    if (!guard.Alive()) return taken;
    switch (event) {
      case Event::Down:
        if (b->OnMouseDown(x, y, button, keys)) return true;
        break;
      case Event::DoubleClick:
        if (b->OnDoubleClick(x, y, 0)) return true;
        break;
      case Event::Move:
        taken = b->OnMouseMove(x, y, button, keys) || taken;
        break;
      case Event::Up:
        taken = b->OnMouseUp(x, y, button, keys) || taken;
        break;
    }
    if (!guard.Alive()) return taken;
  }
  return taken;
}

bool GameControls::OnMouseDown(i32 x, i32 y, u32 button, u32 keys) { return Offer(Event::Down, x, y, button, keys); }

bool GameControls::OnDoubleClick(i32 x, i32 y, u32 button) { return Offer(Event::DoubleClick, x, y, button, 0); }

void GameControls::OnMouseMove(i32 x, i32 y, u32 buttons, u32 keys) { Offer(Event::Move, x, y, buttons, keys); }

void GameControls::OnMouseUp(i32 x, i32 y, u32 button, u32 keys) { Offer(Event::Up, x, y, button, keys); }

GameButton* GameControls::FindControl(u32 id, i32 tag) const {
  for (i32 i = GetCount() - 1; i >= 0; --i) {
    GameButton* b = Get(i);
    if (b && b->GetId() == id && (tag == 0 || b->GetTag() == tag)) return b;
  }
  return nullptr;
}

void GameControls::Draw(const DXLMATRIX& transform) {
  DXLViewer* viewer = GetGameViewer();
  for (i32 i = 0; i < GetCount(); ++i) {
    if (viewer) {
      viewer->SetTransform(&transform);
      viewer->ApplyTransform(nullptr);
    }
    if (GameButton* b = Get(i)) b->Draw();
  }
}
