// WindowManager - the one container of the user interface, reached through
// the ui services (GetWindowManager): the window stack (index 0 at the
// bottom), the modal count, the window under the pointer (the active
// window), the hovered control and the control of the current mouse event,
// the hover hint's owner and delay, the shown hint windows, the digit fonts,
// the buttons and edit boxes it knows, the open dialogs, the anchors of
// single-instance game windows and the message and award queues. Every
// screen offers each input event to it first; a true answer means a window
// took the event. Once per frame it is updated and drawn.
//
// Windows register themselves as they are made and leave as they go. Walks
// over the stack go over the windows there were when the walk began: a
// window made during a walk waits for the next one, and a window deleted
// during a walk (by itself, its owner or a handler) is passed over and
// never touched again. Input that reached a window counts as taken even
// when the window went away while handling it.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "base/List.h"
#include "base/Types.h"

class AwardWindowQueue;
class BaseDialogWindow;
class DigitalFont;
class GameButton;
class GameEdit;
class GameHint;
class GameWindow;
class HintWindow;
class ImageSprite;
class MessageWindowQueue;
class Sprite;
class SpritesWindow;
struct DXLOUTLINE;
struct KGESPRITEPARAMS;

// The anchors of the single-instance game windows (SetAnchor, GetAnchor).
enum WindowAnchor : i32 {
  kAnchorMap = 0,
  kAnchorOptions,
  kAnchorMenu,
  kAnchorProfiles,
  kAnchorMapInterface,
  kAnchorLevel,
  kAnchorLevelResult,
  kAnchorWarehouse,
  kAnchorAwards,
};

class WindowManager {
 public:
  static constexpr i32 kAnchorCount = 9;  // single-instance game windows besides the dialog

  WindowManager();
  // Deletes the windows still stacked, the buttons and fonts it holds and
  // both queues.
  ~WindowManager();
  WindowManager(const WindowManager&) = delete;
  WindowManager& operator=(const WindowManager&) = delete;

  // --- The stack ----------------------------------------------------------------
  void RegisterWindow(GameWindow* window);    // at the top; counts a modal one
  void UnregisterWindow(GameWindow* window);  // nothing for a window not stacked
  void OnLanguageChanged() {}

  // --- Per frame ----------------------------------------------------------------
  // The current dialog's per-frame hook, the queues, then the windows from
  // the top down until the first modal one, then the hint owner's delayed
  // show.
  void Update();
  // The windows from the bottom up under the transform in force at the call,
  // deleting those that have closed and ended their hide effect; then the
  // shown hint windows; then the texture batch ends.
  void Draw();
  // The hovered control's cursor, else the active window's; false (and the
  // id untouched) when it has no opinion.
  bool GetCursor(u32* id);
  void OnScreenResize();

  // --- Input (game coordinates; true: taken by a window) -------------------------
  bool OnMouseDown(i32 x, i32 y, u32 button, u32 keys);
  bool OnMouseMove(i32 x, i32 y, u32 buttons, u32 keys);
  bool OnMouseUp(i32 x, i32 y, u32 button, u32 keys);
  bool OnDoubleClick(i32 x, i32 y, u32 button);
  bool OnMouseWheel(i32 x, i32 y, i32 a, i32 b, i32 c);
  // Virtual-key codes (13 Enter, 27 Escape) and UTF-16 characters.
  bool OnKeyDown(u16 key, u32 extra);
  bool OnKeyUp(u16 key, u32 extra);
  bool OnChar(u16 character, u32 extra);

  // --- Queries and stack edits ------------------------------------------------------
  GameWindow* FindWindow(u32 id) const;  // the topmost with the id
  // The window the pointer is on (a modal or captured one first), made the
  // active window; null for none.
  GameWindow* FindWindowAt(i32 x, i32 y);
  // Stacks w just above the lowest window with afterId and the windows with
  // skipId right above it (at the top when there is none); nothing when w
  // has afterId itself.
  void InsertWindowAfter(GameWindow* window, u32 afterId, u32 skipId);
  // Stacks w just above ref (at the top for null or a window not stacked).
  void PlaceWindowAbove(GameWindow* window, GameWindow* ref);
  DigitalFont* FindFont(u32 id) const;
  // Takes a digit font (deleted with the manager), after those it holds;
  // nothing for null.
  void AddFont(DigitalFont* font);
  // The old hovered control lets its hint go and returns to normal over its
  // fade-out time; the new one shows its hint.
  void SetHoverControl(GameButton* control);
  // Forgets a control that is going away (hovered and event control).
  void ForgetControl(GameButton* control);

  // --- State -------------------------------------------------------------------------
  const kis::list<GameWindow*>& GetStack() const { return stack_; }
  i32 GetModalCount() const { return modalCount_; }
  GameWindow* GetActiveWindow() const { return active_; }
  GameButton* GetHoverControl() const { return hovered_; }
  GameButton* GetEventControl() const { return eventControl_; }
  void SetEventControl(GameButton* control) { eventControl_ = control; }

  GameHint* GetHintOwner() const { return hintOwner_; }
  u32 GetHintDelay() const { return hintDelay_; }
  u32 GetHintDelayStart() const { return delayStart_; }
  void SetHintOwner(GameHint* owner, u32 delay, u32 start) {
    hintOwner_ = owner;
    hintDelay_ = delay;
    delayStart_ = start;
  }
  i32 GetLastPointerX() const { return lastX_; }
  i32 GetLastPointerY() const { return lastY_; }

  kis::list<HintWindow*>& HintWindows() { return hintWindows_; }
  kis::list<DigitalFont*>& Fonts() { return fonts_; }
  kis::list<GameButton*>& Buttons() { return buttons_; }
  kis::list<GameEdit*>& EditBoxes() { return editBoxes_; }
  kis::list<SpritesWindow*>& OpenDialogs() { return openDialogs_; }

  GameWindow* GetAnchor(i32 i) const { return i >= 0 && i < kAnchorCount ? anchors_[i] : nullptr; }
  void SetAnchor(i32 i, GameWindow* window) {
    if (i >= 0 && i < kAnchorCount) anchors_[i] = window;
  }
  BaseDialogWindow* GetDialog() const { return dialog_; }
  void SetDialog(BaseDialogWindow* dialog) { dialog_ = dialog; }
  // The level's information window while it is open (InfoWindow).
  GameWindow* GetInfoWindow() const { return infoWindow_; }
  void SetInfoWindow(GameWindow* window) { infoWindow_ = window; }

  MessageWindowQueue* GetMessageQueue() const { return messages_; }
  AwardWindowQueue* GetAwardQueue() const { return awards_; }
  // Takes both queues (deleting any it held); the queues belong to the game's
  // windows, so the game's set-up makes them.
  void SetQueues(MessageWindowQueue* messages, AwardWindowQueue* awards);

  // The medal sprites, found in sprite set 1 on first use and kept.
  Sprite* GetMedal(u32 index);
  // A named picture of the interface in sprite set 1 ("balloon",
  // "hint_line", "level"), looked up on first use and kept loaded while the
  // manager lives; null when it is not there or does not load.
  Sprite* GetInterfaceSprite(const wchar* name);

 private:
  // The stack as it was when a walk began, with the windows that went away
  // since set to null.
  struct Walk {
    explicit Walk(WindowManager* manager);
    ~Walk();
    Walk(const Walk&) = delete;
    Walk& operator=(const Walk&) = delete;
    WindowManager* manager;
    std::vector<GameWindow*> windows;
    Walk* next;
  };
  enum class Mouse { Down, Move, Up, DoubleClick };
  bool MouseEvent(Mouse kind, i32 x, i32 y, u32 button, u32 keys);
  // Inserts or moves a window to a stack index (stack size: the top, where a
  // stacked window stays).
  void MoveWindowTo(GameWindow* window, i32 target);
  void TellPlaces(GameWindow& window);

  GameHint* hintOwner_ = nullptr;
  u32 hintDelay_ = 0;
  u32 delayStart_ = 0;
  i32 lastX_ = 0;
  i32 lastY_ = 0;
  kis::list<HintWindow*> hintWindows_;
  kis::list<DigitalFont*> fonts_;
  kis::list<GameWindow*> stack_;
  i32 modalCount_ = 0;
  kis::list<GameButton*> buttons_;
  kis::list<GameEdit*> editBoxes_;
  kis::list<SpritesWindow*> openDialogs_;
  GameButton* hovered_ = nullptr;
  GameButton* eventControl_ = nullptr;
  GameWindow* active_ = nullptr;
  GameWindow* anchors_[kAnchorCount] = {};
  BaseDialogWindow* dialog_ = nullptr;
  GameWindow* infoWindow_ = nullptr;
  MessageWindowQueue* messages_ = nullptr;
  AwardWindowQueue* awards_ = nullptr;
  Walk* walks_ = nullptr;
  Sprite* medals_[4] = {};
  bool medalsLooked_ = false;
  std::vector<std::pair<std::u16string, Sprite*>> interfaceSprites_;  // looked up and loaded (a miss is not kept)
  std::vector<std::pair<const GameWindow*, std::string>> told_;  // what TellPlaces last said of each window
};

// The game's window manager (UiServices::windowManager); null before the
// game's set-up makes it.
WindowManager* GetWindowManager();

// The window of class W on the manager's stack: the topmost with W's id
// (W::kId, which no other class uses); null without a manager or such a
// window. A window is found from its making until its deletion, closing
// or not.
template <class W>
W* FindWindowOf(const WindowManager* manager = GetWindowManager()) {
  return manager ? static_cast<W*>(manager->FindWindow(W::kId)) : nullptr;
}

// The outline of caption texts into `out`: index 0 only (false for any other).
bool GetCaptionOutline(i32 index, DXLOUTLINE* out);
// Puts the caption outline of the index into a text sprite's parameters
// (switching the outline off when there is none).
void SetBox(KGESPRITEPARAMS* params, i32 index);
// A medal picture for a medal code (6 gold, 5 silver, other codes from 3
// bronze, below 3 the "not completed" mark) as a new image sprite the caller
// deletes, with the position moved to where it is drawn; null without the
// sprite.
ImageSprite* GetMedalSprite(i32 medal, float* x, float* y);

// Level and global change notifications: mark the hint owner's pending
// refresh when its refresh mask asks for it.
void HintRefreshOnLevelChange();
void HintRefreshOnGlobalChange(u32 ignored);
