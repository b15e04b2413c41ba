// Text tree files come from the data folder and may be damaged: loading any
// bytes must fail or succeed cleanly, and every read of a loaded tree must
// stay inside its buffers.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "ScratchFile.h"
#include "base/text/TdrDocument.h"
#include "base/text/TdrRowReader.h"
#include "platform/encoding/Utf.h"

namespace {

void ReadNode(kis::TdrDocument& doc) {
  const u32 count = doc.GetAttributeCount();
  for (u32 i = 0; i < count && i < 64; ++i) {
    u32 length = 0;
    const char16_t* name = doc.GetAttributeName(i, &length);
    char16_t buf[32];
    doc.ReadStringW(name, buf, 32, u"d");
    doc.ReadStringExW(name, false, buf, 5, u"default");
    doc.ReadStringW(name, nullptr, 0, u"");
    doc.ReadInt(name, 0);
    doc.ReadHex(name, 0);
    doc.ReadChar(name, 0);
    doc.CountValues(name, u"i4,i4");
    char16_t file[260];
    u32 colour = 0, ms = 0, flag = 0;
    kis::ReadTdrRow(doc, i, u"Z[260],x4,u4,{b4}", (i & 1) != 0, &file, &colour, &ms, &flag);
    struct Rec {
      i32 a, b;
    } recs[4];
    doc.ReadArray(name, u"l,l", recs);
    float f[3];
    doc.ReadValues(name, u"f[3]", 1, &f);
  }
  char abuf[8];
  doc.ReadStringA("a", abuf, sizeof abuf, "x");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = fuzzscratch::Path("text_tree", ".txt");
  if (!fuzzscratch::Write(path, data, size)) return 0;
  const std::u16string wide = plat::Utf8ToUtf16(path);
  kis::TdrDocument* doc = nullptr;
  if (!kis::LoadTdrDocument(wide.c_str(), &doc)) return 0;
  std::vector<kis::TdrNode*> pending{doc->GetRoot()};
  for (int visited = 0; !pending.empty() && visited < 2000; ++visited) {
    kis::TdrNode* node = pending.back();
    pending.pop_back();
    doc->SetCurrentNode(node);
    ReadNode(*doc);
    for (u32 i = 0; i < node->children.Count(); ++i) pending.push_back(node->children[i]);
  }
  doc->FindChild(u"a\\b", false);
  doc->NextSibling();
  delete doc;
  return 0;
}
