// Arbitrary sequences of grid, shape, bracket and bounds operations on a small
// obstacle world; after every outermost step the brute-force validator must
// find groups, rings and cells consistent.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "pathfinding/PathFinder.h"
#include "testsupport/GridValidator.h"

namespace {

class Bytes {
 public:
  Bytes(const uint8_t* d, size_t n) : d_(d), n_(n) {}
  bool More() const { return i_ < n_; }
  u8 Byte() { return i_ < n_ ? d_[i_++] : 0; }
  i32 Signed(i32 lo, i32 span) { return lo + static_cast<i32>(Byte() % static_cast<u32>(span)); }

 private:
  const uint8_t* d_;
  size_t n_;
  size_t i_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace shpf;
  Bytes in(data, size);
  const u16 w = static_cast<u16>(40 + in.Byte() % 120), h = static_cast<u16>(40 + in.Byte() % 100);
  const u16 cell = static_cast<u16>(4 + in.Byte() % 40);
  PathFinder pf(w, h, cell, cell);
  std::vector<_SHAPE*> live;
  i32 steps = 0;
  while (in.More() && steps++ < 200) {
    const u8 op = in.Byte() % 8;
    switch (op) {
      case 0: {
        const u32 id = in.Byte() % 4;
        pf.CreateGrid(id, PackPair(in.Signed(-2, 12), in.Signed(-2, 12)), PackPair(in.Signed(-2, 12), in.Signed(-2, 12)),
                      in.Byte() % 4);
        break;
      }
      case 1:
      case 2:
      case 3: {
        const i32 x = in.Signed(-20, 200), y = in.Signed(-20, 200);
        _SHAPE* s = pf.AddShape(PackPair(x, y), PackPair(x + in.Signed(-3, 40), y + in.Signed(-3, 40)), in.Byte() % 4);
        if (s) live.push_back(s);
        break;
      }
      case 4:
      case 5:
        if (!live.empty()) {
          const size_t k = in.Byte() % live.size();
          pf.RemoveShape(live[k]);
          live.erase(live.begin() + static_cast<long>(k));
        }
        break;
      case 6:
        if (pf.GetUpdateNesting() < 3 && (in.Byte() & 1))
          pf.BeginUpdate();
        else
          pf.EndUpdate();
        break;
      default:
        if (pf.GetGrids().GetCount() > 0) {
          _SHAPEGRID* g = pf.GetGrids()[in.Byte() % pf.GetGrids().GetCount()];
          pf.SetGridBounds(g, PackPair(in.Signed(0, 40), in.Signed(0, 40)),
                           PackPair(w - in.Signed(0, 40), h - in.Signed(0, 40)));
        }
        break;
    }
    if (pf.GetUpdateNesting() == 0 && !shpf_test::ValidateFinder(pf).empty()) __builtin_trap();
  }
  while (pf.GetUpdateNesting() > 0) pf.EndUpdate();
  if (!shpf_test::ValidateFinder(pf).empty()) __builtin_trap();
  if (in.More() && (data[0] & 1)) pf.RemoveAllShapes();
  return 0;
}
