// MapInterface - the window ('MapI', not modal) that frames the
// level-selection map while the map screen lives: the greeting with the
// current profile's name (opens the profiles window), "back" to the main
// screen, "options", "awards", the medals panel with its click area, and
// the regime button that switches the profile between Easy and Hard.
// Between its top and bottom bands the pointer goes through to the map.
// It registers itself as the window manager's map interface.
//
// The map is its host: the profiles window's two callbacks and the moment
// the regime fade covers the screen are passed on to it.
#pragma once

#include <memory>

#include "base/Types.h"
#include "ui/GameWindow.h"

class MapMedalsPanel;

constexpr u32 kMapInterfaceId = MakeWindowId('M', 'a', 'p', 'I');
constexpr u32 kMapOptionsCommand = 0x24FE0201u;
constexpr u32 kMapRegimeCommand = 0x24FE0202u;
constexpr u32 kMapAwardsCommand = 0x24FE0203u;
constexpr u32 kMapGreetingCommand = 0x24FE0204u;
constexpr u32 kMapBackCommand = 0x24FE0205u;
constexpr u32 kMapMedalsCommand = 0x24FE0206u;

// What the interface asks of the level-selection map (LevelSelectMap).
class MapInterfaceHost {
 public:
  virtual ~MapInterfaceHost() = default;
  // The profiles window made another profile current.
  virtual void OnProfileChosen() = 0;
  // The profiles window deleted the current profile.
  virtual void OnCurrentProfileDeleted() = 0;
  // The regime changed and the fade has covered the screen: rebuild the map.
  virtual void OnRegimeSwitched() = 0;
};

class MapInterface : public GameWindow {
 public:
  // A null host: the callbacks do nothing.
  explicit MapInterface(MapInterfaceHost* host);
  ~MapInterface() override;

  // Frame, greeting, medals area and buttons for the screen's size.
  void Layout();
  void OnScreenResize() override { Layout(); }
  // A new greeting for the current profile.
  void CreateProfileButton();
  // The regime button's flag and lock for the current profile; the
  // unlocking animates only when asked.
  void RefreshRegimeButton(bool animate);
  // The point (screen) lies on "back", "options" or the greeting.
  bool IsOverButtons(i32 x, i32 y) const;
  MapMedalsPanel* GetMedalsPanel() const { return medals_.get(); }

  void Draw() override;
  bool HitTest(i32 x, i32 y) const override;
  u32 OnCommand(GameButton* control) override;

 private:
  MapInterfaceHost* host_;
  std::unique_ptr<MapMedalsPanel> medals_;
};
