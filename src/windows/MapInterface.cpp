#include "windows/MapInterface.h"

#include "resources/GameServices.h"
#include "ui/WindowManager.h"
#include "windows/MapMedalsPanel.h"

// A frame that registers and lets every point through to the map; its
// buttons, greeting and regime button are still to come.
MapInterface::MapInterface(MapInterfaceHost* host) : GameWindow(kMapInterfaceId, false), host_(host) {
  if (manager_) manager_->SetAnchor(kAnchorMapInterface, this);
}

MapInterface::~MapInterface() {
  if (manager_ && manager_->GetAnchor(kAnchorMapInterface) == this) manager_->SetAnchor(kAnchorMapInterface, nullptr);
}

void MapInterface::Layout() {}
void MapInterface::CreateProfileButton() {}
void MapInterface::RefreshRegimeButton(bool) {}
bool MapInterface::IsOverButtons(i32, i32) const { return false; }
void MapInterface::Draw() {}
bool MapInterface::HitTest(i32, i32) const { return false; }
u32 MapInterface::OnCommand(GameButton*) {
  (void)host_;  // the profiles window and the regime switch will call it
  return 0;
}
