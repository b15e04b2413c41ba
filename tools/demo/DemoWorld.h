// The demo's farm: the first level of a built data set read by the game's
// world (app/GameWorld.h: the sound of "Sounds.dat", the 17 sprite sets of
// "Sprites.dat", the tables of "Data.dat"; no level scene) and drawn the way
// a level is at 800 x 600: the level scaled to the screen above the panel's
// strip, its ground tiles layer by layer, the garbage on its places and the
// player character walking round an ellipse (turning through her eight
// directions, her steps heard) in depth order, then the garbage's and the
// level's particles.
//
// Load needs the frame's viewer (the textures are made on it); Unload must
// run before the frame shuts down, and takes the sound down with the world.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/GameWorld.h"
#include "base/Types.h"
#include "content/GroundList.h"
#include "platform/os/PlatformServices.h"
#include "resources/GameAnimation.h"

class DXLViewer;
class GPSSpace;
class Sprite;

namespace plat::audio {
class Output;
}

namespace demo {

// The level's view at 800 x 600 (500 pixels high above the panel strip):
// level point (x, y) shows at (x x kViewScale - kViewScrollX, y x kViewScale).
constexpr float kViewScale = 500.0f / 720.0f;
constexpr float kViewScrollX = 44.0f;
constexpr float kLevelWidth = 1280.0f, kLevelHeight = 688.0f;
// The ellipse she walks round, in level pixels.
constexpr float kWalkX = 640.0f, kWalkY = 420.0f, kWalkRadiusX = 260.0f, kWalkRadiusY = 120.0f;

// A point of the level, in level pixels.
struct Place {
  float x, y;
};

// Where the first level's things stand, for the screenshot check: the
// middle of the paths' crossing, the garbage places, the level's emitters.
struct SceneLayout {
  Place crossing{0, 0};
  std::vector<Place> garbage;
  std::vector<Place> emitters;
};
// Reads it from the data set's "Data.dat" alone; false with a message.
bool ReadSceneLayout(const std::string& dataFolder, SceneLayout* out, std::string* error);

class World {
 public:
  World();
  ~World();
  World(const World&) = delete;
  World& operator=(const World&) = delete;

  // The data set on the viewer, its sound on the output (null: none);
  // `window` holds the window's collaborators the world installs while it
  // is open (its present sink; none when headless).
  bool Load(DXLViewer* viewer, const plat::PlatformServices& window, const std::string& dataFolder,
            std::unique_ptr<plat::audio::Output> sound, std::string* error);
  void Unload();
  const std::string& SoundProblem() const { return game_.SoundProblem(); }

  void Update(float ms);  // the walk and the particles
  void Draw(DXLViewer* viewer);
  void ToggleWalk() { walking_ = !walking_; }

 private:
  struct Thing {
    float x, y;
    Sprite* sprite;  // drawn with its frame's top left at (x - hotX, y - hotY)
    float hotX, hotY;
  };
  bool Build(std::string* error);
  void Walk(float ms);

  GameWorld game_;
  std::vector<std::unique_ptr<MAPTILE>> tiles_;  // by layer, then placement order
  std::vector<Thing> things_;
  std::vector<std::unique_ptr<GPSSpace>> spaces_;
  GameAnimation* walk_ = nullptr;
  AnimationState state_;
  bool walking_ = true;
  float turn_ = 0.0f;  // radians round the ellipse
  float girlX_ = kWalkX + kWalkRadiusX, girlY_ = kWalkY;
  bool loaded_ = false;
};

}  // namespace demo
