// Random worlds and queries from the input: every request must end in one
// call (no limit), and every path found must start at the start, stay on free
// pixels and cross no obstacle. The outlines are checked as well.
#include <cstddef>
#include <cstdint>
#include <filesystem>

#include "pathfinding/PathFinder.h"
#include "platform/encoding/Utf.h"
#include "testsupport/GridValidator.h"
#include "testsupport/PathChecker.h"

namespace {

class Bytes {
 public:
  Bytes(const uint8_t* d, size_t n) : d_(d), n_(n) {}
  bool More() const { return i_ < n_; }
  u8 Byte() { return i_ < n_ ? d_[i_++] : 0; }
  i32 Range(i32 lo, i32 span) { return lo + static_cast<i32>(((Byte() << 8) | Byte()) % static_cast<u32>(span)); }

 private:
  const uint8_t* d_;
  size_t n_;
  size_t i_ = 0;
};

class QuietSink : public shpf::PathFailureSink {
 public:
  void Report(const std::u16string&, const std::u16string&) override {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace shpf;
  static QuietSink sink;
  static const std::u16string folder = plat::Utf8ToUtf16(std::filesystem::temp_directory_path().string());
  Bytes in(data, size);
  const u16 w = static_cast<u16>(in.Range(40, 300)), h = static_cast<u16>(in.Range(40, 240));
  const u16 cell = static_cast<u16>(in.Range(8, 64));
  PathFinder pf(w, h, cell, cell);
  pf.SetFailureSink(&sink);
  pf.SetDumpFolder(folder);
  const i32 grids = 1 + in.Byte() % 3;
  for (i32 g = 0; g < grids; ++g) {
    const i32 fx = in.Byte() % 12, fy = in.Byte() % 12;
    pf.CreateGrid(static_cast<u32>(g + 1), PackPair(fx, fy), PackPair(fx, fy), 1u << g);
  }
  const i32 shapes = in.Byte() % 24;
  pf.BeginUpdate();
  for (i32 i = 0; i < shapes; ++i) {
    const i32 x = in.Range(-20, w + 20), y = in.Range(-20, h + 20);
    pf.AddShape(PackPair(x, y), PackPair(x + in.Range(1, 90), y + in.Range(1, 90)), in.Byte() % 8);
  }
  pf.EndUpdate();
  if (!shpf_test::ValidateFinder(pf).empty()) __builtin_trap();
  for (i32 q = 0; q < 8 && in.More(); ++q) {
    _SHAPEGRID* g = pf.GetGrid(static_cast<u32>(1 + in.Byte() % grids));
    if (!g) continue;
    _PATHREQUEST r{};
    r.gridId = g->id;
    r.startX = static_cast<float>(in.Range(-5, w + 10)) + (in.Byte() & 3) * 0.25f;
    r.startY = static_cast<float>(in.Range(-5, h + 10));
    r.finishX = static_cast<float>(in.Range(-5, w + 10));
    r.finishY = static_cast<float>(in.Range(-5, h + 10)) + (in.Byte() & 3) * 0.25f;
    pf.RunRequest(&r);
    if ((r.prState != PFS_FOUND && r.prState != PFS_FAILED) || r.data) __builtin_trap();
    if (r.prState == PFS_FOUND && !shpf_test::CheckPath(pf, g, r, r.startX, r.startY, nullptr).empty())
      __builtin_trap();
    delete[] r.points;
  }
  return 0;
}
