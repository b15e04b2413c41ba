// The demo's scene on an 800 x 600 back buffer: the farm of the data set
// (DemoWorld.h) above a wooden strip where the level's panel goes, a white
// cross at the last click and, while the game waits for the user, a grey
// bar along the top. The engine draws the cursor itself (a texture cursor).
// Space stops and starts the walk.
//
// CheckShot says whether a screenshot shows the scene: the strip, the
// grass, the crossing of the paths, something standing on each garbage
// place, the character somewhere on her walk (her red shirt and blue
// overalls together), the butterflies over the fields, and the cursor when
// told where the pointer was. It looks at colours, not exact pixels, so the
// art may change without breaking it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "DemoWorld.h"
#include "engine/DXLMouse.h"

class DXLTexture;
class DXLTextures;
class DXLViewer;

namespace demo {

constexpr uint32_t kWidth = 800;
constexpr uint32_t kHeight = 600;
constexpr uint32_t kCursorSlot = 10;
constexpr int32_t kStripTop = 478;  // the level ends here at the view's scale

class Scene {
 public:
  // Reads the data set (its sound on the output, null for none; the
  // window's collaborators in `window`) and adds the texture cursor to the
  // list; false with a message.
  bool Build(DXLViewer* viewer, DXLTextures* textures, const plat::PlatformServices& window,
             const std::string& dataFolder, std::unique_ptr<plat::audio::Output> sound, std::string* error);
  void Unload() { world_.Unload(); }
  const std::string& SoundProblem() const { return world_.SoundProblem(); }  // empty when it plays
  void Update(float ms) { world_.Update(ms); }
  void Draw(DXLViewer* viewer, uint32_t pauseLevel);

  void Key(uint16_t key);  // DirectInput key code, once per press (repeats included)
  void Click(DXLPOINT point) { click_ = point; }
  uint32_t Frames() const { return frames_; }

 private:
  World world_;
  DXLTexture* cursor_ = nullptr;
  uint32_t frames_ = 0;
  DXLPOINT click_{-100, -100};
};

// Empty when the screenshot shows the scene (and, when `cursor` is given,
// the drawn cursor with its tip there); else what differs.
std::string CheckShot(const std::vector<uint32_t>& pixels, uint32_t width, uint32_t height, const SceneLayout& layout,
                      const DXLPOINT* cursor);

}  // namespace demo
