// MainScreen - the title screen (game state 6): a painted scene built from
// the "MNSC" layer records (MainScreenLayers), swaying and breathing as a
// whole with per-layer parallax, with sweeping light rays, falling petals
// and the farm girl, who tilts her head, waves, blinks and smiles while the
// pointer is over the menu; over it the language's title picture and the
// main menu ("easy", "hard", "options", "quit", the greeting with the
// player's name that opens the profile list, the credits in the bottom-left
// corner). One screen exists for the run; the game's state machine enters
// and leaves it and hands it the frames' updates, draws and input.
//
// Its layers animate in whole game frames (at most five an update); the
// sway runs on the raw time. Everything the screen asks of the rest of the
// game (the profiles, the other windows, a screen change, the game's end,
// the system's user name) goes through MainScreenHost.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "base/Types.h"
#include "content/MainScreenSection.h"
#include "engine/DXLDrawTypes.h"
#include "engine/DXLRect.h"
#include "gametext/KGETextParams.h"
#include "ui/ActiveButton.h"
#include "ui/SpritesWindow.h"

class DXLTexture;
class GPSSpace;
class ImageButton;
class KGETextSpriteW;
class MainScreen;
class MapProfile;
class OptionsHooks;
class Profile;
class ProfileRoster;
class Sprite;

// Menu commands.
constexpr u32 kMainScreenEasy = 0x12340001;
constexpr u32 kMainScreenHard = 0x12340002;
constexpr u32 kMainScreenOptions = 0x12340003;
constexpr u32 kMainScreenQuit = 0x12340004;
constexpr u32 kMainScreenCredits = 0x12340005;
constexpr u32 kMainScreenProfiles = 0x1234000F;
constexpr u32 kMainScreenMenuId = 0x4D534D6E;  // "MSMn"

// What the main screen asks of the game (the game object; tests a fake).
class MainScreenHost {
 public:
  virtual ~MainScreenHost() = default;
  virtual Profile* GetCurrentProfile() const = 0;
  virtual u32 GetProfileCount() const = 0;
  virtual ProfileRoster* GetRoster() = 0;  // the profile windows' view of the store
  virtual OptionsHooks* GetOptionsHooks() = 0;
  // The profile made current by the new-profile window (SelectProfile).
  virtual void SelectProfile(MapProfile* profile) = 0;
  // Comic 0 started (false when there is none).
  virtual bool StartOpeningComic() = 0;
  virtual void ChangeScreen(u32 state) = 0;  // the fade to another screen
  virtual void CloseGame() = 0;              // CloseGameWindow
  virtual std::u16string GetUserName() = 0;  // the system's, at most 16 characters
};

// --- The scene's layers -------------------------------------------------------------------------

struct MAINSCREENSPRITE {
  DXLTexture* texture;
  DXLQUAD quad;
  u32 index;  // of its sprite entry
  // The texture rows [opaqueFrom, opaqueTo) whose texels are all opaque
  // (none when equal), for the rows the layer covers (CoveredRows).
  i32 opaqueFrom, opaqueTo;
};

// Screen rows first .. last (none when first > last).
struct MainScreenRows {
  i32 first, last;
};

class MainScreenLayer {
 public:
  // Adds itself to the owner's layers; a quad for each entry whose sprite
  // of set 13 exists and has an image.
  MainScreenLayer(MainScreen* owner, const MAINSCREENLAYERINFO* record);
  virtual ~MainScreenLayer() = default;
  MainScreenLayer(const MainScreenLayer&) = delete;
  MainScreenLayer& operator=(const MainScreenLayer&) = delete;

  virtual void Update(u32 /*ms*/) {}
  // The transform moved by the sway x depth and scaled by 1 + zoom sway x zoom.
  virtual void ApplyParallax();
  virtual void Draw();  // the quads in order
  // The rows of a target w x h pixels that the layer's quads, drawn under
  // `transform`, fill with opaque pixels from edge to edge, whatever lies
  // under them: its sprites' opaque texture rows where a quad spans the
  // whole width, unturned, kept a texel and a pixel inside them. The
  // layers behind need not draw those rows. None for the girl, the rays
  // and the petals.
  virtual MainScreenRows CoveredRows(const DXLMATRIX& transform, i32 w, i32 h) const;

  const MAINSCREENLAYERINFO* Record() const { return record_; }
  const std::vector<MAINSCREENSPRITE>& Quads() const { return quads_; }

 protected:
  void DrawQuads();
  MainScreen* owner_;
  const MAINSCREENLAYERINFO* record_;
  std::vector<MAINSCREENSPRITE> quads_;
  float depth_;
  float zoom_;
};

// The girl's moving parts over the layer's own quads (her body).
class MainScreenGirl : public MainScreenLayer {
 public:
  enum Smile : u32 { kSmileIdle = 0, kSmileIn = 1, kSmileOut = 2, kSmileHold = 3 };
  static constexpr u32 kSmileFade = 100;
  static constexpr u32 kBlinkTime = 100;
  static constexpr i32 kEndless = -1;

  MainScreenGirl(MainScreen* owner, const MAINSCREENLAYERINFO* record);
  void Update(u32 ms) override;
  void Draw() override;
  MainScreenRows CoveredRows(const DXLMATRIX&, i32, i32) const override { return {0, -1}; }

  // A smile held `hold` ms (kEndless: until ended); an end of the smile.
  void StartSmile(i32 hold);
  void EndSmile();

  // The parts' angles in degrees; the head follows the frame timer.
  static float HeadAngle(u32 runningMs);
  float GetHeadAngle() const { return headAngle_; }
  float GetArmAngle() const { return armAngle_; }
  float GetHandAngle() const { return handAngle_; }
  u32 GetWaveClock() const { return waveClock_; }
  u32 GetWavePause() const { return wavePause_; }
  bool IsBlinking() const { return blinkLeft_ > 0; }
  u32 GetBlinkGroup() const { return blinkGroup_; }
  bool IsQuickBlinking() const { return quick_; }
  u32 GetNextBlink() const { return nextBlink_; }
  u32 GetSmileState() const { return smile_; }
  u32 GetSmileTimer() const { return smileTimer_; }
  i32 GetSmileHold() const { return smileHold_; }

 private:
  struct Part {
    Sprite* sprite = nullptr;
    float pivotX = 0, pivotY = 0;  // pixels of the picture
  };
  void DrawPart(const Part& part, i32 frame, u32 colour);
  void UpdateWave(u32 ms);
  void UpdateBlinks(u32 ms);
  void UpdateSmile(u32 ms);

  Part head_, arm_, hand_, eyes_, mouth_;
  float headAngle_ = 0, armAngle_ = 0, handAngle_ = -10;
  u32 waveClock_ = 0;
  u32 wavePause_ = 0;
  u32 nextBlink_ = 0;
  u32 blinkLeft_ = 0;
  u32 blinkGroup_ = 0;
  bool quick_ = false;
  u32 smile_ = kSmileIdle;
  u32 smileTimer_ = 0;
  i32 smileHold_ = 0;
};

// Rays that sweep across the scene now and then.
class MainScreenLight : public MainScreenLayer {
 public:
  struct Ray {
    const MAINSCREENLIGHTINFO* light;
    DXLTexture* texture;
    DXLQUAD quad;  // moved so the pivot is its origin
    u32 colour;
    float pivotX, pivotY;
    float x, y;  // the current position
    float offsetX, offsetY;
    float angle;
    u32 pause;  // ms left of the pause; 0 while it sweeps
    u32 duration;
    u32 elapsed;
  };
  MainScreenLight(MainScreen* owner, const MAINSCREENLAYERINFO* record);
  void Update(u32 ms) override;
  void Draw() override;
  MainScreenRows CoveredRows(const DXLMATRIX&, i32, i32) const override { return {0, -1}; }
  std::vector<Ray>& Rays() { return rays_; }
  // The alpha of a ray's colour `alpha` at `elapsed` ms of its sweep.
  static u32 RayAlpha(u32 alpha, const MAINSCREENLIGHTINFO& light, u32 elapsed, u32 duration);

 private:
  std::vector<Ray> rays_;
};

class MainScreenParticles : public MainScreenLayer {
 public:
  MainScreenParticles(MainScreen* owner, const MAINSCREENLAYERINFO* record);
  ~MainScreenParticles() override;
  void Update(u32 ms) override;
  void Draw() override;
  MainScreenRows CoveredRows(const DXLMATRIX&, i32, i32) const override { return {0, -1}; }
  GPSSpace* Space() const { return space_.get(); }

 private:
  std::unique_ptr<GPSSpace> space_;
};

// --- The menu -----------------------------------------------------------------------------------

// A text in game font 3 that is a button: the greeting with the player's
// name, the credits.
class MainScreenTextButton : public ActiveButton {
 public:
  MainScreenTextButton(GameWindow* parent, u32 id, const wchar* text, uintptr_t tagKind, uintptr_t tagObject);
  ~MainScreenTextButton() override;
  void Draw() override;
  void SetFacePosition(float x, float y) {
    faceX_ = x;
    faceY_ = y;
  }
  // A text wider than `width` is drawn smaller, on its one line and centred
  // on the line's height, down to `smallest` of its size: a long name never
  // runs out of the band. One still too wide is made anew with `name`, where
  // it shows in the text, cut short and ending in "...".
  void FitWidth(i32 width, float smallest = 0.0f, const std::u16string& name = {});
  float GetScale() const { return scale_; }
  i32 GetTextWidth() const;
  i32 GetTextHeight() const;
  KGETextSpriteW* GetText() const { return text_; }
  float GetFaceX() const { return faceX_; }
  float GetFaceY() const { return faceY_; }

 private:
  static constexpr u32 kMaxChars = 256;
  void MakeText(const std::u16string& text, KGETEXTCALLBACK tags);

  std::u16string source_;  // as given, its tags not yet written out
  uintptr_t tagKind_, tagObject_;
  KGETextSpriteW* text_ = nullptr;
  float faceX_ = 0, faceY_ = 0;
  float scale_ = 1.0f;
};

class MainScreenMenu : public SpritesWindow {
 public:
  static constexpr i32 kButtonX = 16;
  static constexpr i32 kButtonStep = 68;
  static constexpr i32 kButtonWidth = 253;
  static constexpr i32 kButtonTop = 52;    // below the greeting's band
  static constexpr i32 kBoardRim = 1;       // the band's edge pixel, shaded into the frame
  static constexpr i32 kGreetingMargin = 4;  // the board free beside the greeting
  static constexpr float kGreetingSmallest = 0.8f;  // of game font 3: letters 11 pixels high
  static constexpr i32 kButtonHeight = 63;  // the toolkit's standard button
  static constexpr i32 kChainX = 197, kChainY = 146;
  static constexpr i32 kLockX = 209, kLockY = 141;

  MainScreenMenu(MainScreen* screen, MainScreenHost* host);
  ~MainScreenMenu() override;
  void GetDefaultPos(i32* x, i32* y) const override;
  void OnScreenResize() override;
  bool HitTest(i32 x, i32 y) const override;
  u32 OnCommand(GameButton* control) override;
  void DrawForeground() override;

  // Rebuilds what depends on the profile: the greeting, "easy", "hard" and its hint.
  void Refresh();
  void Arrange();  // at the screen's menu place; the credits in the corner
  ImageButton* GetButton(u32 command) const;
  MainScreenTextButton* GetGreeting() const { return greeting_; }
  const wchar* GetGreetingKey() const { return greetingKey_; }  // "welcom", "hello" or null
  MainScreenTextButton* GetCredits() const { return credits_; }
  bool IsLocked() const;  // "hard" disabled: the lock and chain show

 private:
  MainScreen* screen_;
  MainScreenHost* host_;
  ImageButton* buttons_[4] = {};
  MainScreenTextButton* greeting_ = nullptr;
  const wchar* greetingKey_ = nullptr;
  MainScreenTextButton* credits_ = nullptr;
  Sprite* lock_ = nullptr;
  Sprite* chain_ = nullptr;
};

// --- The screen ---------------------------------------------------------------------------------

class MainScreen {
 public:
  static constexpr u32 kSwayPeriod = 10000;
  static constexpr u32 kZoomPeriod = 14000;
  static constexpr float kSwayReach = 50.0f;
  static constexpr float kZoomReach = 0.07f;
  static constexpr u32 kSmileGap = 300;  // ms between two changes of the smile
  static constexpr u32 kMaxFrames = 5;

  struct Fit {
    float offsetX, offsetY, scale;
  };
  struct TitleLayout {
    DXLRECT title;  // x, y, width, height
    i32 menuTop;
    i32 menuAxis;
  };
  // The scene's origin and scale for a screen w x h (game coordinates).
  static Fit FitScreen(i32 w, i32 h);
  // The title's place, for a title texture t high (0: none) and the
  // language's horizontal adjustment d.
  static TitleLayout LayOutTitle(i32 w, i32 h, float scale, i32 t, i32 d);

  MainScreen(const MainScreenLayers* records, MainScreenHost* host);
  ~MainScreen();
  MainScreen(const MainScreen&) = delete;
  MainScreen& operator=(const MainScreen&) = delete;

  void Enter();
  void Leave();
  void Update(u32 ms);
  void Draw();  // clears what its opaque layers leave uncovered, then draws
  void RefreshMenu();
  // Input in game coordinates; true when a window took it.
  bool OnMouseDown(i32 x, i32 y, u32 button, u32 keys);
  bool OnMouseUp(i32 x, i32 y, u32 button, u32 keys);
  bool OnMouseMove(i32 x, i32 y, u32 buttons, u32 keys);
  bool OnDoubleClick(i32 x, i32 y, u32 button);
  bool OnMouseWheel(i32 x, i32 y, i32 delta);
  bool OnKeyDown(u16 key, u32 keys);  // Escape (27) no window took ends the game
  bool OnKeyUp(u16 key, u32 keys);
  bool OnChar(u16 character);
  // The smile follows whether a window is under the pointer, at most one
  // change per 300 ms of `now`.
  void TrackPointer(bool overWindow, u32 now);

  // Read by the layers and by tests.
  float GetSwayX() const { return swayX_; }
  float GetSwayY() const { return swayY_; }
  float GetZoomSway() const { return zoomSway_; }
  u32 GetTotalTime() const { return total_; }
  u32 GetLastFrames() const { return frames_; }
  u32 GetAccumulator() const { return accumulator_; }
  const Fit& GetFit() const { return fit_; }
  const TitleLayout& GetTitle() const { return title_; }
  u32 GetPreRunCount() const { return preRun_; }
  bool IsEntered() const { return entered_; }
  const std::vector<std::unique_ptr<MainScreenLayer>>& Layers() const { return layers_; }
  MainScreenGirl* GetGirl() const { return girl_; }
  MainScreenMenu* GetMenu() const { return menu_; }
  MainScreenHost* Host() const { return host_; }
  void AddLayer(MainScreenLayer* layer) { layers_.emplace_back(layer); }
  const DXLMATRIX* SceneTransform() const { return &scene_; }
  // The rows the last Draw left out of layers behind opaque ones, summed
  // over the layers; false draws every layer whole (a test seam).
  u32 GetRowsLeftOut() const { return rowsLeftOut_; }
  void SetLeaveCoveredRows(bool leave) { leaveCovered_ = leave; }
  // The fit and the title's layout for the game area's size now.
  void Refit();
  // The screen changed: fit, title and menu laid out again for it, and the
  // window manager told.
  void FitToScreen() { Arrange(); }

 private:
  void Arrange();  // fit, title and menu for the current screen
  void UpdateSway(u32 ms);

  const MainScreenLayers* records_;
  MainScreenHost* host_;
  std::vector<std::unique_ptr<MainScreenLayer>> layers_;
  MainScreenGirl* girl_ = nullptr;
  u32 total_ = 0;
  u32 accumulator_ = 0;
  u32 frames_ = 0;
  DXLMATRIX scene_{};
  Fit fit_{0, 0, 1.0f};
  float swayX_ = 0, swayY_ = 0, zoomSway_ = 0;
  float swayFromX_ = 0, swayFromY_ = 0, swayToX_ = 0, swayToY_ = 0;
  u32 swayPeriod_ = 0, swayElapsed_ = 0;
  float zoomFrom_ = 0, zoomTo_ = 0;
  u32 zoomPeriod_ = 0, zoomElapsed_ = 0;
  TitleLayout title_{};
  DXLTexture* titleTexture_ = nullptr;
  DXLQUAD titleQuad_{};
  MainScreenMenu* menu_ = nullptr;
  bool overWindow_ = false;
  u32 overChanged_ = 0;
  u32 preRun_ = 0;
  bool entered_ = false;
  bool leaveCovered_ = true;
  u32 rowsLeftOut_ = 0;
  // Draw's per-layer scratch, kept so a frame allocates nothing.
  std::vector<MainScreenRows> covered_;
  std::vector<i32> cut_;
};
