// The demo's scene on an 800 x 600 back buffer: a checkered texture drawn
// twice its size, a half-transparent red quad blended over it, a green square
// spinning by the frame count, a magenta quad cut by a clip rectangle, a
// yellow square moved with the arrow keys, a white cross at the last click
// and, while the game waits for the user, a grey bar along the top. The
// engine draws the cursor itself (a texture cursor).
//
// CheckShot compares a screenshot with the scene at pixels that do not
// depend on time, the pointer or the pause level, and with the cursor when
// told where the pointer was.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/DXLMouse.h"

class DXLTexture;
class DXLTextures;
class DXLViewer;

namespace demo {

constexpr uint32_t kWidth = 800;
constexpr uint32_t kHeight = 600;
constexpr uint32_t kCursorSlot = 10;

class Scene {
 public:
  // Makes the textures in the list and adds the texture cursor.
  bool Build(DXLTextures* textures);
  void Draw(DXLViewer* viewer, uint32_t pauseLevel);

  void Key(uint16_t key);  // DirectInput key code, once per press (repeats included)
  void Click(DXLPOINT point) { click_ = point; }
  uint32_t Frames() const { return frames_; }

 private:
  DXLTexture* checker_ = nullptr;
  DXLTexture* red_ = nullptr;
  DXLTexture* green_ = nullptr;
  DXLTexture* cursor_ = nullptr;
  uint32_t frames_ = 0;
  uint32_t angle_ = 0;  // degrees
  bool spin_ = true;
  int32_t squareX_ = 700;
  int32_t squareY_ = 500;
  DXLPOINT click_{-100, -100};
};

// Empty when the screenshot shows the scene (and, when `cursor` is given,
// the drawn cursor with its tip there); else what differs.
std::string CheckShot(const std::vector<uint32_t>& pixels, uint32_t width, uint32_t height,
                      const DXLPOINT* cursor);

}  // namespace demo
