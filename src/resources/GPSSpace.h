// GPSSpace - a room of particles: its emitters (GPSEmiter) and the particles
// they make (GPSParticle), advanced together and drawn on the viewer's
// current transform. A space registers in the particle library while it
// lives.
//
// Update splits the time (times the space's time scale) into steps of at
// most the library's largest step; each step advances every particle, then
// updates every emitter. Particles that die on the way are deleted when the
// update ends, so the tables stay whole while they are walked.
//
// Ownership: a space owns its particles. An emitter belongs to whoever made
// it: an owner that keeps the pointer deletes it (before the space), and the
// space deletes the emitters still in it when it goes. An emitter that has
// died (its life ran out) stays where it is, inert, until then: nothing
// else ever deletes it.
#pragma once

#include <vector>

#include "base/Types.h"
#include "resources/GPSClass.h"
#include "resources/GPSHandleTable.h"

class GPSEmiter;
class GPSParticle;

class GPSSpace : public GPSClass {
 public:
  static constexpr i32 kMaxParticles = 256;

  // mirrored: not 0 mirrors every new particle horizontally (about x = 0).
  explicit GPSSpace(u32 mirrored);
  ~GPSSpace() override;  // deletes its particles, then its emitters

  void StartEmitters();
  void StopEmitters(bool immediately);
  void SetAlpha(float alpha);  // clamped to 0..1 (not a number: 0)
  float GetAlpha() const { return alpha_; }
  void SetTimeScale(float scale) { timeScale_ = scale; }
  float GetTimeScale() const { return timeScale_; }
  void ClearParticles();  // deletes every particle at once
  // Advances by ms x time scale; nothing unless that is above 0 and finite.
  void Update(float ms);
  // Each particle in table order from the viewer's current transform, which
  // is the current transform again afterwards.
  void Draw();

  bool IsMirrored() const { return mirrored_ != 0; }
  i32 GetMaxParticles() const { return maxParticles_; }
  u32 GetParticleCount() const { return particles_.GetCount(); }
  u32 GetEmitterCount() const { return emitters_.GetCount(); }
  const GPSHandleTable<GPSParticle>& Particles() const { return particles_; }
  const GPSHandleTable<GPSEmiter>& Emitters() const { return emitters_; }

  // For the emitters and particles themselves.
  u32 AddEmitter(GPSEmiter* emitter) { return emitters_.Add(emitter); }
  void RemoveEmitter(u32 handle) { emitters_.Remove(handle); }
  u32 AddParticle(GPSParticle* particle) { return particles_.Add(particle); }
  void RemoveParticle(u32 handle) { particles_.Remove(handle); }
  // A particle that has died, deleted when the update under way ends (or by
  // the next update, ClearParticles or the destructor).
  void Dispose(GPSParticle* particle) { dead_.push_back(particle); }

 private:
  void Step(float dt);
  void DeleteDead();

  u32 handle_ = 0;  // in the library's space table
  GPSHandleTable<GPSEmiter> emitters_;
  GPSHandleTable<GPSParticle> particles_;
  i32 maxParticles_ = kMaxParticles;
  float timeScale_ = 1.0f;
  u32 mirrored_;
  float alpha_ = 1.0f;
  std::vector<GPSParticle*> dead_;
};
