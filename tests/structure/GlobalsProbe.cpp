// The planted library of the mutable-globals check's own test
// (PlantedGlobal.cmake): each kind of mutable global the check must name,
// beside constant data, a vtable and string literals it must pass over. Every
// object is used, so an optimising build keeps it.
#include <string>

int g_counter;                                   // zero-initialised: .bss
namespace {
int g_hidden = 3;                                // internal, initialised: .data
}
inline int g_inline = 0;                         // weak (unique) object
thread_local int t_depth;                        // thread-local: .tbss

const int kTable[] = {1, 2, 3};                  // constant: .rodata
const char* const kNames[] = {"one", "two"};     // constant with relocations: .data.rel.ro

struct Shape {
  virtual ~Shape() = default;
  virtual int Sides() const { return kTable[2]; }
};

int& Counter() {
  static int count = 0;                          // function-local, no guard
  return count;
}

std::size_t CacheSize() {
  static const std::string cache(kNames[g_counter & 1]);  // function-local, guarded
  return cache.size();
}

int ProbeTouch(int step) {
  Shape* shape = new Shape;
  int sides = shape->Sides();
  delete shape;
  g_counter += step;
  g_hidden += step;
  g_inline += step;
  t_depth += step;
  return sides + Counter()++ + static_cast<int>(CacheSize()) + kTable[step & 1] + g_hidden + g_inline + t_depth;
}
