// MenuWindow - the small modal window with a column of buttons, one per
// command, each labelled from the "menu_window" texts ('Menu'). It knows
// nothing of what its commands do: the opener gives the commands in order
// and a handler that gets the command of a pressed button and answers as a
// window's OnCommand does. Escape closes it as "continue" does.
//
// While it lives it is the window manager's menu window (kAnchorMenu); the
// window manager deletes it once its lift-out has ended after Close.
#pragma once

#include <functional>
#include <initializer_list>

#include "base/Types.h"
#include "ui/SpritesWindow.h"

constexpr u32 kMenuWindowId = MakeWindowId('M', 'e', 'n', 'u');

class MenuWindow : public SpritesWindow {
 public:
  using Handler = std::function<u32(u32 command)>;

  static constexpr i32 kButtonX = 16;
  static constexpr i32 kButtonTop = 94;
  static constexpr i32 kButtonStep = 68;
  static constexpr i32 kButtonWidth = 221;
  static constexpr i32 kTopWidth = 256;

  // The first argument is the show animation (the drop-in); commands the
  // window has no caption for add no button.
  MenuWindow(bool animate, Handler handler, std::initializer_list<u32> commands);
  ~MenuWindow() override;

  void AddMenuButton(u32 command);
  // The button at (16, index x 68 + 94), 221 wide, captioned with `key`.
  void AddButton(i32 index, u32 command, const wchar* key);

  bool OnKeyDown(u16 key, u32 extra) override;
  u32 OnCommand(GameButton* control) override;
  void Close() override;

 private:
  Handler handler_;
};

// The menu window open now (the window manager's), or null.
MenuWindow* GetOpenMenuWindow();
