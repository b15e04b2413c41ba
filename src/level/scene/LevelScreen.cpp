#include "level/scene/LevelScreen.h"

#include "engine/DXLViewer.h"
#include "level/rules/LevelRules.h"
#include "resources/GameDraw.h"
#include "resources/ResourceServices.h"
#include "ui/WindowManager.h"

void LevelScreen::ApplyView() {
  DXLViewer* viewer = GetGameViewer();
  if (!viewer) return;
  const LevelView& view = rules_.View();
  LoadGameAreaTransform();  // the level scrolled and scaled within the game area
  viewer->Translate(view.GetTranslateX(), view.GetTranslateY());
  if (view.Get().scaling) viewer->Scale(view.Get().scale);
  viewer->GetTransform(&transform_);
  viewer->ApplyTransform(nullptr);
}

void LevelScreen::UpdateViewport() {
  const ResourceServices& services = GetResourceServices();
  rules_.View().UpdateViewport(services.screen.width, services.screen.height);
  if (WindowManager* windows = GetWindowManager()) windows->OnScreenResize();
  hud_.RelayoutAll();
}

void LevelScreen::SetPointer(i32 x, i32 y, bool inside) {
  pointerX_ = x;
  pointerY_ = y;
  pointerInside_ = inside;
}

void LevelScreen::OnWindowOpened(u32 id) { rules_.Locks().OnWindowOpened(id); }
void LevelScreen::OnWindowClosed(u32 id) { rules_.Locks().OnWindowClosed(id); }

bool LevelScreen::IsViewScaling() const { return rules_.View().Get().scaling; }
float LevelScreen::GetViewScale() const { return rules_.View().Get().scale; }

void LevelScreen::MapToScreen(float x, float y, float* sx, float* sy) const {
  const LEVELVIEW& v = rules_.View().Get();
  const float s = v.scaling ? v.scale : 1.0f;
  *sx = x * s - static_cast<float>(v.scrollX);
  *sy = y * s - static_cast<float>(v.scrollY);
}

void LevelScreen::ScreenToMap(float sx, float sy, float* x, float* y) const {
  const LEVELVIEW& v = rules_.View().Get();
  const float s = v.scaling ? v.scale : 1.0f;
  *x = (sx + static_cast<float>(v.scrollX)) / s;
  *y = (sy + static_cast<float>(v.scrollY)) / s;
}

void LevelScreen::GetPointer(i32* x, i32* y) const {
  *x = pointerX_;
  *y = pointerY_;
}

i32 LevelScreen::GetPanelLine() const { return rules_.View().GetViewHeight(); }
bool LevelScreen::HasMoney(i32 amount) const { return rules_.Money().Get() >= amount; }
