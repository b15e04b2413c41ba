#include "windows/MenuWindow.h"

#include <utility>

#include "gametext/GameLanguage.h"
#include "gametext/GameLanguageHost.h"
#include "ui/GameButton.h"
#include "ui/SkinTable.h"
#include "ui/WindowManager.h"
#include "windows/LevelMenuHandler.h"

namespace {

const wchar* MenuText(const wchar* key) {
  const GameLanguage* language = GetGameLanguage();
  const wchar* text = language ? language->GetTextByName(u"menu_window", key, true) : nullptr;
  return text ? text : key;
}

const wchar* CommandKey(u32 command) {
  switch (command) {
    case kMenuClose:
      return u"continue";
    case kMenuQuit:
      return u"quit";
    case kMenuRestart:
      return u"restart";
    case kMenuToMap:
      return u"to_map";
    case kMenuOptions:
      return u"options";
    case kMenuAwards:
      return u"awards";
    default:
      return nullptr;
  }
}

}  // namespace

MenuWindow* GetOpenMenuWindow() {
  WindowManager* manager = GetWindowManager();
  return manager ? static_cast<MenuWindow*>(manager->GetAnchor(kAnchorMenu)) : nullptr;
}

// The body holds the column of buttons: 92 pixels for the first command
// given and 68 for each further one (a command without a button keeps its
// room), then the closing row.
MenuWindow::MenuWindow(bool animate, Handler handler, std::initializer_list<u32> commands)
    : SpritesWindow(kMenuWindowId, false, true), handler_(std::move(handler)) {
  const i32 count = static_cast<i32>(commands.size());
  AddTopRow(kTopWidth);
  AddFrame(0, kBelow, -1, (count - 1) * kButtonStep + 92, SkinOf(skins::kMenuBody, kInterfaceImage));
  AddRow(0, kBelow, -1, -1, SkinOf(skins::kWindowClosing, kInterfaceImage));
  Show(0, animate);
  SetCaption(MenuText(u"caption"));
  for (u32 command : commands) AddMenuButton(command);
  if (manager_) manager_->SetAnchor(kAnchorMenu, this);
}

MenuWindow::~MenuWindow() {
  if (manager_ && manager_->GetAnchor(kAnchorMenu) == this) manager_->SetAnchor(kAnchorMenu, nullptr);
}

void MenuWindow::AddMenuButton(u32 command) {
  if (const wchar* key = CommandKey(command)) AddButton(Controls().GetCount(), command, key);
}

void MenuWindow::AddButton(i32 index, u32 command, const wchar* key) {
  CreateButton(this, &Controls(), command, kButtonX, index * kButtonStep + kButtonTop, nullptr, kButtonWidth,
               MenuText(key));
}

bool MenuWindow::OnKeyDown(u16 key, u32 extra) {
  if (key != kKeyEscape) return SpritesWindow::OnKeyDown(key, extra);
  Close();
  return true;
}

u32 MenuWindow::OnCommand(GameButton* control) {
  return control && handler_ ? handler_(control->GetId()) : 0;
}

void MenuWindow::Close() {
  SpritesWindow::Close();
  if (manager_ && manager_->GetAnchor(kAnchorMenu) == this) manager_->SetAnchor(kAnchorMenu, nullptr);
}
