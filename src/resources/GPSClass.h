// GPSClass - root of the particle system's objects (spaces, emitters,
// particles): each is deleted through it.
#pragma once

class GPSClass {
 public:
  GPSClass() = default;
  GPSClass(const GPSClass&) = delete;
  GPSClass& operator=(const GPSClass&) = delete;
  virtual ~GPSClass() = default;
};
