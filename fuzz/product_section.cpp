// The "PROD" section: products and their recipes (see ContentSectionFuzz.h).
// The recipes are linked and every product judged and acquired.
#include "ContentSectionFuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return contentfuzz::Run(kProductSectionId, kProductSectionSubId, data, size, [](kis::BaseDataFileReader* reader) {
    ProductList list;
    contentfuzz::ReadAll([&](SectionCursor* c) { return list.ReadSection(reader, c); });
    list.ResolveIngredients();
    for (u32 i = 0; i < list.GetCount(); ++i) list.UseProduct(list.Get(i));
    for (u32 i = 0; i < list.GetCount(); ++i) {
      const PRODUCT* p = list.Get(i);
      if (p->ingredientCount > kMaxIngredients) __builtin_trap();
      list.IsAvailable(p);
      if (list.GetCapacity(p, static_cast<i32>(p->price)) < 25) __builtin_trap();
    }
  });
}
