#include "resources/GPSSpace.h"

#include <cmath>

#include "engine/DXLViewer.h"
#include "resources/GPSEmiter.h"
#include "resources/GPSParticle.h"
#include "resources/ParticleLibrary.h"
#include "resources/ResourceServices.h"

GPSSpace::GPSSpace(u32 mirrored) : mirrored_(mirrored) { handle_ = GetParticleLibrary().spaces.Add(this); }

// Particles, then emitters, each leaving its table as it goes.
GPSSpace::~GPSSpace() {
  ClearParticles();
  while (const u32 h = emitters_.First()) delete emitters_.Get(h);
  GetParticleLibrary().spaces.Remove(handle_);
}

void GPSSpace::StartEmitters() {
  emitters_.ForEach([](GPSEmiter* e) { e->Start(); });
}

void GPSSpace::StopEmitters(bool immediately) {
  emitters_.ForEach([immediately](GPSEmiter* e) { e->Stop(immediately); });
}

void GPSSpace::SetAlpha(float alpha) {
  const float a = alpha > 0.0f ? (alpha < 1.0f ? alpha : 1.0f) : 0.0f;
  if (a != alpha_) alpha_ = a;
}

void GPSSpace::ClearParticles() {
  dead_.clear();
  while (const u32 h = particles_.First()) delete particles_.Get(h);
}

// The step loop subtracts whole steps, so an update of 25 ms with steps of
// 10 runs 10, 10 and 5.
void GPSSpace::Update(float ms) {
  float t = ms * timeScale_;
  if (!(t > 0.0f) || !std::isfinite(t)) return;
  const float step = GetParticleLibrary().maxStep;
  while (t > step) {
    Step(step);
    t -= step;
  }
  Step(t);
  DeleteDead();
}

void GPSSpace::Step(float dt) {
  particles_.ForEach([dt](GPSParticle* p) { p->Advance(dt); });
  emitters_.ForEach([dt](GPSEmiter* e) { e->Update(dt); });
}

void GPSSpace::DeleteDead() {
  std::vector<GPSParticle*> dead;
  dead.swap(dead_);
  for (GPSParticle* p : dead) delete p;
}

void GPSSpace::Draw() {
  DXLViewer* viewer = GetGameViewer();
  if (!viewer) return;
  DXLMATRIX saved;
  viewer->GetTransform(&saved);
  const float alpha = alpha_;
  particles_.ForEach([&](GPSParticle* p) {
    if (p->IsDead()) return;
    viewer->SetTransform(&saved);
    p->Draw(alpha);
  });
  viewer->SetTransform(&saved);
}
