// The stored records of the sprite archive and the particle section against
// bytes laid out by hand from their tables: every field a value of its own.
// For each layout the writer, given the record field by field, must give
// exactly those bytes (every byte of the record written, padding zero), and
// the reader must read them back into a record the writer turns into the
// same bytes again; so an offset, a width or an order that reader and
// writer got wrong together fails here, though it passes every round trip.
#include <gtest/gtest.h>

#include <vector>

#include "resources/ParticleRecords.h"
#include "resources/SpriteRecords.h"
#include "testsupport/ByteBuilder.h"

namespace {

using Bytes = std::vector<u8>;
using testsupport::ByteLayout;

// The writer's bytes over a buffer full of 0xCC, so no byte is left unwritten.
template <class R>
Bytes Written(void (*put)(u8*, const R&), const R& record, size_t size) {
  Bytes out(size, 0xCC);
  put(out.data(), record);
  return out;
}

template <class R>
R Read(void (*parse)(const u8*, R*), const Bytes& bytes) {
  R record{};
  parse(bytes.data(), &record);
  return record;
}

// The writer gives the hand-made bytes, and what the reader reads from them
// the writer gives back.
template <class R>
void ExpectLayout(void (*parse)(const u8*, R*), void (*put)(u8*, const R&), const R& record, const Bytes& hand) {
  EXPECT_TRUE(testsupport::SameBytes(Written(put, record, hand.size()), hand)) << "written";
  EXPECT_TRUE(testsupport::SameBytes(Written(put, Read(parse, hand), hand.size()), hand)) << "read back";
}

DXLDRAWSTATE DrawState() { return DXLDRAWSTATE{1, 2, 0x31, 0x32, 0x33, 0x34, 0x35}; }
// u8 min filter, u8 mag filter, 2 padding, then five u32.
Bytes DrawStateBytes() {
  return ByteLayout(24).u8_(0, 1).u8_(1, 2).u32_(4, 0x31).u32_(8, 0x32).u32_(12, 0x33).u32_(16, 0x34).u32_(20, 0x35).v;
}

TEST(StoredRecords, SpriteArchiveRecordsLieWhereTheirTablesPutThem) {
  {
    SCOPED_TRACE("draw state");
    ExpectLayout(ParseDrawStateRecord, PutDrawStateRecord, DrawState(), DrawStateBytes());
  }
  {
    SCOPED_TRACE("frame sequence: mode, first, count, time per frame, elapsed, current");
    ExpectLayout(ParseFrameSeqRecord, PutFrameSeqRecord, DXLFRAMESEQ{2, 3, 4, 100, 5, 6},
                 ByteLayout(24).u32_(0, 2).u32_(4, 3).u32_(8, 4).u32_(12, 100).u32_(16, 5).u32_(20, 6).v);
  }
  {
    SCOPED_TRACE("frame rectangle: left, top, right, bottom");
    ExpectLayout(ParseRectRecord, PutRectRecord, DXLRECT{-3, 4, 50, 60},
                 ByteLayout(16).u32_(0, u32(-3)).u32_(4, 4).u32_(8, 50).u32_(12, 60).v);
  }
  {
    SCOPED_TRACE("image entry");
    const IMAGERECORD r{kImageRecordSize, 0x11, 0x22, DrawState(), u"grass", 0x1234};
    const Bytes hand =
        ByteLayout(104).u32_(0, 104).u32_(4, 0x11).u32_(8, 0x22).put(12, DrawStateBytes()).wide(36, u"grass")
            .u32_(100, 0x1234).v;
    ExpectLayout(ParseImageRecord, PutImageRecord, r, hand);
  }
  {
    SCOPED_TRACE("sprite record");
    const SPRITERECORD r{kSpriteRecordSize, u"hero", u"atlas", 1, 2, 3, -1, 7, 4, {10, 20, 30, 40},
                         11, 12, 13, 14, 5, 6};
    const Bytes hand = ByteLayout(184)
                           .u32_(0, 184)
                           .wide(4, u"hero")
                           .wide(68, u"atlas")
                           .u8_(132, 1)
                           .u8_(133, 2)
                           .u8_(134, 3)
                           .u32_(136, u32(-1))
                           .u32_(140, 7)
                           .u8_(144, 4)
                           .u32_(148, 10)
                           .u32_(152, 20)
                           .u32_(156, 30)
                           .u32_(160, 40)
                           .u32_(164, 11)
                           .u32_(168, 12)
                           .u32_(172, 13)
                           .u32_(176, 14)
                           .u8_(180, 5)
                           .u8_(181, 6)
                           .v;
    ExpectLayout(ParseSpriteRecord, PutSpriteRecord, r, hand);
  }
  {
    SCOPED_TRACE("map-sprite record");
    const MAPSPRITERECORD r{kMapSpriteRecordSize, u"well", u"well_base", -5, 60, 7, 8, 1, 2, 3, 4, 5};
    const Bytes hand = ByteLayout(168)
                           .u32_(0, 168)
                           .wide(4, u"well")
                           .wide(68, u"well_base")
                           .u32_(132, u32(-5))
                           .u32_(136, 60)
                           .u32_(140, 7)
                           .u32_(144, 8)
                           .u8_(148, 1)
                           .u32_(152, 2)
                           .u32_(156, 3)
                           .u32_(160, 4)
                           .u32_(164, 5)
                           .v;
    ExpectLayout(ParseMapSpriteRecord, PutMapSpriteRecord, r, hand);
  }
  {
    SCOPED_TRACE("sub-sprite record");
    SSDATA r{kSubSpriteRecordSize, kSubSpriteImage, u"smoke", 1.5f, -2.5f, 0.25f, 0.75f, 2.0f, 3.0f, nullptr};
    const Bytes hand = ByteLayout(96)
                           .u32_(0, 96)
                           .u32_(4, 1)
                           .wide(8, u"smoke")
                           .f32_(72, 1.5f)
                           .f32_(76, -2.5f)
                           .f32_(80, 0.25f)
                           .f32_(84, 0.75f)
                           .f32_(88, 2.0f)
                           .f32_(92, 3.0f)
                           .v;
    ExpectLayout(ParseSubSpriteRecord, PutSubSpriteRecord, r, hand);
    r.sprite = reinterpret_cast<Sprite*>(&r);  // in memory only
    EXPECT_TRUE(testsupport::SameBytes(Written(PutSubSpriteRecord, r, 96), hand));
    EXPECT_EQ(Read(ParseSubSpriteRecord, hand).sprite, nullptr);
  }
  {
    SCOPED_TRACE("shadow entry");
    const SHADOWRECORD r{u"blob", 40, -1, 0.5f, 0.875f, 0.625f};
    const Bytes hand = ByteLayout(84)
                           .wide(0, u"blob")
                           .u32_(64, 40)
                           .u32_(68, u32(-1))
                           .f32_(72, 0.5f)
                           .f32_(76, 0.875f)
                           .f32_(80, 0.625f)
                           .v;
    ExpectLayout(ParseShadowRecord, PutShadowRecord, r, hand);
  }
}

TEST(StoredRecords, NamesFillTheirFieldAndEndInsideTheBuffer) {
  // 32 units with no end: written whole, read back cut at 31 characters.
  std::u16string full(32, u'x');
  const Bytes hand = ByteLayout(84).wide(0, full).v;
  SHADOWRECORD r{};
  for (u32 i = 0; i < kSpriteNameSize; ++i) r.name[i] = u'x';
  EXPECT_TRUE(testsupport::SameBytes(Written(PutShadowRecord, r, 84), hand));
  const SHADOWRECORD back = Read(ParseShadowRecord, hand);
  EXPECT_EQ(std::u16string(back.name), full.substr(0, 31));
  // What follows a name's end in memory never reaches the file.
  r = SHADOWRECORD{u"ab", 0, 0, 0, 0, 0};
  r.name[5] = u'z';
  EXPECT_TRUE(testsupport::SameBytes(Written(PutShadowRecord, r, 84), ByteLayout(84).wide(0, u"ab").v));
}

TEST(StoredRecords, ParticleRecordsLieWhereTheirTablesPutThem) {
  const GPSPARAMS p{kEmitterParamsRecordSize, 9, 0xFF, {3, 5}, {6, 7}, {-1, 800}, {0.5f, 1.0f}, {0.875f, 0.9375f},
                    {1.5f, 2.5f}, 1, {10.0f, 20.0f}, {0.5f, 0.75f}, {1.25f, 1.5f}, 2, 0x80FF8040u, 4, {-30.0f, 30.0f},
                    {2.0f, 3.0f}};
  const Bytes params = ByteLayout(116)
                           .u32_(0, 116)
                           .u32_(4, 9)
                           .u32_(8, 0xFF)
                           .u32_(12, 3)
                           .u32_(16, 5)
                           .u32_(20, 6)
                           .u32_(24, 7)
                           .u32_(28, u32(-1))
                           .u32_(32, 800)
                           .f32_(36, 0.5f)
                           .f32_(40, 1.0f)
                           .f32_(44, 0.875f)
                           .f32_(48, 0.9375f)
                           .f32_(52, 1.5f)
                           .f32_(56, 2.5f)
                           .u32_(60, 1)
                           .f32_(64, 10.0f)
                           .f32_(68, 20.0f)
                           .f32_(72, 0.5f)
                           .f32_(76, 0.75f)
                           .f32_(80, 1.25f)
                           .f32_(84, 1.5f)
                           .u32_(88, 2)
                           .u32_(92, 0x80FF8040u)
                           .u32_(96, 4)
                           .f32_(100, -30.0f)
                           .f32_(104, 30.0f)
                           .f32_(108, 2.0f)
                           .f32_(112, 3.0f)
                           .v;
  {
    SCOPED_TRACE("emitter parameter record");
    ExpectLayout(ParseEmitterParams, PutEmitterParams, p, params);
  }

  const GPSSYSTEM s{kParticleSystemRecordSize, kEmitRectangle, 0x77, 0xABCD1234u, 9, 100, 2000, -1, {50, 150},
                    90.0f, 15.0f, u"spark", {1.0f, 2.0f, 3.0f, 4.0f}};
  const Bytes system = ByteLayout(128)
                           .u32_(0, 128)
                           .u32_(4, 5)
                           .u32_(8, 0x77)
                           .u32_(12, 0xABCD1234u)
                           .u32_(16, 9)
                           .u32_(20, 100)
                           .u32_(24, 2000)
                           .u32_(28, u32(-1))
                           .u32_(32, 50)
                           .u32_(36, 150)
                           .f32_(40, 90.0f)
                           .f32_(44, 15.0f)
                           .wide(48, u"spark")
                           .f32_(112, 1.0f)
                           .f32_(116, 2.0f)
                           .f32_(120, 3.0f)
                           .f32_(124, 4.0f)
                           .v;
  {
    SCOPED_TRACE("particle-system definition");
    ExpectLayout(ParseParticleSystem, PutParticleSystem, s, system);
  }
  {
    SCOPED_TRACE("curve point: duration, colour");
    ExpectLayout(ParseCurvePoint, PutCurvePoint, GPSCURVEPOINT{250.0f, 0x00FF0000u},
                 ByteLayout(8).f32_(0, 250.0f).u32_(4, 0x00FF0000u).v);
  }
}

}  // namespace
