// The stored records of the particle systems ("PART" section of the data
// archive) in memory and as bytes, and the section's writer: curves of
// colour stops, emitter parameter records (116 bytes) and particle-system
// definitions (128 bytes). Every field is read and written on its own,
// little-endian, the reader and the writer walking one table of fields per
// layout (base/RecordFields.h). Parse* reads a record from exactly its size
// of bytes (the size word is returned, never judged here); Put* writes one
// with the right size word.
//
// Section layout: u32 total of all records (for progress), then three
// groups, each a u32 count and its records: curves {u32 id, u32 point count
// (0..16), points of {f32 duration, u32 ARGB colour}}, parameter records,
// definitions.
#pragma once

#include <vector>

#include "base/Types.h"
#include "resources/SpriteRecords.h"

constexpr u32 kParticleSectionId = 0x50415254u;  // "PART"
constexpr u32 kParticleSectionSubId = 1;

constexpr u32 kEmitterParamsRecordSize = 116;
constexpr u32 kParticleSystemRecordSize = 128;
constexpr u32 kCurvePointRecordSize = 8;
constexpr u32 kMaxCurvePoints = 16;

// Particle flags of a parameter record.
constexpr u32 kParticleSpin = 0x01;
constexpr u32 kParticleGravity = 0x02;
constexpr u32 kParticleDamping = 0x04;
constexpr u32 kParticleScale = 0x08;          // start to end scale over the life
constexpr u32 kParticleRotation = 0x10;
constexpr u32 kParticleFollowMotion = 0x20;   // with 0x10: turned to the direction of motion
constexpr u32 kParticleFixedColor = 0x40;
constexpr u32 kParticleColorCurve = 0x80;

// Emission shapes of a definition (the four sizes give their extent).
constexpr u32 kEmitPoint = 0;
constexpr u32 kEmitEllipseOutline = 1;  // radii size 0, 1; size 2 spreads the distance
constexpr u32 kEmitDisc = 2;            // radius size 0
constexpr u32 kEmitLine = 3;            // from (size 0, size 1) along (size 2, size 3)
constexpr u32 kEmitEllipseArea = 4;     // radii size 0, 1
constexpr u32 kEmitRectangle = 5;       // left top (size 0, size 1), extent (size 2, size 3)

// One stop of a colour curve: reached `duration` ms after the stop before it.
struct GPSCURVEPOINT {
  float duration;  // at least 0
  u32 color;       // ARGB
};

struct GPSCURVE {
  u32 id;
  std::vector<GPSCURVEPOINT> points;  // at most kMaxCurvePoints
  float total;                        // sum of the durations
};

// An emitter parameter record: what each particle is drawn from. Every
// range is {min, max}, drawn at random per particle.
struct GPSPARAMS {
  u32 size;
  u32 id;
  u32 flags;            // kParticle*
  i32 count[2];         // particles per burst
  i32 extra[2];         // copied into each particle, unused here
  i32 life[2];          // ms; either negative: unlimited
  float gravity[2];     // added to the y velocity every sub-step
  float damping[2];     // velocity factor every sub-step
  float spin[2];        // degrees per sub-step
  u32 reverseSpin;      // spin negated for directions between 90 and 270 degrees
  float angle[2];       // initial rotation, degrees
  float startScale[2];
  float endScale[2];
  u32 scaleCurve;       // 0 linear, 1 and 2 the eased curves of kis::Interpolate
  u32 color;            // fixed ARGB colour
  u32 colorCurve;       // curve id
  float direction[2];   // degrees
  float speed[2];       // pixels per sub-step
};

// A particle-system definition.
struct GPSSYSTEM {
  u32 size;
  u32 shape;            // kEmit*
  u32 unused;
  u32 nameId;           // kis::NameId of the system's name
  u32 paramsId;         // its parameter record
  i32 startDelay;       // ms; below 1: none
  i32 cyclePeriod;      // ms; 0: none
  i32 life;             // ms; negative: unlimited, 0: dead at once
  i32 burstInterval[2]; // ms
  float directionOffset;  // degrees, added to the parameter record's direction range
  float directionSpread;  // degrees, widening it on both sides
  wchar sprite[kSpriteNameSize];  // in the particle sprite set
  float sizes[4];       // of the emission shape
};

void ParseEmitterParams(const u8* raw, GPSPARAMS* out);
void PutEmitterParams(u8* raw, const GPSPARAMS& record);
void ParseParticleSystem(const u8* raw, GPSSYSTEM* out);
void PutParticleSystem(u8* raw, const GPSSYSTEM& record);
void ParseCurvePoint(const u8* raw, GPSCURVEPOINT* out);  // duration as stored, not judged
void PutCurvePoint(u8* raw, const GPSCURVEPOINT& point);

// Records with every field zero but the size word, the id (for a
// definition, the name's id and the parameter record's) and, for a
// definition, the sprite name; life -1 (unlimited).
GPSPARAMS MakeEmitterParams(u32 id);
GPSSYSTEM MakeParticleSystem(const wchar* name, u32 paramsId, const wchar* sprite);

// The "PART" section body; `total` is written as given (0xFFFFFFFF: the
// number of records).
std::vector<u8> ParticleSectionBody(const std::vector<GPSCURVE>& curves, const std::vector<GPSPARAMS>& params,
                                    const std::vector<GPSSYSTEM>& systems, u32 total = 0xFFFFFFFFu);
